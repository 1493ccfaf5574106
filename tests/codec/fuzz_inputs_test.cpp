// The inputs of the codec fuzz target (tests/data/fuzz/fuzz_codec_decode), the seeds and what
// fuzzing found. Each is decoded as it is, and its tail is sealed as the payload of a container
// whose method and plain length its first five bytes give; both must decode or be refused,
// and a decode never gives more than the size query announced.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "codec/container.h"
#include "codec/zevo_codec.h"
#include "tests/support/fuzz_inputs.h"

namespace zevo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t kKey[32] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
                               7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};

// The two calls with a buffer one byte larger than announced; the codec's result.
int DecodeBothCalls(const Bytes& in) {
  std::int32_t length = 0;
  if (const int r = drav_decode(in.data(), std::int32_t(in.size()), nullptr, &length, kKey)) {
    EXPECT_GE(r, ZEVO_CODEC_INVALID_ARGUMENT);
    EXPECT_LE(r, ZEVO_CODEC_CRYPTO_UNAVAILABLE);
    return r;
  }
  EXPECT_GE(length, 0);
  if (length < 0) return ZEVO_CODEC_DAMAGED;
  const std::int32_t announced = length;
  Bytes out(std::size_t(announced) + 1);
  length = std::int32_t(out.size());
  const int r = drav_decode(in.data(), std::int32_t(in.size()), out.data(), &length, kKey);
  if (r == 0) {
    EXPECT_LE(length, announced);
  }
  return r;
}

TEST(FuzzInputs, CodecInputsDecodeOrAreRefused) {
  int decoded = 0;
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_codec_decode")) {
    SCOPED_TRACE(input.name);
    if (DecodeBothCalls(input.bytes) == 0) ++decoded;
    const Bytes& b = input.bytes;
    if (b.size() < 5) continue;
    const auto method = codec::Method(b[0] % 3);
    const std::uint32_t length = (std::uint32_t(b[1]) | (std::uint32_t(b[2]) << 8) |
                                  (std::uint32_t(b[3]) << 16) | (std::uint32_t(b[4]) << 24)) %
                                 (1u << 20);
    const Bytes sealed = codec::Seal(method, length, {b.data() + 5, b.size() - 5}, kKey);
    if (DecodeBothCalls(sealed) == 0) ++decoded;
  }
  EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace zevo
