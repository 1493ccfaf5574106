#pragma once

#include <string>
#include <utility>

namespace zevo::platform {

// Where the program finds what it ships and keeps what the writer makes. Every folder ends in a
// separator.
struct ProgramFolders {
  ProgramFolders() = default;
  // A portable program folder: the shipped folders and the writer's beside the program. (A
  // program folder alone means just that, so it converts.)
  ProgramFolders(std::string program_folder)  // NOLINT(google-explicit-constructor)
      : program(program_folder), data(std::move(program_folder)) {}
  ProgramFolders(const char* program_folder)  // NOLINT(google-explicit-constructor)
      : ProgramFolders(std::string(program_folder)) {}

  std::string program;  // the program's own folder: its start-up file "Zevo3.ini"
  std::string data;     // the shipped Skin, Stamp, Texture and Background folders
  // The folder of the writer's own Save and Stamp folders when the program is installed
  // ("~/Documents/Zevo3/"); empty for a portable program folder, which keeps them itself.
  std::string user;

  // The folder the writer's saves and seals go in by default.
  const std::string& Writable() const { return user.empty() ? data : user; }
};

}  // namespace zevo::platform
