#include "files/codec_binding.h"

#include <cstring>
#include <limits>
#include <new>

namespace zevo::files {
namespace {

// Nothing larger is ever a stroke file; the codec refuses it too.
constexpr std::int64_t kMaxCodecOutput = std::int64_t(ZEVO_CODEC_MAX_PLAIN) + 4096;

}  // namespace

const char* CodecBinding::LibraryFileName() {
#if defined(_WIN32)
  return "ZevoCodec.dll";
#elif defined(__APPLE__)
  return "libZevoCodec.dylib";
#else
  return "libZevoCodec.so";
#endif
}

Result<CodecBinding> CodecBinding::Load(platform::LibraryLoader& loader) {
  auto library = loader.Open(LibraryFileName());
  if (!library) {
    return Result<CodecBinding>::Error(std::string(LibraryFileName()) + " not found.");
  }
  CodecFunctions f;
  f.encode = reinterpret_cast<drav_encode_fn>(library.Value()->Symbol("drav_encode"));
  f.encode_ex = reinterpret_cast<drav_encode_ex_fn>(library.Value()->Symbol("drav_encode_ex"));
  f.decode = reinterpret_cast<drav_decode_fn>(library.Value()->Symbol("drav_decode"));
  if (f.encode == nullptr || f.encode_ex == nullptr || f.decode == nullptr) {
    return Result<CodecBinding>::Error("Get processes failed.");
  }
  return CodecBinding(f, std::move(library).Value());
}

bool CodecBinding::Encode(std::span<const std::uint8_t> plain,
                          std::vector<std::uint8_t>& encoded) const {
  encoded.clear();
  if (functions_.encode_ex == nullptr || plain.size() > std::size_t(ZEVO_CODEC_MAX_PLAIN)) {
    return false;
  }
  const auto length = std::int32_t(plain.size());
  std::int32_t needed = 0;
  if (functions_.encode_ex(kEncodeMode, plain.data(), length, nullptr, &needed,
                           kStrokeFileKey.data()) != 0 ||
      needed < 20 || needed > kMaxCodecOutput) {
    return false;
  }
  try {
    encoded.resize(std::size_t(needed));
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::int32_t produced = needed;
  if (functions_.encode_ex(kEncodeMode, plain.data(), length, encoded.data(), &produced,
                           kStrokeFileKey.data()) != 0 ||
      produced < 20 || produced > needed || std::memcmp(encoded.data(), "zvRD", 4) != 0) {
    encoded.clear();
    return false;
  }
  encoded.resize(std::size_t(produced));
  return true;
}

CodecBinding::Decoded CodecBinding::Decode(std::span<const std::uint8_t> encoded,
                                           std::vector<std::uint8_t>& plain,
                                           std::size_t max_plain) const {
  plain.clear();
  if (functions_.decode == nullptr ||
      encoded.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
    return Decoded::kFailed;
  }
  const auto length = std::int32_t(encoded.size());
  // The codec running out of memory is no damage of the file.
  const auto failed = [](std::int32_t code) {
    return code == ZEVO_CODEC_NO_MEMORY ? Decoded::kTooLarge : Decoded::kFailed;
  };
  std::int32_t needed = 0;
  if (const std::int32_t r =
          functions_.decode(encoded.data(), length, nullptr, &needed, kStrokeFileKey.data());
      r != 0) {
    return failed(r);
  }
  if (needed < 0 || needed > ZEVO_CODEC_MAX_PLAIN) return Decoded::kFailed;
  if (std::size_t(needed) > max_plain) return Decoded::kTooLarge;
  try {
    plain.resize(std::size_t(needed));
  } catch (const std::bad_alloc&) {
    return Decoded::kTooLarge;
  }
  std::int32_t produced = needed;
  const std::int32_t r =
      functions_.decode(encoded.data(), length, plain.data(), &produced, kStrokeFileKey.data());
  if (r != 0 || produced < 0 || produced > needed) {
    plain.clear();
    return r != 0 ? failed(r) : Decoded::kFailed;
  }
  plain.resize(std::size_t(produced));
  return Decoded::kOk;
}

}  // namespace zevo::files
