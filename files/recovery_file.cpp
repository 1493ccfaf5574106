#include "files/recovery_file.h"

#include "files/document_budget.h"
#include "files/stroke_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/byte_io.h"
#include "files/stroke_layout.h"
#include "platform/paths.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;

// The record that carries the position: a kind the stroke file reader does not know, so it
// reads its two words and goes on. Its value is the position.
constexpr std::uint32_t kPositionRecord = 0x736F705A;  // "Zpos"
constexpr std::size_t kPositionAt = kHeaderSize3;

// As for stroke files: the codec refuses anything larger.
constexpr std::size_t kMaxFileSize = std::size_t(ZEVO_CODEC_MAX_PLAIN) + 4096;

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != platform::kPathSeparator)
    folder += platform::kPathSeparator;
  return folder;
}

std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

// The layout holds the entries up to the current one, so every entry is made current while it
// is built; the position and the header values the writer sets go back as they were.
class WholeHistory {
 public:
  explicit WholeHistory(ink::StrokeDocument& d)
      : d_(d),
        position_(d.Position()),
        signature_(d.signature),
        byte_size_(d.byte_size),
        version_(d.format_version) {
    if (d.Count() > 0) d.EntryAt(d.Count() - 1, true);
  }
  ~WholeHistory() {
    d_.ShowFirst(position_);
    d_.signature = signature_;
    d_.byte_size = byte_size_;
    d_.format_version = version_;
  }
  WholeHistory(const WholeHistory&) = delete;
  WholeHistory& operator=(const WholeHistory&) = delete;

  int Position() const { return position_; }

 private:
  ink::StrokeDocument& d_;
  int position_;
  std::array<char, 4> signature_;
  std::int32_t byte_size_;
  std::uint32_t version_;
};

std::vector<std::uint8_t> RecoveryLayout(ink::StrokeDocument& d) {
  const WholeHistory all(d);
  std::vector<std::uint8_t> plain = BuildStrokeLayout(d, kMinStep);
  std::array<std::uint8_t, 8> record;
  base::StoreU32LE(record.data(), kPositionRecord);
  base::StoreU32LE(record.data() + 4, std::uint32_t(all.Position()));
  plain.insert(plain.begin() + std::ptrdiff_t(kPositionAt), record.begin(), record.end());
  const auto size = std::uint32_t(std::min<std::size_t>(plain.size(), INT32_MAX));
  base::StoreU32LE(plain.data() + 8, size);
  return plain;
}

// The stored position, or the end of the history when the layout has none.
int StoredPosition(std::span<const std::uint8_t> plain, const ink::StrokeDocument& d) {
  if (plain.size() < kPositionAt + 8 || std::memcmp(plain.data(), "Zvr3", 4) != 0 ||
      base::LoadU32LE(plain.data() + kPositionAt) != kPositionRecord) {
    return d.Count();
  }
  const std::uint32_t p = base::LoadU32LE(plain.data() + kPositionAt + 4);
  return int(std::min<std::uint32_t>(p, std::uint32_t(d.Count())));
}

Result<bool> Failure(const std::string& what, const std::string& path, const std::error_code& ec) {
  return Result<bool>::Error(what + " " + Quoted(path) + ": " + ec.message());
}

}  // namespace

std::string DefaultStateFolder() {
  if (const char* p = std::getenv("ZEVO3_STATE_DIR"); p && *p) return WithSeparator(p);
  if (const char* x = std::getenv("XDG_STATE_HOME"); x && x[0] == '/')
    return WithSeparator(x) + "Zevo3/";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return WithSeparator(home) + ".local/state/Zevo3/";
}

std::string DefaultTemporaryFolder() {
  if (const char* p = std::getenv("ZEVO3_STATE_DIR"); p && *p) return WithSeparator(p);
  for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME"})
    if (const char* x = std::getenv(name); x && x[0] == '/') return WithSeparator(x) + "Zevo3/";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return WithSeparator(home) + ".cache/Zevo3/";
}

RecoveryFile::RecoveryFile(std::string folder) : folder_(WithSeparator(std::move(folder))) {}

Result<bool> RecoveryFile::MakeFolder() const {
  std::string bare = folder_;
  while (bare.size() > 1 && bare.back() == platform::kPathSeparator) bare.pop_back();
  const fs::path folder(bare);
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
  const bool made = !ec && fs::create_directory(folder, ec);
  if (ec) return Failure("Cannot make the folder", bare, ec);
  // What is kept here is the writer's unsaved work: only the writer may look in. (A folder
  // someone else made in the meantime keeps its mode.)
  if (made) fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
  if (ec) return Failure("Cannot protect the folder", bare, ec);
  return true;
}

Result<bool> RecoveryFile::Write(ink::StrokeDocument& d, const CodecBinding& codec) const {
  if (!Enabled()) return Result<bool>::Error("There is no folder to keep the recovery file in.");
  if (d.Count() == 0) return Discard();
  if (auto made = MakeFolder(); !made) return made;
  std::vector<std::uint8_t> encoded;
  try {
    std::vector<std::uint8_t> plain = RecoveryLayout(d);
    const bool ok = codec.Encode(plain, encoded);
    // It holds the history's password, if any.
    std::fill(plain.begin(), plain.end(), std::uint8_t(0));
    if (!ok) return Result<bool>::Error("The history could not be encoded.");
  } catch (const std::bad_alloc&) {
    return Result<bool>::Error("There is not enough memory to encode the history.");
  }
  return platform::DefaultFileSystem().ReplaceFileAtomically(Path(), encoded, 0600);
}

Result<std::vector<std::uint8_t>> RecoveryFile::Load(platform::FileError* why) const {
  if (!Enabled()) {
    if (why) *why = platform::FileError::kNotFound;
    return Result<std::vector<std::uint8_t>>::Error("There is no recovery folder.");
  }
  return platform::DefaultFileSystem().ReadWholeFile(Path(), kMaxFileSize, why);
}

int RecoveryFile::Decode(std::span<const std::uint8_t> file, ink::StrokeDocument& d,
                         const CodecBinding& codec) {
  d.Clear();
  if (file.size() < 4 || std::memcmp(file.data(), "zvRD", 4) != 0) return kReadUnknown;
  try {
    // The recovery file is held to the budget of a stroke file, as any file is.
    DocumentBudget budget;
    if (!budget.Take(file.size())) return kReadTooLarge;
    std::vector<std::uint8_t> plain;
    if (const int decoded = DecodeWithinBudget(file, codec, budget, plain); decoded != kReadOk)
      return decoded;
    int result = ReadStrokeLayout(d, plain, nullptr, budget);
    if (result == kReadOk) d.ShowFirst(StoredPosition(plain, d));
    std::fill(plain.begin(), plain.end(), std::uint8_t(0));
    return result;
  } catch (const std::bad_alloc&) {
    d.Clear();
    return kReadSizeMismatch;
  }
}

Result<bool> RecoveryFile::SetAside() const {
  if (!Enabled()) return true;
  std::error_code ec;
  fs::rename(Path(), SetAsidePath(), ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    return Failure("Cannot set aside", Path(), ec);
  return true;
}

Result<bool> RecoveryFile::Discard() const {
  if (!Enabled()) return true;
  std::error_code ec;
  fs::remove(Path(), ec);
  if (ec) return Failure("Cannot remove", Path(), ec);
  return true;
}

Result<bool> RecoveryFile::DiscardSetAside() const {
  if (!Enabled()) return true;
  std::error_code ec;
  fs::remove(SetAsidePath(), ec);
  if (ec) return Failure("Cannot remove", SetAsidePath(), ec);
  return true;
}

}  // namespace zevo::files
