#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/result.h"
#include "codec/zevo_codec.h"
#include "platform/library_loader.h"

namespace zevo::files {

// The program's key for stroke files; the same value seals and opens every file.
inline constexpr std::array<std::uint8_t, 32> kStrokeFileKey = {
    0x2C, 0x73, 0xA5, 0xD6, 0x34, 0xDA, 0x48, 0x7D, 0x2E, 0x5D, 0xF4, 0x0E, 0x8E, 0xAE, 0x26, 0x53,
    0x17, 0x49, 0x11, 0x06, 0x6E, 0x89, 0x39, 0x84, 0x4F, 0x76, 0xEE, 0xDB, 0xE0, 0x0E, 0x6B, 0x42};

// The mode the program always encodes with.
inline constexpr std::int32_t kEncodeMode = -1;

struct CodecFunctions {
  drav_encode_fn encode = nullptr;
  drav_encode_ex_fn encode_ex = nullptr;
  drav_decode_fn decode = nullptr;
};

// The loaded codec library and its three entry points.
class CodecBinding {
 public:
  // The library's file name on this platform ("libZevoCodec.so", "ZevoCodec.dll").
  static const char* LibraryFileName();
  // "<file name> not found." when the library cannot be loaded, "Get processes failed." when
  // an export is missing (the library is unloaded again).
  static Result<CodecBinding> Load(platform::LibraryLoader& loader);

  // Functions linked in some other way (tests, fuzzers); library keeps them loaded.
  explicit CodecBinding(CodecFunctions functions,
                        std::unique_ptr<platform::Library> library = nullptr)
      : functions_(functions), library_(std::move(library)) {}

  // The plain layout in, the bytes of the file out. False on any failure of the codec.
  bool Encode(std::span<const std::uint8_t> plain, std::vector<std::uint8_t>& encoded) const;
  enum class Decoded { kOk, kFailed, kTooLarge };
  // The whole file, tag included, in; the plain layout out. The plain size the file declares
  // is checked against max_plain before anything is allocated for it: kTooLarge when it is
  // larger.
  Decoded Decode(std::span<const std::uint8_t> encoded, std::vector<std::uint8_t>& plain,
                 std::size_t max_plain) const;
  // Up to the codec's own limit; false on any failure.
  bool Decode(std::span<const std::uint8_t> encoded, std::vector<std::uint8_t>& plain) const {
    return Decode(encoded, plain, std::size_t(ZEVO_CODEC_MAX_PLAIN)) == Decoded::kOk;
  }

 private:
  CodecFunctions functions_;
  std::unique_ptr<platform::Library> library_;
};

}  // namespace zevo::files
