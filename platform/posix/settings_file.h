#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_backend.h"

namespace zevo::platform {

// The settings file: one value a line, "name type value", readable and editable by a person:
//
//   # Zevo 3 settings
//   Cursor_Style int 1
//   Author text "Wang Xizhi"
//   Password text "\xC3\x8F..."
//
// Types: "int", a decimal signed 32-bit integer; "text", a quoted byte string in which \\, \",
// \n, \r, \t and \xHH stand for bytes and every other byte stands for itself, so any byte
// sequence survives. Names are letters, digits, '_', '.' and '-' and compare without regard to
// ASCII case. Blank lines and lines starting with '#' are comments. A line that cannot be
// parsed reads as missing and is kept as it is when the file is rewritten.

struct SettingsFileEntry {
  std::string name;
  StoredSetting value;
};

// Every value that can be parsed, in file order (a later line of the same name wins on lookup).
std::vector<SettingsFileEntry> ParseSettingsFile(std::string_view content);

// The value of one name in a file's content, or nothing.
std::optional<StoredSetting> FindSetting(std::string_view content, std::string_view name);

// True for a name the file can hold.
bool IsValidSettingName(std::string_view name);

// One line (without its line end) that holds the value; nothing for an invalid name or for a
// value the file has no form for (an integer that is not 4 bytes).
std::optional<std::string> FormatSettingLine(std::string_view name, const StoredSetting& value);

// The content with the value of `name` replaced (or appended); every other line stays as it
// was. Nothing when FormatSettingLine has no line for it.
std::optional<std::string> UpdateSettingsFile(std::string_view content, std::string_view name,
                                              const StoredSetting& value);

// Where the user's settings live: $ZEVO3_SETTINGS when set, else
// $XDG_CONFIG_HOME/Zevo3/settings, else ~/.config/Zevo3/settings. Empty when there is no home.
std::string DefaultSettingsPath();

// The largest settings file that is read; a larger one is not ours and reads as missing.
inline constexpr std::size_t kMaxSettingsFileSize = 1 << 20;

// The file store. Each read reads the file afresh, so several running copies see each other's
// last completed write. A write reads the file, changes one value and replaces the file
// atomically (a temporary file in the same folder, flushed, renamed) with mode 0600, creating
// the folder when needed; writers are serialised by a lock file beside it, and a writer waits
// for another one a short while, never for ever. Through a symbolic link, the file the link
// points to is replaced (the temporary and the lock file go beside it) and the link stays.
//
// Only a regular file is used: a folder, FIFO or device at the path (or where a link points)
// is opened without waiting and refused. Reads then give the callers' defaults and writes are
// refused, leaving it as it is; so is a write that would make the file larger than
// kMaxSettingsFileSize, which its reader would refuse. ErrorText() says why.
class FileSettingsBackend : public SettingsBackend {
 public:
  // Follows DefaultSettingsPath() at every call.
  FileSettingsBackend() = default;
  explicit FileSettingsBackend(std::string path) : path_(std::move(path)) {}

  std::optional<StoredSetting> Read(std::string_view name) const override;
  bool Write(std::string_view name, const StoredSetting& value) override;
  std::string ErrorText() const override;

  std::string Path() const;

 private:
  std::optional<std::string> path_;
  mutable std::string read_error_;
  std::string write_error_;
};

}  // namespace zevo::platform
