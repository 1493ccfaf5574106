#include "platform/posix/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace zevo::platform {

std::string ExecutableFolder() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || std::size_t(n) >= buf.size()) return std::string(".") + kPathSeparator;
  buf.resize(std::size_t(n));
  return buf.substr(0, buf.rfind(kPathSeparator) + 1);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace zevo::platform
