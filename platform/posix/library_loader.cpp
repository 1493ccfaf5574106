#include "platform/library_loader.h"

#include <dlfcn.h>

#include "platform/posix/program_folder.h"

namespace zevo::platform {
namespace {

class PosixLibrary final : public Library {
 public:
  explicit PosixLibrary(void* handle) : handle_(handle) {}
  ~PosixLibrary() override { dlclose(handle_); }
  PosixLibrary(const PosixLibrary&) = delete;
  PosixLibrary& operator=(const PosixLibrary&) = delete;

  void* Symbol(const char* name) const override { return dlsym(handle_, name); }

 private:
  void* handle_;
};

class PosixLibraryLoader final : public LibraryLoader {
 public:
  explicit PosixLibraryLoader(std::string first_folder) : first_folder_(std::move(first_folder)) {
    if (!first_folder_.empty() && first_folder_.back() != '/') first_folder_ += '/';
  }

  Result<std::unique_ptr<Library>> Open(const std::string& name) override {
    void* handle = nullptr;
    if (name.find('/') != std::string::npos) {
      handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    } else {
      const std::string folder = first_folder_.empty() ? ExecutableFolder() : first_folder_;
      handle = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle == nullptr) handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (handle == nullptr) {
      const char* reason = dlerror();
      return Result<std::unique_ptr<Library>>::Error(name + ": " +
                                                     (reason ? reason : "cannot be loaded"));
    }
    return std::unique_ptr<Library>(std::make_unique<PosixLibrary>(handle));
  }

 private:
  std::string first_folder_;
};

}  // namespace

std::unique_ptr<LibraryLoader> MakeSystemLibraryLoader(const std::string& first_folder) {
  return std::make_unique<PosixLibraryLoader>(first_folder);
}

}  // namespace zevo::platform
