#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace zevo::platform {

// The separator a backslash in the program's paths and file-name formats stands for.
inline constexpr char kPathSeparator = '/';

// Whether anything (a file, a folder, a dangling link) has the name.
inline bool NameTaken(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// The first name "<stem><n><extension>" in folder (n = 1, 2, ... written with at least two
// digits) that `taken` (by default NameTaken) says is free; empty when every number up to
// max_number is taken. The folder may end in a separator or not.
inline std::string FirstFreeNumberedName(
    const std::string& folder, const std::string& stem, const std::string& extension,
    int max_number, const std::function<bool(const std::string&)>& taken = {}) {
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != kPathSeparator && prefix.back() != '\\')
    prefix += kPathSeparator;
  for (int n = 1; n <= max_number; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", n);
    const std::string candidate = prefix + stem + number + extension;
    if (!(taken ? taken(candidate) : NameTaken(candidate))) return candidate;
  }
  return {};
}

}  // namespace zevo::platform
