#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/settings_backend.h"

namespace zevo::settings::testing {

// A store in memory, with the file store's name rule (ASCII case does not matter).
class MemoryStore : public platform::SettingsBackend {
 public:
  std::optional<platform::StoredSetting> Read(std::string_view name) const override {
    ++reads;
    auto it = values.find(Key(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view name, const platform::StoredSetting& value) override {
    if (fail_writes) return false;
    values[Key(name)] = value;
    return true;
  }
  void PutRaw(std::string_view name, platform::SettingType type, std::string bytes) {
    values[Key(name)] = {type, std::move(bytes)};
  }

  std::map<std::string, platform::StoredSetting> values;
  bool fail_writes = false;
  mutable int reads = 0;

 private:
  static std::string Key(std::string_view name) {
    std::string k(name);
    for (char& c : k)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return k;
  }
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "zevo-settings-XXXXXX").string();
    path_ = ::mkdtemp(t.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  // The folder with a trailing separator.
  std::string Folder() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, std::string_view content) {
  std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_.c_str(), old_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace zevo::settings::testing
