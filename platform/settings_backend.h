#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zevo::platform {

// The two kinds of value the program stores.
enum class SettingType {
  Integer,  // 4 bytes, a signed 32-bit integer, little-endian
  Text,     // bytes ended by a zero byte; the stored size counts that zero
};

// One stored value as it lies in the store: its type and its raw bytes. A text's bytes
// include its terminating zero, so a text of length n has a stored size of n + 1 (the way the
// Windows registry keeps a string value). Another store may hold values of an unexpected size
// (an integer of 2 or 8 bytes, a text without its zero); readers decide what such a value means.
struct StoredSetting {
  SettingType type = SettingType::Integer;
  std::string bytes;
  friend bool operator==(const StoredSetting&, const StoredSetting&) = default;
};

// Named values under the program's one key (Software\DRAVLab\Zevo3). Names compare without
// regard to ASCII case, as the registry compares them. Implementations: the file store in
// platform/posix, the registry on Windows, memory stores in tests.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;

  // The value, or nothing when the store or the value does not exist or cannot be read.
  // A read never creates or changes anything.
  virtual std::optional<StoredSetting> Read(std::string_view name) const = 0;

  // Stores one value and keeps every other; creates the store when it is missing.
  // False when the value could not be stored (the caller may ignore it).
  virtual bool Write(std::string_view name, const StoredSetting& value) = 0;

  // Why the store was refused, for the program to tell the user (at start, after reading the
  // settings): why the last read failed, else why the last write did; empty when both went
  // well. A store that does not exist yet is no failure. Stores that cannot fail say nothing.
  virtual std::string ErrorText() const { return {}; }
};

// The store the program uses when nobody installed another: on Linux the settings file of the
// user (platform/posix/settings_file.h), on Windows the registry key.
std::unique_ptr<SettingsBackend> MakeDefaultSettingsBackend();

}  // namespace zevo::platform
