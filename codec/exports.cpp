// The three exported entry points: argument checks, the two-call pattern, and no exception
// ever crossing into the caller.
#include <cstring>
#include <new>

#include "codec/container.h"
#include "codec/zevo_codec.h"

namespace {

using zevo::codec::kMaxPlain;

int EncodeCall(int level, const uint8_t* input, int32_t input_length, uint8_t* output,
               int32_t* output_length, const uint8_t* key) {
  if (output_length == nullptr || input_length < 0 || (input == nullptr && input_length > 0)) {
    return ZEVO_CODEC_INVALID_ARGUMENT;
  }
  if (std::uint32_t(input_length) > kMaxPlain) return ZEVO_CODEC_TOO_LARGE;
  const std::size_t bound = zevo::codec::EncodedBound(std::size_t(input_length), key != nullptr);
  if (output == nullptr) {
    *output_length = int32_t(bound);
    return ZEVO_CODEC_OK;
  }
  try {
    std::vector<std::uint8_t> out;
    const int r = zevo::codec::Encode({input, std::size_t(input_length)}, level, key, out);
    if (r != ZEVO_CODEC_OK) return r;
    if (*output_length < 0 || out.size() > std::size_t(*output_length)) {
      return ZEVO_CODEC_BUFFER_TOO_SMALL;
    }
    std::memcpy(output, out.data(), out.size());
    *output_length = int32_t(out.size());
    return ZEVO_CODEC_OK;
  } catch (const std::bad_alloc&) {
    return ZEVO_CODEC_NO_MEMORY;
  } catch (...) {
    return ZEVO_CODEC_DAMAGED;
  }
}

}  // namespace

extern "C" {

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_encode(const uint8_t* input, int32_t input_length,
                                                   uint8_t* output, int32_t* output_length) {
  return EncodeCall(zevo::codec::kDefaultLevel, input, input_length, output, output_length,
                    nullptr);
}

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_encode_ex(int32_t mode, const uint8_t* input,
                                                      int32_t input_length, uint8_t* output,
                                                      int32_t* output_length, const uint8_t* key) {
  if (key == nullptr || mode < -1 || mode > zevo::codec::kMaxLevel) {
    return ZEVO_CODEC_INVALID_ARGUMENT;
  }
  const int level = mode == -1 ? zevo::codec::kDefaultLevel : mode;
  return EncodeCall(level, input, input_length, output, output_length, key);
}

ZEVO_CODEC_API int32_t ZEVO_CODEC_CALL drav_decode(const uint8_t* input, int32_t input_length,
                                                   uint8_t* output, int32_t* output_length,
                                                   const uint8_t* key) {
  if (output_length == nullptr || input_length < 0 || (input == nullptr && input_length > 0)) {
    return ZEVO_CODEC_INVALID_ARGUMENT;
  }
  try {
    const std::span<const std::uint8_t> in{input, std::size_t(input_length)};
    std::uint32_t length = 0;
    if (output == nullptr) {
      const int r = zevo::codec::DecodedLength(in, key, length);
      if (r == ZEVO_CODEC_OK) *output_length = int32_t(length);
      return r;
    }
    if (*output_length < 0) return ZEVO_CODEC_BUFFER_TOO_SMALL;
    const int r = zevo::codec::Decode(in, key, {output, std::size_t(*output_length)}, length);
    if (r == ZEVO_CODEC_OK) *output_length = int32_t(length);
    return r;
  } catch (const std::bad_alloc&) {
    return ZEVO_CODEC_NO_MEMORY;
  } catch (...) {
    return ZEVO_CODEC_DAMAGED;
  }
}

}  // extern "C"
