#pragma once

#include <string>

#include "platform/paths.h"

namespace zevo::platform {

// The folder of the running program with a trailing separator ("/opt/Zevo3/"); the current
// folder ("./") when it cannot be found.
std::string ExecutableFolder();

// True when `path` names an existing folder (a trailing separator is allowed).
bool FolderExists(const std::string& path);

// True when `path` names an existing file that is not a folder.
bool FileExists(const std::string& path);

}  // namespace zevo::platform
