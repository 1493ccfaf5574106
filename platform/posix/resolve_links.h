#pragma once

#include <string>

#include "base/result.h"

namespace zevo::platform {

// The file path names once the symbolic links of its last part are followed, so that a file
// replaced through a link is replaced where the link points and the link stays. A path that
// does not exist, or a dangling link's target, is where a new file goes. An error when the
// links go round in a loop (or past the kernel's 40) or cannot be read.
Result<std::string> ResolveLinks(const std::string& path);

}  // namespace zevo::platform
