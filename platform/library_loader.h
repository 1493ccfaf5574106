#pragma once

#include <memory>
#include <string>

#include "base/result.h"

namespace zevo::platform {

// A loaded shared library; destroying it unloads the library.
class Library {
 public:
  virtual ~Library() = default;
  // The address of an exported symbol, or nullptr when the library has none by that name.
  virtual void* Symbol(const char* name) const = 0;
};

// Loads shared libraries at run time (dlopen / LoadLibrary).
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // name is a plain file name ("libZevoCodec.so"), searched in the program's folder first and
  // then by the system's library search, or a path. The error names what was looked for.
  virtual Result<std::unique_ptr<Library>> Open(const std::string& name) = 0;
};

// The platform's loader. first_folder (with or without a trailing separator) is searched before
// the system's search; empty means the folder of the running program.
std::unique_ptr<LibraryLoader> MakeSystemLibraryLoader(const std::string& first_folder = {});

}  // namespace zevo::platform
