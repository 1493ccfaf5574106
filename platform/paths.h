#pragma once

namespace zevo::platform {

// The separator a backslash in the program's paths and file-name formats stands for.
inline constexpr char kPathSeparator = '/';

}  // namespace zevo::platform
