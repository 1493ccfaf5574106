#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/byte_io.h"

namespace zevo::base {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteWriter, WritesLittleEndianBytesInOrder) {
  Bytes out = {0xAA};  // appends after what is there
  ByteWriter w(out);
  w.WriteU8(0x12);
  w.WriteU16(0x3456);
  w.WriteU32(0x789ABCDEu);
  w.WriteI32(-2);
  w.WriteF32(1.0f);
  w.WriteBytes(Bytes{1, 2});
  w.WriteBytes("Zv", 2);
  EXPECT_EQ(out, (Bytes{0xAA, 0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 0xFE, 0xFF,
                        0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F, 1,    2,    'Z',  'v'}));
  EXPECT_EQ(w.Size(), out.size());

  // A length known only at the end goes back into its place; a patch past the end is refused
  // and changes nothing.
  w.PutU32At(1, 0x01020304u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), (Bytes{0xAA, 0x04, 0x03, 0x02, 0x01, 0xBC}));
  const Bytes before = out;
  EXPECT_THROW(w.PutU32At(out.size() - 3, 0), std::out_of_range);
  EXPECT_THROW(w.PutU32At(out.size() + 1, 0), std::out_of_range);
  EXPECT_THROW(w.PutU32At(std::numeric_limits<std::size_t>::max(), 0), std::out_of_range);
  EXPECT_EQ(out, before);
  w.PutU32At(out.size() - 4, 0);  // the last four bytes are in reach
}

TEST(ByteReader, EveryTypeRoundTripsThroughTheWriter) {
  const std::uint16_t u16s[] = {0, 1, 0x8001, 0xFFFF};
  const std::uint32_t u32s[] = {0, 1, 0x80000001u, 0xFFFFFFFFu};
  const std::int32_t i32s[] = {0, -1, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()};
  const float f32s[] = {0.0f,
                        -0.0f,
                        1.5f,
                        -1e-42f /* subnormal */,
                        std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::max()};
  Bytes out;
  ByteWriter w(out);
  for (std::uint16_t v : u16s) w.WriteU16(v);
  for (std::uint32_t v : u32s) w.WriteU32(v);
  for (std::int32_t v : i32s) w.WriteI32(v);
  for (float v : f32s) w.WriteF32(v);
  w.WriteU8(0xC3);
  w.WriteBytes("text", 4);

  ByteReader r(out);
  for (std::uint16_t v : u16s) {
    std::uint16_t got = 0;
    ASSERT_TRUE(r.ReadU16(got));
    EXPECT_EQ(got, v);
  }
  for (std::uint32_t v : u32s) {
    std::uint32_t got = 0;
    ASSERT_TRUE(r.ReadU32(got));
    EXPECT_EQ(got, v);
  }
  for (std::int32_t v : i32s) {
    std::int32_t got = 0;
    ASSERT_TRUE(r.ReadI32(got));
    EXPECT_EQ(got, v);
  }
  for (float v : f32s) {
    float got = 0;
    ASSERT_TRUE(r.ReadF32(got));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(v));
  }
  std::uint8_t u8 = 0;
  ASSERT_TRUE(r.ReadU8(u8));
  EXPECT_EQ(u8, 0xC3);
  std::array<char, 4> text{};
  ASSERT_TRUE(r.ReadInto(text));
  EXPECT_EQ(std::string(text.data(), 4), "text");
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_EQ(r.Position(), out.size());
  EXPECT_FALSE(r.Failed());
}

TEST(ByteReader, FloatsKeepTheirBitPatternNaNPayloadsIncluded) {
  for (std::uint32_t bits :
       {0x7FC12345u, 0xFFC00001u, 0x7F800001u /* signalling */, 0x80000000u, 0x00000001u}) {
    SCOPED_TRACE(bits);
    Bytes out;
    ByteWriter(out).WriteF32(std::bit_cast<float>(bits));
    Bytes expected(4);
    StoreU32LE(expected.data(), bits);
    EXPECT_EQ(out, expected);
    ByteReader r(out);
    float f = 0;
    ASSERT_TRUE(r.ReadF32(f));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(f), bits);
  }
}

TEST(ByteReader, RefusesEveryReadPastTheEndAndKeepsFailing) {
  // Each read, tried on a buffer one byte too short, then after an earlier failure.
  struct Case {
    const char* name;
    std::size_t size;
    std::function<bool(ByteReader&)> read;
  };
  std::uint8_t u8 = 7;
  std::uint16_t u16 = 7;
  std::uint32_t u32 = 7;
  std::int32_t i32 = 7;
  float f32 = 7;
  std::span<const std::uint8_t> view;
  std::array<std::uint8_t, 5> copy{};
  std::array<char, 5> chars{};
  const Case cases[] = {
      {"U8", 1, [&](ByteReader& r) { return r.ReadU8(u8); }},
      {"U16", 2, [&](ByteReader& r) { return r.ReadU16(u16); }},
      {"U32", 4, [&](ByteReader& r) { return r.ReadU32(u32); }},
      {"I32", 4, [&](ByteReader& r) { return r.ReadI32(i32); }},
      {"F32", 4, [&](ByteReader& r) { return r.ReadF32(f32); }},
      {"Skip", 5, [&](ByteReader& r) { return r.Skip(5); }},
      {"Bytes", 5, [&](ByteReader& r) { return r.ReadBytes(5, view); }},
      {"Into", 5, [&](ByteReader& r) { return r.ReadInto(copy); }},
      {"Chars", 5, [&](ByteReader& r) { return r.ReadInto(chars); }},
  };
  const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Exactly enough bytes, after one has been taken.
    ByteReader fits{std::span(data).first(c.size + 1)};
    ASSERT_TRUE(fits.Skip(1));
    EXPECT_TRUE(c.read(fits));
    EXPECT_EQ(fits.Remaining(), 0u);

    // One byte short: nothing is taken, nothing is written.
    u8 = 7, u16 = 7, u32 = 7, i32 = 7, f32 = 7, view = {}, copy.fill(9), chars.fill('x');
    ByteReader r{std::span(data).first(c.size)};
    ASSERT_TRUE(r.Skip(1));
    EXPECT_FALSE(c.read(r));
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.Position(), 1u);
    EXPECT_EQ(r.Remaining(), c.size - 1);
    EXPECT_TRUE(u8 == 7 && u16 == 7 && u32 == 7 && i32 == 7 && f32 == 7 && view.empty());
    EXPECT_EQ(copy[0], 9);
    EXPECT_EQ(chars[0], 'x');

    // Every read after the failure fails, even one that would fit.
    EXPECT_FALSE(r.ReadU8(u8));
    EXPECT_FALSE(r.Skip(0));
    EXPECT_FALSE(r.ReadBytes(0, view));
    EXPECT_EQ(u8, 7);
    EXPECT_EQ(r.Position(), 1u);
  }

  // Sizes near the limits of size_t do not wrap around.
  ByteReader r(data);
  ASSERT_TRUE(r.Skip(3));
  EXPECT_FALSE(r.Skip(std::numeric_limits<std::size_t>::max()));
  EXPECT_FALSE(r.ReadBytes(std::numeric_limits<std::size_t>::max() - 2, view));
  EXPECT_EQ(r.Position(), 3u);

  ByteReader empty(std::span<const std::uint8_t>{});
  EXPECT_TRUE(empty.Skip(0));
  EXPECT_FALSE(empty.ReadU8(u8));
}

TEST(ByteReader, ViewsPointIntoTheBufferAndCopiesDoNot) {
  const Bytes data = {'a', 'b', 'c', 'd'};
  ByteReader r(data);
  std::span<const std::uint8_t> view;
  ASSERT_TRUE(r.Skip(1));
  ASSERT_TRUE(r.ReadBytes(2, view));
  EXPECT_EQ(view.data(), data.data() + 1);
  EXPECT_EQ(view.size(), 2u);
  std::array<std::uint8_t, 1> last{};
  ASSERT_TRUE(r.ReadInto(last));
  EXPECT_EQ(last[0], 'd');
  std::array<std::uint8_t, 0> none{};
  EXPECT_TRUE(r.ReadInto(none));  // nothing left, nothing asked
}

TEST(RawLittleEndian, LoadsAndStoresAtAnyAlignment) {
  std::uint8_t buffer[9] = {};
  StoreU32LE(buffer + 1, 0xA1B2C3D4u);
  StoreU16LE(buffer + 5, 0xE5F6);
  EXPECT_EQ(buffer[1], 0xD4);
  EXPECT_EQ(buffer[4], 0xA1);
  EXPECT_EQ(buffer[5], 0xF6);
  EXPECT_EQ(buffer[6], 0xE5);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[7], 0);
  EXPECT_EQ(LoadU32LE(buffer + 1), 0xA1B2C3D4u);
  EXPECT_EQ(LoadU16LE(buffer + 5), 0xE5F6);
  EXPECT_EQ(LoadU32LE(buffer + 3), 0xE5F6A1B2u);
}

}  // namespace
}  // namespace zevo::base
