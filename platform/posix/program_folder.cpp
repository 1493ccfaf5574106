#include "platform/posix/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace zevo::platform {

std::string ExecutableFolder() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || std::size_t(n) >= buf.size()) return std::string(".") + kPathSeparator;
  buf.resize(std::size_t(n));
  return buf.substr(0, buf.rfind(kPathSeparator) + 1);
}

namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: "$HOME/..." or an absolute path in
// double quotes. Empty when the file or the line is missing or malformed.
std::string DocumentsFromUserDirs(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
  while (std::getline(in, line)) {
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    const std::size_t end = line.find('"', kKey.size());
    if (end == std::string::npos) return {};
    std::string value = line.substr(kKey.size(), end - kKey.size());
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    return !value.empty() && value[0] == kPathSeparator ? value : std::string();
  }
  return {};
}

}  // namespace

std::string DocumentsFolder() {
  if (const char* d = std::getenv("XDG_DOCUMENTS_DIR"); d && d[0] == kPathSeparator)
    return WithSeparator(d);
  const char* home_env = std::getenv("HOME");
  if (!home_env || !*home_env) return {};
  const std::string home = home_env;
  std::string config = WithSeparator(home) + ".config";
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && x[0] == kPathSeparator) config = x;
  const std::string named = DocumentsFromUserDirs(WithSeparator(config) + "user-dirs.dirs", home);
  return WithSeparator(named.empty() ? WithSeparator(home) + "Documents" : named);
}

ProgramFolders FindProgramFolders(const std::string& program_folder,
                                  const std::string& installed_data) {
  ProgramFolders f(program_folder);
  const bool own_data = FolderExists(program_folder + "Skin");
  if (own_data && ::access(program_folder.c_str(), W_OK) == 0) return f;
  if (!own_data) {
    const std::string data = WithSeparator(
        std::filesystem::path(program_folder + installed_data).lexically_normal().string());
    if (FolderExists(data + "Skin")) f.data = data;
  }
  if (const std::string documents = DocumentsFolder(); !documents.empty())
    f.user = documents + "Zevo3" + kPathSeparator;
  return f;
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
