#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench/files/pen_history.h"
#include "codec/container.h"
#include "codec/zevo_codec.h"

namespace zevo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t kKey[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                               17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

// A layout of the given generation with one record of every kind, an unknown kind and the
// background; the codec does not care whether the pictures inside are valid.
Bytes MixedLayout(const char* magic, std::size_t header) {
  Bytes b(header, 0x11);
  std::memcpy(b.data(), magic, 4);
  for (int s = 0; s < 3; ++s) {
    PutU32(b, 0);
    PutU32(b, 0x00123456);
    PutU32(b, 5);
    for (int i = 0; i < 5; ++i) {
      float v[3] = {100.5f + float(i), 200.25f - float(i), i == 4 ? 0.0f : 3.0f};
      for (float f : v) {
        std::uint32_t w;
        std::memcpy(&w, &f, 4);
        PutU32(b, w);
      }
      PutU32(b, i == 2 ? 7u : 0u);  // a reserved word that is not 0 must survive
    }
  }
  PutU32(b, 1), PutU32(b, 255), PutU32(b, 10), PutU32(b, 20), PutU32(b, 3);
  b.insert(b.end(), {'B', 'M', 'x'});
  PutU32(b, 2), PutU32(b, 255);
  for (int i = 0; i < 4; ++i) PutU32(b, 0x41200000);
  PutU32(b, 16), PutU32(b, 2);
  b.insert(b.end(), {0xFF, 0x01, 0x80, 0x7E});
  PutU32(b, 3), PutU32(b, 0xFF), PutU32(b, 0x42000000), PutU32(b, 0x42000000);
  PutU32(b, 9), PutU32(b, 9);  // unknown kind: two words
  PutU32(b, 5), PutU32(b, 5), PutU32(b, 1), PutU32(b, 2), PutU32(b, 2);
  b.insert(b.end(), {'B', 'M'});
  b.insert(b.end(), {1, 2, 3});  // a tail shorter than a record head
  return b;
}

int EncodeEx(int mode, const Bytes& in, Bytes& out, const std::uint8_t* key = kKey) {
  std::int32_t length = -12345;
  if (int r = drav_encode_ex(mode, in.data(), std::int32_t(in.size()), nullptr, &length, key)) {
    return r;
  }
  out.assign(std::size_t(length), 0);
  const int r = drav_encode_ex(mode, in.data(), std::int32_t(in.size()), out.data(), &length, key);
  if (r == 0) out.resize(std::size_t(length));
  return r;
}

int Decode(const Bytes& in, Bytes& out, const std::uint8_t* key = kKey) {
  std::int32_t length = -12345;
  if (int r = drav_decode(in.data(), std::int32_t(in.size()), nullptr, &length, key)) return r;
  out.assign(std::size_t(length), 0);
  const int r = drav_decode(in.data(), std::int32_t(in.size()), out.data(), &length, key);
  if (r == 0) out.resize(std::size_t(length));
  return r;
}

TEST(Codec, RoundTripsEveryKindOfInputByteForByte) {
  std::mt19937 rng(7);
  Bytes random(3000);
  for (auto& b : random) b = std::uint8_t(rng());
  Bytes truncated = MixedLayout("Zvr3", 556);
  truncated.resize(556 + 12 + 16 * 3);         // an ink record claiming more samples than remain
  Bytes fake = {'Z', 'v', 'r', '3', 1, 2, 3};  // magic but shorter than its header
  const std::vector<Bytes> inputs = {{},
                                     {'Z'},
                                     random,
                                     MixedLayout("Zvrn", 20),
                                     MixedLayout("Zvr2", 544),
                                     MixedLayout("Zvr3", 556),
                                     truncated,
                                     fake,
                                     bench::PlainLayoutOf(bench::SimulatePenHistory(20, 50))};
  for (int mode : {-1, 0, 1, 6, 19}) {
    for (const Bytes& in : inputs) {
      Bytes encoded, decoded;
      ASSERT_EQ(EncodeEx(mode, in, encoded), 0);
      ASSERT_GE(encoded.size(), 20u);
      EXPECT_EQ(std::memcmp(encoded.data(), "zvRD", 4), 0);
      ASSERT_EQ(Decode(encoded, decoded), 0) << "mode " << mode << " size " << in.size();
      EXPECT_EQ(decoded, in);
    }
  }
}

TEST(Codec, StrokeLayoutsUseTheStrokeMethodAndBeatPlainCompression) {
  const Bytes plain = bench::PlainLayoutOf(bench::SimulatePenHistory(200, 100));
  Bytes encoded;
  ASSERT_EQ(EncodeEx(-1, plain, encoded), 0);
  EXPECT_EQ(encoded[6], std::uint8_t(codec::Method::StrokePlanes));
  EXPECT_LE(double(encoded.size()) / double(plain.size()), 0.35);

  Bytes mixed = MixedLayout("Zvr2", 544), mixed_encoded;
  ASSERT_EQ(EncodeEx(5, mixed, mixed_encoded), 0);
  EXPECT_EQ(mixed_encoded[6], std::uint8_t(codec::Method::StrokePlanes));

  // Not a stroke layout: compressed as plain bytes; incompressible: stored.
  Bytes text(4000, 'a'), text_encoded;
  ASSERT_EQ(EncodeEx(-1, text, text_encoded), 0);
  EXPECT_EQ(text_encoded[6], std::uint8_t(codec::Method::Zstd));
  Bytes noise(500), noise_encoded;
  std::mt19937 rng(3);
  for (auto& b : noise) b = std::uint8_t(rng());
  ASSERT_EQ(EncodeEx(-1, noise, noise_encoded), 0);
  EXPECT_EQ(noise_encoded[6], std::uint8_t(codec::Method::Stored));
}

TEST(Codec, EveryAlteredByteAndTruncationIsRefused) {
  const Bytes plain = MixedLayout("Zvr3", 556);
  Bytes encoded;
  ASSERT_EQ(EncodeEx(-1, plain, encoded), 0);
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    Bytes altered = encoded, out;
    altered[i] ^= 0x20;
    EXPECT_NE(Decode(altered, out), 0) << "byte " << i;
  }
  for (std::size_t n : {std::size_t(0), std::size_t(4), std::size_t(19), encoded.size() - 1}) {
    Bytes cut(encoded.begin(), encoded.begin() + std::ptrdiff_t(n)), out;
    EXPECT_NE(Decode(cut, out), 0) << n;
  }
  Bytes longer = encoded, out;
  longer.push_back(0);
  EXPECT_NE(Decode(longer, out), 0);

  std::uint8_t other_key[32];
  std::memcpy(other_key, kKey, 32);
  other_key[31] ^= 1;
  EXPECT_EQ(Decode(encoded, out, other_key), ZEVO_CODEC_AUTH_FAILED);
}

TEST(Codec, TwoCallPatternAndArgumentChecks) {
  const Bytes plain = MixedLayout("Zvrn", 20);
  std::int32_t length = 0;
  EXPECT_EQ(drav_encode_ex(-1, plain.data(), 10, nullptr, nullptr, kKey),
            ZEVO_CODEC_INVALID_ARGUMENT);
  EXPECT_EQ(drav_encode_ex(-1, plain.data(), -1, nullptr, &length, kKey),
            ZEVO_CODEC_INVALID_ARGUMENT);
  EXPECT_EQ(drav_encode_ex(-2, plain.data(), 10, nullptr, &length, kKey),
            ZEVO_CODEC_INVALID_ARGUMENT);
  EXPECT_EQ(drav_encode_ex(23, plain.data(), 10, nullptr, &length, kKey),
            ZEVO_CODEC_INVALID_ARGUMENT);
  EXPECT_EQ(drav_encode_ex(-1, plain.data(), 10, nullptr, &length, nullptr),
            ZEVO_CODEC_INVALID_ARGUMENT);
  EXPECT_EQ(drav_encode_ex(-1, nullptr, 10, nullptr, &length, kKey), ZEVO_CODEC_INVALID_ARGUMENT);

  Bytes encoded;
  ASSERT_EQ(EncodeEx(-1, plain, encoded), 0);
  // The size query stores the exact plain length; a smaller buffer is refused.
  length = 0;
  ASSERT_EQ(drav_decode(encoded.data(), std::int32_t(encoded.size()), nullptr, &length, kKey), 0);
  EXPECT_EQ(std::size_t(length), plain.size());
  Bytes out(plain.size());
  length = std::int32_t(plain.size() - 1);
  EXPECT_EQ(drav_decode(encoded.data(), std::int32_t(encoded.size()), out.data(), &length, kKey),
            ZEVO_CODEC_BUFFER_TOO_SMALL);
  EXPECT_EQ(drav_decode(encoded.data(), std::int32_t(encoded.size()), out.data(), &length, nullptr),
            ZEVO_CODEC_INVALID_ARGUMENT);
  // A larger buffer is fine; the length tells what was produced.
  Bytes big(plain.size() + 100);
  length = std::int32_t(big.size());
  ASSERT_EQ(drav_decode(encoded.data(), std::int32_t(encoded.size()), big.data(), &length, kKey),
            0);
  EXPECT_EQ(std::size_t(length), plain.size());
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), big.begin()));

  std::int32_t bound = 0;
  ASSERT_EQ(drav_encode_ex(-1, plain.data(), std::int32_t(plain.size()), nullptr, &bound, kKey), 0);
  Bytes small(8);
  bound = 8;
  EXPECT_EQ(
      drav_encode_ex(-1, plain.data(), std::int32_t(plain.size()), small.data(), &bound, kKey),
      ZEVO_CODEC_BUFFER_TOO_SMALL);

  const Bytes not_encoded = {'Z', 'v', 'r', '3', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                             0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Decode(not_encoded, out), ZEVO_CODEC_NOT_ENCODED);
  Bytes later_version = encoded;
  later_version[4] = 2;
  EXPECT_EQ(Decode(later_version, out), ZEVO_CODEC_NOT_ENCODED);
}

TEST(Codec, CompressionOnlyContainerFromDravEncode) {
  const Bytes plain = bench::PlainLayoutOf(bench::SimulatePenHistory(5, 30));
  std::int32_t length = 0;
  ASSERT_EQ(drav_encode(plain.data(), std::int32_t(plain.size()), nullptr, &length), 0);
  Bytes encoded(std::size_t(length), 0);
  ASSERT_EQ(drav_encode(plain.data(), std::int32_t(plain.size()), encoded.data(), &length), 0);
  encoded.resize(std::size_t(length));
  EXPECT_EQ(std::memcmp(encoded.data(), "zvRD", 4), 0);
  EXPECT_EQ(encoded[5], 0);  // not sealed
  Bytes out;
  ASSERT_EQ(Decode(encoded, out, nullptr), 0);
  EXPECT_EQ(out, plain);
  ASSERT_EQ(Decode(encoded, out, kKey), 0);  // the key is not needed, and does no harm
  EXPECT_EQ(out, plain);
  encoded[encoded.size() / 2] ^= 1;
  EXPECT_EQ(Decode(encoded, out, nullptr), ZEVO_CODEC_AUTH_FAILED);
}

TEST(Codec, AuthenticContainersWithBadContentsAreRefused) {
  using codec::Method;
  Bytes out;
  // A claim above the limit is refused by the size query, before anybody allocates it.
  const Bytes payload = {1, 2, 3};
  EXPECT_EQ(Decode(codec::Seal(Method::Stored, (1u << 30) + 1, payload, kKey), out),
            ZEVO_CODEC_DAMAGED);
  // Stored data whose length disagrees.
  EXPECT_EQ(Decode(codec::Seal(Method::Stored, 4, payload, kKey), out), ZEVO_CODEC_DAMAGED);
  // A zstd frame that is not one, or gives another length.
  EXPECT_EQ(Decode(codec::Seal(Method::Zstd, 3, payload, kKey), out), ZEVO_CODEC_DAMAGED);
  // Stroke planes whose sizes do not add up, or whose streams are missing.
  Bytes planes;
  PutU32(planes, 20);
  PutU32(planes, 1);
  planes.insert(planes.end(), {1, 1, 1, 0});
  EXPECT_EQ(Decode(codec::Seal(Method::StrokePlanes, 20, planes, kKey), out), ZEVO_CODEC_DAMAGED);
  EXPECT_EQ(Decode(codec::Seal(Method::StrokePlanes, 36, planes, kKey), out), ZEVO_CODEC_DAMAGED);
  // An unknown method is not ours.
  Bytes sealed = codec::Seal(Method::Stored, 3, payload, kKey);
  sealed[6] = 9;
  EXPECT_EQ(Decode(sealed, out), ZEVO_CODEC_NOT_ENCODED);
}

}  // namespace
}  // namespace zevo
