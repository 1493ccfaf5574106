#include "files/stroke_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "platform/file_system.h"

namespace zevo::files {
namespace {

// Larger files cannot be stroke files: a plain size must fit its 32-bit size word, and the
// codec refuses anything above its limit.
constexpr std::uint64_t kMaxFileSize = std::uint64_t(ZEVO_CODEC_MAX_PLAIN) + 4096;

void SetText(ink::StrokeDocument::Text& field, std::optional<std::string_view> text) {
  field.fill(0);
  if (text) std::memcpy(field.data(), text->data(), std::min(text->size(), field.size()));
}

bool ValidStep(int s) {
  return s >= kMinStep && s <= kMaxStep;
}

int ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return platform::DefaultFileSystem().ReplaceFileAtomically(path, bytes) ? 0 : 1;
}

// The whole file, or a read result code.
// A file too large to be one still sets the signature it begins with.
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                  std::array<char, 4>& signature) {
  platform::FileSystem& files = platform::DefaultFileSystem();
  platform::FileError why = platform::FileError::kNone;
  Result<std::vector<std::uint8_t>> read = files.ReadWholeFile(path, kMaxFileSize, &why);
  if (why == platform::FileError::kTooLarge) {
    Result<std::vector<std::uint8_t>> start = files.ReadFileStart(path, 4);
    if (!start || start.Value().size() < 4) return kReadCannotOpen;
    std::memcpy(signature.data(), start.Value().data(), 4);
    return std::memcmp(signature.data(), "zvRD", 4) == 0 ? kReadCannotDecode : kReadSizeMismatch;
  }
  if (!read) return kReadCannotOpen;
  bytes = std::move(read).Value();
  return bytes.size() <= 19 ? kReadUnknown : kReadOk;
}

}  // namespace

int WriteStrokeFile(ink::StrokeDocument& d, const std::string& path, int s,
                    std::optional<std::string_view> password,
                    std::optional<std::string_view> author, const CodecBinding& codec) {
  if (!ValidStep(s)) return 1;
  SetText(d.author, author);
  SetText(d.password, password);
  try {
    std::vector<std::uint8_t> plain = BuildStrokeLayout(d, s);
    std::vector<std::uint8_t> encoded;
    const bool encoded_ok = codec.Encode(plain, encoded);
    // The plain layout holds the password: do not leave it lying in freed memory.
    std::fill(plain.begin(), plain.end(), std::uint8_t(0));
    if (!encoded_ok) return 1;
    return ReplaceFile(path, encoded);
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

int WritePlainStrokeFile(ink::StrokeDocument& d, const std::string& path, int s,
                         std::optional<std::string_view> password,
                         std::optional<std::string_view> author) {
  if (!ValidStep(s)) return 1;
  SetText(d.author, author);
  SetText(d.password, password);
  try {
    const std::vector<std::uint8_t> plain = BuildStrokeLayout(d, s);
    // Its size word could not hold more.
    if (plain.size() > std::size_t(INT32_MAX)) return 1;
    return ReplaceFile(path, plain);
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

int ReadStrokeData(ink::StrokeDocument& d, std::span<const std::uint8_t> file,
                   const CodecBinding* codec, StrokeFileDetails* details) {
  d.Clear();
  if (details) *details = StrokeFileDetails{};
  if (file.size() <= 19) return kReadUnknown;
  std::memcpy(d.signature.data(), file.data(), 4);
  if (std::memcmp(file.data(), "zvRD", 4) != 0) return ReadStrokeLayout(d, file, details);

  std::vector<std::uint8_t> plain;
  if (codec == nullptr || !codec->Decode(file, plain)) return kReadCannotDecode;
  const int result = plain.size() < 20 ? int(kReadUnknown) : ReadStrokeLayout(d, plain, details);
  std::fill(plain.begin(), plain.end(), std::uint8_t(0));
  return result;
}

int ReadStrokeFile(ink::StrokeDocument& d, const std::string& path, const CodecBinding* codec,
                   StrokeFileDetails* details) {
  d.Clear();
  if (details) *details = StrokeFileDetails{};
  std::vector<std::uint8_t> bytes;
  if (const int r = ReadWholeFile(path, bytes, d.signature); r != kReadOk) return r;
  try {
    return ReadStrokeData(d, bytes, codec, details);
  } catch (const std::bad_alloc&) {
    d.Clear();
    return kReadSizeMismatch;
  }
}

}  // namespace zevo::files
