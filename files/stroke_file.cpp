#include "files/stroke_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "platform/file_system.h"

namespace zevo::files {
namespace {

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

// The whole file, or a read result code. A file larger than the budget is refused unread;
// it still sets the signature it begins with.
int ReadWholeFile(const std::string& path, std::uint64_t budget, std::vector<std::uint8_t>& bytes,
                  std::array<char, 4>& signature) {
  platform::FileSystem& files = platform::DefaultFileSystem();
  platform::FileError why = platform::FileError::kNone;
  Result<std::vector<std::uint8_t>> read = files.ReadWholeFile(path, std::size_t(budget), &why);
  if (why == platform::FileError::kTooLarge) {
    Result<std::vector<std::uint8_t>> start = files.ReadFileStart(path, 4);
    if (!start || start.Value().size() < 4) return kReadCannotOpen;
    std::memcpy(signature.data(), start.Value().data(), 4);
    return kReadTooLarge;
  }
  if (!read) return kReadCannotOpen;
  bytes = std::move(read).Value();
  return bytes.size() <= 19 ? kReadUnknown : kReadOk;
}

// Zeroes a plain layout when it goes, however the read ends: it holds the password.
class Wiped {
 public:
  explicit Wiped(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  ~Wiped() { std::fill(bytes_.begin(), bytes_.end(), std::uint8_t(0)); }
  Wiped(const Wiped&) = delete;
  Wiped& operator=(const Wiped&) = delete;

 private:
  std::vector<std::uint8_t>& bytes_;
};

}  // namespace

int DecodeWithinBudget(std::span<const std::uint8_t> file, const CodecBinding& codec,
                       DocumentBudget& budget, std::vector<std::uint8_t>& plain) {
  switch (codec.Decode(file, plain, std::size_t(budget.Left()))) {
    case CodecBinding::Decoded::kOk:
      budget.Take(plain.size());
      return kReadOk;
    case CodecBinding::Decoded::kFailed:
      return kReadCannotDecode;
    case CodecBinding::Decoded::kTooLarge:
      break;
  }
  return kReadTooLarge;
}

namespace {

// Reads file, whose bytes budget already counts, into d. When owner holds those bytes they
// are let go (and given back to the budget) as soon as the codec has decoded them; file must
// not be used after that.
int ReadDocument(ink::StrokeDocument& d, std::span<const std::uint8_t> file,
                 std::vector<std::uint8_t>* owner, const CodecBinding* codec,
                 StrokeFileDetails* details, DocumentBudget& budget) {
  if (file.size() <= 19) return kReadUnknown;
  std::memcpy(d.signature.data(), file.data(), 4);
  if (std::memcmp(file.data(), "zvRD", 4) != 0) return ReadStrokeLayout(d, file, details, budget);

  if (codec == nullptr) return kReadCannotDecode;
  std::vector<std::uint8_t> plain;
  const Wiped wiped(plain);
  if (const int decoded = DecodeWithinBudget(file, *codec, budget, plain); decoded != kReadOk)
    return decoded;
  if (owner != nullptr) {
    budget.Give(owner->size());
    std::vector<std::uint8_t>().swap(*owner);
  }
  if (plain.size() < 20) return kReadUnknown;
  return ReadStrokeLayout(d, plain, details, budget);
}

// Runs read; after any failure d holds nothing. Running out of memory below the budget
// makes the file too large all the same: it cannot be held here.
template <class Read>
int ClearedOnFailure(ink::StrokeDocument& d, Read&& read) {
  int result = kReadTooLarge;
  try {
    result = read();
  } catch (const std::bad_alloc&) {
  }
  if (result != kReadOk) d.Clear();
  return result;
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeStrokeFile(ink::StrokeDocument& d, int s,
                                                   std::optional<std::string_view> password,
                                                   std::optional<std::string_view> author,
                                                   const CodecBinding& codec) {
  using R = Result<std::vector<std::uint8_t>>;
  if (!ValidStep(s)) return R::Error("The sampling step " + std::to_string(s) + " is not 1 to 4.");
  SetText(d.author, author);
  SetText(d.password, password);
  try {
    std::vector<std::uint8_t> plain = BuildStrokeLayout(d, s);
    std::vector<std::uint8_t> encoded;
    const bool encoded_ok = codec.Encode(plain, encoded);
    // The plain layout holds the password: do not leave it lying in freed memory.
    std::fill(plain.begin(), plain.end(), std::uint8_t(0));
    if (!encoded_ok) return R::Error("The writing could not be encoded.");
    return encoded;
  } catch (const std::bad_alloc&) {
    return R::Error("There is not enough memory to encode the writing.");
  }
}

Result<bool> WriteEncodedStrokeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  return platform::DefaultFileSystem().ReplaceFileAtomically(path, bytes);
}

int WriteStrokeFile(ink::StrokeDocument& d, const std::string& path, int s,
                    std::optional<std::string_view> password,
                    std::optional<std::string_view> author, const CodecBinding& codec,
                    std::string* why) {
  Result<std::vector<std::uint8_t>> encoded = EncodeStrokeFile(d, s, password, author, codec);
  Result<bool> written = encoded ? WriteEncodedStrokeFile(path, encoded.Value())
                                 : Result<bool>::Error(encoded.ErrorText());
  if (written) return 0;
  if (why) *why = written.ErrorText();
  return 1;
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
  DocumentBudget budget;
  if (file.size() > 19 && !budget.Take(file.size())) {
    std::memcpy(d.signature.data(), file.data(), 4);
    return kReadTooLarge;
  }
  return ClearedOnFailure(d,
                          [&] { return ReadDocument(d, file, nullptr, codec, details, budget); });
}

int ReadStrokeFile(ink::StrokeDocument& d, const std::string& path, const CodecBinding* codec,
                   StrokeFileDetails* details) {
  d.Clear();
  if (details) *details = StrokeFileDetails{};
  DocumentBudget budget;
  std::vector<std::uint8_t> bytes;
  if (const int r = ReadWholeFile(path, budget.Left(), bytes, d.signature); r != kReadOk) return r;
  budget.Take(bytes.size());
  return ClearedOnFailure(d,
                          [&] { return ReadDocument(d, bytes, &bytes, codec, details, budget); });
}

}  // namespace zevo::files
