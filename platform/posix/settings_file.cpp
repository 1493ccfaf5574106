#include "platform/posix/settings_file.h"

#include "base/byte_io.h"
#include "platform/file_system.h"
#include "platform/posix/resolve_links.h"
#include "platform/utf8.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace zevo::platform {
namespace {

// A writer waits this long for another one to finish, then gives up rather than hang.
constexpr int kLockWaitMilliseconds = 2000;
constexpr int kLockRetryMilliseconds = 10;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '-';
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

void SkipBlanks(std::string_view s, std::size_t& i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
}

std::string_view Word(std::string_view s, std::size_t& i) {
  std::size_t start = i;
  while (i < s.size() && !IsBlank(s[i])) ++i;
  return s.substr(start, i - start);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The name a line gives a value to, whatever state its value is in; nothing for comments.
std::optional<std::string_view> LineName(std::string_view line, std::size_t& i) {
  i = 0;
  SkipBlanks(line, i);
  if (i == line.size() || line[i] == '#') return std::nullopt;
  std::string_view name = Word(line, i);
  if (!IsValidSettingName(name)) return std::nullopt;
  return name;
}

std::optional<std::string> DecodeQuoted(std::string_view s, std::size_t& i) {
  if (i >= s.size() || s[i] != '"') return std::nullopt;
  ++i;
  std::string out;
  while (i < s.size()) {
    char c = s[i++];
    if (c == '"') return out;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (i >= s.size()) return std::nullopt;
    char e = s[i++];
    switch (e) {
      case '\\':
        out.push_back('\\');
        break;
      case '"':
        out.push_back('"');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'x': {
        if (i + 2 > s.size()) return std::nullopt;
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(char(hi * 16 + lo));
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<SettingsFileEntry> ParseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::size_t i = 0;
  auto name = LineName(line, i);
  if (!name) return std::nullopt;
  SkipBlanks(line, i);
  std::string_view type = Word(line, i);
  SkipBlanks(line, i);
  SettingsFileEntry entry;
  entry.name = std::string(*name);
  if (type == "int") {
    std::string_view digits = Word(line, i);
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') digits.remove_prefix(1);
    std::int32_t v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
      return std::nullopt;
    entry.value.type = SettingType::Integer;
    entry.value.bytes.assign(4, '\0');
    base::StoreU32LE(reinterpret_cast<std::uint8_t*>(entry.value.bytes.data()), std::uint32_t(v));
  } else if (type == "text") {
    auto text = DecodeQuoted(line, i);
    if (!text) return std::nullopt;
    entry.value.type = SettingType::Text;
    entry.value.bytes = std::move(*text);
    entry.value.bytes.push_back('\0');
  } else {
    return std::nullopt;
  }
  SkipBlanks(line, i);
  if (i != line.size()) return std::nullopt;
  return entry;
}

template <class F>
void ForEachLine(std::string_view content, F&& f) {
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    f(content.substr(start, end - start));
    start = end + 1;
  }
}

std::string EncodeQuoted(std::string_view s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    auto c = (unsigned char)s[i];
    if (c == '\\' || c == '"') {
      out += '\\';
      out += char(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else if (std::size_t n = c >= 0x80 ? platform::Utf8SequenceLength(s, i) : 0; n != 0) {
      out.append(s.substr(i, n));  // readable text in the user's language stays readable
      i += n;
      continue;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
    ++i;
  }
  out += '"';
  return out;
}

enum class ReadState { Ok, Missing, Failed };

// A settings file is a few hundred bytes; anything much larger is not ours and is left alone,
// and so is anything but a regular file (the file system opens it without waiting).
ReadState ReadFile(const std::string& path, std::string& out, std::string& error) {
  out.clear();
  error.clear();
  FileError why = FileError::kNone;
  Result<std::vector<std::uint8_t>> bytes =
      DefaultFileSystem().ReadWholeFile(path, kMaxSettingsFileSize, &why);
  if (!bytes) {
    if (why == FileError::kNotFound) return ReadState::Missing;
    error = bytes.ErrorText();
    return ReadState::Failed;
  }
  out.assign(bytes.Value().begin(), bytes.Value().end());
  return ReadState::Ok;
}

// Why what lies at path (links followed) cannot be the settings file; empty when it can be or
// nothing is there yet.
std::string NotAFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return path + " is a folder, not a file";
  if (S_ISFIFO(st.st_mode)) return path + " is a FIFO, not a file";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return path + " is a device, not a file";
  return path + " is not a regular file";
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = FolderOf(folder);
  if (parent != folder && !MakeFolders(parent)) return false;
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Holds an exclusive lock on "<settings>.lock" (beside the file a link points to, where the
// file is replaced) so that two copies writing at the same moment do not lose one of the two
// changes. The lock file must be a regular file of its own; a lock another writer keeps too
// long is given up on. The holder removes the lock file as it lets go, so none is left behind;
// a writer that waited on a lock file removed meanwhile takes the lock again on the new one.
class WriterLock {
 public:
  explicit WriterLock(const std::string& target) : path_(target + ".lock") {
    for (int waited = 0;; waited += kLockRetryMilliseconds) {
      if (fd_ < 0 && !Open()) return;
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        if (StillOurs()) {
          held_ = true;
          return;
        }
        // The holder before removed it: the lock is on a file nobody else will look at.
        ::close(fd_);
        fd_ = -1;
        continue;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) break;
      if (waited >= kLockWaitMilliseconds) {
        error_ = "another copy of Zevo 3 keeps " + path_ + " locked";
        return;
      }
      ::usleep(kLockRetryMilliseconds * 1000);
    }
    error_ = "cannot lock " + path_ + ": " + std::strerror(errno);
  }
  ~WriterLock() {
    if (held_ && StillOurs()) ::unlink(path_.c_str());
    if (fd_ >= 0) ::close(fd_);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  bool Held() const { return held_; }
  const std::string& Error() const { return error_; }

 private:
  bool Open() {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
      error_ = "cannot open the lock file " + path_ + ": " + std::strerror(errno);
      return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      error_ = "the lock file " + path_ + " is not a regular file";
      return false;
    }
    return true;
  }
  // Whether the lock file's name still leads to the file this lock is on.
  bool StillOurs() const {
    struct stat open_file {
    }, named{};
    return ::fstat(fd_, &open_file) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
           open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
  }

  std::string path_;
  int fd_ = -1;
  bool held_ = false;
  std::string error_;
};

const char kHeader[] =
    "# Zevo 3 settings. One value a line: name, type (int or text), value.\n"
    "# In a text, \\\\ \\\" \\n \\r \\t and \\xHH stand for bytes.\n";

}  // namespace

bool IsValidSettingName(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (char c : name)
    if (!IsNameChar(c)) return false;
  return true;
}

std::vector<SettingsFileEntry> ParseSettingsFile(std::string_view content) {
  std::vector<SettingsFileEntry> entries;
  ForEachLine(content, [&](std::string_view line) {
    if (auto e = ParseLine(line)) entries.push_back(std::move(*e));
  });
  return entries;
}

std::optional<StoredSetting> FindSetting(std::string_view content, std::string_view name) {
  std::optional<StoredSetting> found;
  ForEachLine(content, [&](std::string_view line) {
    std::size_t i;
    auto line_name = LineName(line, i);
    if (!line_name || !SameName(*line_name, name)) return;
    if (auto e = ParseLine(line)) found = std::move(e->value);  // the last good line wins
  });
  return found;
}

std::optional<std::string> FormatSettingLine(std::string_view name, const StoredSetting& value) {
  if (!IsValidSettingName(name)) return std::nullopt;
  std::string line(name);
  if (value.type == SettingType::Integer) {
    if (value.bytes.size() != 4) return std::nullopt;
    const std::uint32_t u =
        base::LoadU32LE(reinterpret_cast<const std::uint8_t*>(value.bytes.data()));
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::int32_t(u));
    (void)ec;
    line += " int ";
    line.append(buf, end);
  } else {
    // The terminating zero is implied by the type; a text stored without one gains it.
    std::string_view text = value.bytes;
    if (!text.empty() && text.back() == '\0') text.remove_suffix(1);
    line += " text ";
    line += EncodeQuoted(text);
  }
  return line;
}

std::optional<std::string> UpdateSettingsFile(std::string_view content, std::string_view name,
                                              const StoredSetting& value) {
  auto new_line = FormatSettingLine(name, value);
  if (!new_line) return std::nullopt;
  std::string out;
  bool placed = false;
  ForEachLine(content, [&](std::string_view line) {
    std::size_t i;
    std::string_view bare = line;
    if (!bare.empty() && bare.back() == '\r') bare.remove_suffix(1);
    auto line_name = LineName(bare, i);
    if (line_name && SameName(*line_name, name)) {
      if (placed) return;  // older duplicates go
      out += *new_line;
      placed = true;
    } else {
      out.append(line);
    }
    out += '\n';
  });
  if (content.empty()) out = kHeader;
  if (!placed) out += *new_line + '\n';
  return out;
}

std::string DefaultSettingsPath() {
  if (const char* p = std::getenv("ZEVO3_SETTINGS"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && x[0] == '/')
    return std::string(x) + "/Zevo3/settings";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* pw = ::getpwuid(::getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  if (!home || !*home) return {};
  return std::string(home) + "/.config/Zevo3/settings";
}

std::string FileSettingsBackend::Path() const {
  return path_ ? *path_ : DefaultSettingsPath();
}

std::optional<StoredSetting> FileSettingsBackend::Read(std::string_view name) const {
  const std::string path = Path();
  if (path.empty()) {
    read_error_ = "there is no settings file: no home folder, and ZEVO3_SETTINGS is not set";
    return std::nullopt;
  }
  std::string content, error;
  const ReadState state = ReadFile(path, content, error);
  read_error_ = error.empty() ? error : "the settings file is not used, defaults apply: " + error;
  if (state != ReadState::Ok) return std::nullopt;
  return FindSetting(content, name);
}

bool FileSettingsBackend::Write(std::string_view name, const StoredSetting& value) {
  auto refuse = [this](const std::string& why) {
    write_error_ = "settings not saved: " + why;
    return false;
  };
  const std::string path = Path();
  if (path.empty()) return refuse("no home folder, and ZEVO3_SETTINGS is not set");
  if (!FormatSettingLine(name, value)) return refuse("no valid line for " + std::string(name));
  // The lock file and the new file go where a link points; nothing is made beside what is
  // not a file.
  const Result<std::string> target = ResolveLinks(path);
  if (!target) return refuse(target.ErrorText());
  if (const std::string why = NotAFile(target.Value()); !why.empty()) return refuse(why);
  if (!MakeFolders(FolderOf(target.Value()))) {
    return refuse("cannot make the folder " + FolderOf(target.Value()));
  }
  const WriterLock lock(target.Value());
  if (!lock.Held()) return refuse(lock.Error());

  std::string content, error;
  // A file that exists but cannot be read is not replaced: its values would be lost.
  if (ReadFile(path, content, error) == ReadState::Failed) return refuse(error);
  auto updated = UpdateSettingsFile(content, name, value);
  if (!updated) return refuse("no valid line for " + std::string(name));
  // The reader would refuse the result, and every value would read as missing.
  if (updated->size() > kMaxSettingsFileSize) {
    return refuse(path + " would grow past " + std::to_string(kMaxSettingsFileSize >> 20) +
                  " MiB, more than Zevo 3 reads");
  }

  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(updated->data()),
                                            updated->size());
  const Result<bool> replaced = DefaultFileSystem().ReplaceFileAtomically(path, bytes, 0600);
  if (!replaced) return refuse(replaced.ErrorText());
  write_error_.clear();
  return true;
}

std::string FileSettingsBackend::ErrorText() const {
  return read_error_.empty() ? write_error_ : read_error_;
}

std::unique_ptr<SettingsBackend> MakeDefaultSettingsBackend() {
  return std::make_unique<FileSettingsBackend>();
}

}  // namespace zevo::platform
