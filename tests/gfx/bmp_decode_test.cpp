#include <gtest/gtest.h>

// The hand-built files name only the header fields they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <array>
#include <optional>

#include "gfx/bmp_file.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::gfx {
namespace {

using testing::AsymmetricColor;
using testing::AsymmetricPicture;
using testing::PixelsNear;

using Bytes = std::vector<std::uint8_t>;

// What a hand-built file holds; BuildBmp lays it out.
struct BmpSpec {
  std::uint32_t info_size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bpp = 24;
  std::uint32_t compression = 0;
  std::uint32_t size_image = 0;
  std::uint32_t colours_used = 0;
  std::vector<Color> palette;
  std::vector<std::uint32_t> masks;  // red, green, blue
  Bytes data;
  std::optional<std::uint32_t> off_bits;
};

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = std::uint8_t(v);
  b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v);
  Put16(b, at + 2, v >> 16);
}

Bytes BuildBmp(const BmpSpec& s) {
  Bytes b(14 + s.info_size, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 14, s.info_size);
  if (s.info_size == 12) {
    Put16(b, 18, std::uint32_t(s.width));
    Put16(b, 20, std::uint32_t(s.height));
    Put16(b, 22, 1);
    Put16(b, 24, s.bpp);
  } else {
    Put32(b, 18, std::uint32_t(s.width));
    Put32(b, 22, std::uint32_t(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, s.bpp);
    Put32(b, 30, s.compression);
    Put32(b, 34, s.size_image);
    Put32(b, 46, s.colours_used);
    if (s.info_size > 40) {
      for (std::size_t i = 0; i < s.masks.size(); ++i) Put32(b, 54 + 4 * i, s.masks[i]);
    } else {
      for (std::uint32_t m : s.masks) {
        b.resize(b.size() + 4);
        Put32(b, b.size() - 4, m);
      }
    }
  }
  for (Color c : s.palette) {
    b.push_back(BlueOf(c));
    b.push_back(GreenOf(c));
    b.push_back(RedOf(c));
    if (s.info_size != 12) b.push_back(0);
  }
  Put32(b, 10, s.off_bits.value_or(std::uint32_t(b.size())));
  b.insert(b.end(), s.data.begin(), s.data.end());
  Put32(b, 2, std::uint32_t(b.size()));
  return b;
}

Bitmap24 MustDecode(const Bytes& file) {
  Result<Bitmap24> r = DecodeBmp(file);
  EXPECT_TRUE(r) << r.ErrorText();
  return r ? std::move(r).Value() : Bitmap24();
}

const Color kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255);
const Color kGrey = Rgb(10, 20, 30);

// A picture given as rows of palette indexes, top row first.
template <std::size_t W, std::size_t H>
auto FromIndexes(const std::array<std::array<int, W>, H>& rows, const std::vector<Color>& pal) {
  return [rows, pal](int x, int y) {
    const int i = rows[y][x];
    return i < int(pal.size()) ? pal[i] : kBlack;
  };
}

TEST(BmpDecode, PalettedDepthsReadTheirBitsHighFirst) {
  // 1 bit, 10 pixels wide: two bytes and padding per row; bottom row first in the file.
  BmpSpec one{.width = 10, .height = 2, .bpp = 1, .palette = {kRed, kBlue}};
  one.data = {0b10110000, 0b01000000, 0, 0,   // bottom: 1 0 1 1 0 0 0 0 | 0 1
              0b00000001, 0b10000000, 0, 0};  // top:    0 0 0 0 0 0 0 1 | 1 0
  const std::array<std::array<int, 10>, 2> one_rows = {
      {{0, 0, 0, 0, 0, 0, 0, 1, 1, 0}, {1, 0, 1, 1, 0, 0, 0, 0, 0, 1}}};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(one)), 10, 2, FromIndexes(one_rows, one.palette)));

  // 4 bits, 3 pixels: the high nibble first; index 5 is beyond the 3-entry palette: black.
  BmpSpec four{
      .width = 3, .height = 2, .bpp = 4, .colours_used = 3, .palette = {kRed, kGreen, kGrey}};
  four.data = {0x12, 0x50, 0, 0, 0x01, 0x20, 0, 0};
  const std::array<std::array<int, 3>, 2> four_rows = {{{0, 1, 2}, {1, 2, 5}}};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(four)), 3, 2, FromIndexes(four_rows, four.palette)));

  // 8 bits with clrUsed 2: index 200 is beyond the palette.
  BmpSpec eight{.width = 3, .height = 1, .bpp = 8, .colours_used = 2, .palette = {kGrey, kBlue}};
  eight.data = {1, 0, 200, 0};
  const std::array<std::array<int, 3>, 1> eight_rows = {{{1, 0, 200}}};
  EXPECT_TRUE(
      PixelsNear(MustDecode(BuildBmp(eight)), 3, 1, FromIndexes(eight_rows, eight.palette)));

  // The OS/2 core header: three-byte palette entries, always 2^bpp of them.
  BmpSpec core{.info_size = 12, .width = 2, .height = 2, .bpp = 1, .palette = {kGreen, kGrey}};
  core.data = {0b01000000, 0, 0, 0, 0b10000000, 0, 0, 0};
  const std::array<std::array<int, 2>, 2> core_rows = {{{1, 0}, {0, 1}}};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(core)), 2, 2, FromIndexes(core_rows, core.palette)));

  // A palette that the pixel data offset cuts short: the missing entries are black.
  BmpSpec cut{.width = 2, .height = 1, .bpp = 8, .palette = {kRed, kBlue}, .data = {0, 1, 0, 0}};
  Bytes cut_file = BuildBmp(cut);
  cut_file.erase(cut_file.begin() + 54 + 4, cut_file.begin() + 54 + 8);  // drop entry 1
  Put32(cut_file, 10, 58);
  EXPECT_TRUE(PixelsNear(MustDecode(cut_file), 2, 1, [](int x, int) { return x ? kBlack : kRed; }));
}

TEST(BmpDecode, DirectDepthsAndBitFields) {
  // 16 bits without fields: 5-5-5.
  BmpSpec rgb555{.width = 2, .height = 1, .bpp = 16};
  rgb555.data = {0x00, 0x7C, 0x1F, 0x02};  // pure red; green 16 / 31 + full blue
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(rgb555)), 2, 1,
                         [](int x, int) { return x ? Rgb(0, 132, 255) : kRed; }));

  // 16 bits 5-6-5 in a 40-byte header (masks after it) and in a 56-byte header.
  for (std::uint32_t info : {40u, 56u}) {
    BmpSpec rgb565{.info_size = info, .width = 3, .height = 1, .bpp = 16, .compression = 3};
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.data = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0};
    EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(rgb565)), 3, 1, [](int x, int) {
      return x == 0 ? kRed : x == 1 ? kGreen : kBlue;
    })) << info;
  }

  // 32 bits without fields: blue, green, red, unused.
  BmpSpec bgrx{.width = 2, .height = 1, .bpp = 32};
  bgrx.data = {30, 20, 10, 99, 3, 2, 1, 0};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(bgrx)), 2, 1,
                         [](int x, int) { return x ? Rgb(1, 2, 3) : kGrey; }));

  // 32-bit fields in a 108-byte header: red in the low byte, 10-bit blue at the top.
  BmpSpec fields{.info_size = 108, .width = 1, .height = 1, .bpp = 32, .compression = 3};
  fields.masks = {0x000000FF, 0x0000FF00, 0xFFC00000};
  fields.data = {0x40, 0x80, 0x00, 0xFF};  // red 64, green 128, blue 1020 / 1023
  EXPECT_TRUE(
      PixelsNear(MustDecode(BuildBmp(fields)), 1, 1, [](int, int) { return Rgb(64, 128, 254); }));

  // A zero mask gives a channel of 0.
  BmpSpec missing{.width = 1, .height = 1, .bpp = 16, .compression = 3};
  missing.masks = {0xF800, 0, 0x001F};
  missing.data = {0xFF, 0xFF, 0, 0};
  EXPECT_TRUE(
      PixelsNear(MustDecode(BuildBmp(missing)), 1, 1, [](int, int) { return Rgb(255, 0, 255); }));
}

// The asymmetric picture as 24-bit rows in file order.
Bytes AsymmetricRows(bool top_down, bool pad_last = true) {
  const Bitmap24 p = AsymmetricPicture();
  Bytes data;
  for (int r = 0; r < 5; ++r) {
    const std::uint8_t* row = p.Row(top_down ? r : 4 - r);
    data.insert(data.end(), row, row + 21);
    if (r < 4 || pad_last) data.insert(data.end(), 3, 0);
  }
  return data;
}

TEST(BmpDecode, RowOrderAndHeaderVersions) {
  for (std::uint32_t info : {12u, 40u, 52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(info);
    BmpSpec s{.info_size = info, .width = 7, .height = 5, .data = AsymmetricRows(false)};
    EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(s)), 7, 5, AsymmetricColor));
  }
  BmpSpec top{.width = 7, .height = -5, .data = AsymmetricRows(true)};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(top)), 7, 5, AsymmetricColor));
  // Some writers leave out the padding of the last row.
  BmpSpec short_last{.width = 7, .height = 5, .data = AsymmetricRows(false, false)};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(short_last)), 7, 5, AsymmetricColor));
  // The pixel data may start after a gap.
  BmpSpec gap{.width = 7, .height = 5, .data = AsymmetricRows(false)};
  gap.data.insert(gap.data.begin(), 6, 0xEE);
  gap.off_bits = 54 + 6;
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(gap)), 7, 5, AsymmetricColor));
}

const std::vector<Color> kRlePalette = {kBlack, kRed, kGreen, kBlue, kGrey};

TEST(BmpDecode, Rle8RunsEscapesAndAbsoluteRuns) {
  // 6 x 4; rows from the bottom:
  //  row 0: run of 3 x index 1, absolute 3 pixels (2 3 4, padded to a word), end of line
  //  row 1: delta (+2, +1) -> x 2 on row 2
  //  row 2: from x 2 a run of 2 x index 3, end of line
  //  row 3: absolute 4 pixels (no padding), end of bitmap
  BmpSpec s{.width = 6, .height = 4, .bpp = 8, .compression = 1, .palette = kRlePalette};
  s.data = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  //
            0, 2, 2, 1,                    //
            2, 3, 0, 0,                    //
            0, 4, 4, 3, 2, 1, 0, 1};
  s.size_image = std::uint32_t(s.data.size());
  const std::array<std::array<int, 6>, 4> rows = {{
      {4, 3, 2, 1, 0, 0},  // top: file row 3
      {0, 0, 3, 3, 0, 0},
      {0, 0, 0, 0, 0, 0},  // skipped by the delta
      {1, 1, 1, 2, 3, 4},
  }};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(s)), 6, 4, FromIndexes(rows, kRlePalette)));
}

TEST(BmpDecode, Rle4AlternatesNibbles) {
  // 5 x 3; rows from the bottom:
  //  row 0: run of 5 alternating 1 and 2, end of line
  //  row 1: absolute 3 pixels 3 4 1 (2 bytes, word aligned), end of line
  //  row 2: absolute 5 pixels 4 3 2 1 4 (3 bytes + 1 padding); no end of bitmap mark
  BmpSpec s{.width = 5, .height = 3, .bpp = 4, .compression = 2, .palette = kRlePalette};
  s.data = {5, 0x12, 0,    0,  //
            0, 3,    0x34, 0x10, 0, 0, 0, 5, 0x43, 0x21, 0x40, 0};
  const std::array<std::array<int, 5>, 3> rows = {{
      {4, 3, 2, 1, 4},
      {3, 4, 1, 0, 0},
      {1, 2, 1, 2, 1},
  }};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(s)), 5, 3, FromIndexes(rows, kRlePalette)));
}

TEST(BmpDecode, RleEdgesAreClippedOrKeptSoFar) {
  // A run longer than the row is clipped, not wrapped; the data ends inside an absolute
  // run: the rows so far are kept and the rest stays black.
  BmpSpec s{.width = 3, .height = 2, .bpp = 8, .compression = 1, .palette = kRlePalette};
  s.data = {9, 2, 0, 0, 0, 5, 3};
  const std::array<std::array<int, 3>, 2> rows = {{{3, 0, 0}, {2, 2, 2}}};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(s)), 3, 2, FromIndexes(rows, kRlePalette)));

  // A delta past the last row ends the picture.
  BmpSpec delta{.width = 2, .height = 2, .bpp = 8, .compression = 1, .palette = kRlePalette};
  delta.data = {2, 1, 0, 2, 0, 9, 2, 3};
  const std::array<std::array<int, 2>, 2> delta_rows = {{{0, 0}, {1, 1}}};
  EXPECT_TRUE(PixelsNear(MustDecode(BuildBmp(delta)), 2, 2, FromIndexes(delta_rows, kRlePalette)));
}

TEST(BmpDecode, RefusesDamagedHeaders) {
  const BmpSpec good{.width = 7, .height = 5, .data = AsymmetricRows(false)};
  ASSERT_TRUE(DecodeBmp(BuildBmp(good)));
  struct Case {
    const char* what;
    BmpSpec spec;
    std::string expected_error;
  };
  auto with = [&](auto change) {
    BmpSpec s = good;
    change(s);
    return s;
  };
  const Case cases[] = {
      {"width beyond the data", with([](BmpSpec& s) { s.width = 9; }), "truncated"},
      {"height beyond the data", with([](BmpSpec& s) { s.height = 6; }), "truncated"},
      {"huge width", with([](BmpSpec& s) { s.width = 0x7FFFFFFF; }), "larger"},
      {"huge height", with([](BmpSpec& s) { s.height = 40000; }), "larger"},
      {"most negative height", with([](BmpSpec& s) { s.height = INT32_MIN; }), "larger"},
      {"negative width", with([](BmpSpec& s) { s.width = -7; }), "negative"},
      {"zero width", with([](BmpSpec& s) { s.width = 0; }), "no pixels"},
      {"zero height", with([](BmpSpec& s) { s.height = 0; }), "no pixels"},
      {"offset past the end", with([](BmpSpec& s) { s.off_bits = 4000; }), "past the end"},
      {"offset in the header", with([](BmpSpec& s) { s.off_bits = 20; }), "inside the headers"},
      {"bit count 2", with([](BmpSpec& s) { s.bpp = 2; }), "bit count"},
      {"bit count 0", with([](BmpSpec& s) { s.bpp = 0; }), "bit count"},
      {"JPEG inside", with([](BmpSpec& s) { s.compression = 4; }), "compression"},
      {"fields on 24 bits", with([](BmpSpec& s) { s.compression = 3; }), "bit fields"},
      {"RLE8 on 24 bits", with([](BmpSpec& s) { s.compression = 1; }), "RLE8"},
      {"header size 64", with([](BmpSpec& s) { s.info_size = 64; }), "info header size"},
      {"top-down RLE",
       BmpSpec{.width = 2, .height = -2, .bpp = 8, .compression = 1, .data = {2, 0, 0, 1}},
       "top-down"},
      {"RLE size beyond the file",
       BmpSpec{.width = 2,
               .height = 2,
               .bpp = 8,
               .compression = 1,
               .size_image = 100,
               .data = {2, 0, 0, 1}},
       "RLE data"},
      {"large RLE picture from a few bytes",
       BmpSpec{.width = 8192, .height = 8192, .bpp = 8, .compression = 1, .data = {0, 1}},
       "too short"},
      {"picture of 3 GiB",
       BmpSpec{.width = 32768, .height = 32768, .bpp = 8, .compression = 1, .data = {0, 1}},
       "32768 x 32768 pixels are too large for Zevo 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Result<Bitmap24> r = DecodeBmp(BuildBmp(c.spec));
    ASSERT_FALSE(r);
    EXPECT_NE(r.ErrorText().find(c.expected_error), std::string::npos) << r.ErrorText();
  }

  // Every cut of a good file short of the last row's padding is refused.
  const Bytes file = BuildBmp(good);
  for (std::size_t n = 0; n + 3 < file.size(); ++n) {
    EXPECT_FALSE(DecodeBmp(std::span(file).first(n))) << n;
  }
  // The limit counts the padded rows of the bitmap: 7 x 5 takes 5 rows of 24 bytes.
  EXPECT_TRUE(DecodeBmp(file, 120));
  Result<Bitmap24> over = DecodeBmp(file, 119);
  ASSERT_FALSE(over);
  EXPECT_TRUE(IsTooLarge(over.ErrorText())) << over.ErrorText();
  // Masks that the file cuts off.
  Bytes fields = BuildBmp(BmpSpec{.width = 1, .height = 1, .bpp = 16, .compression = 3});
  fields.resize(54 + 8);
  EXPECT_FALSE(DecodeBmp(fields));
}

}  // namespace
}  // namespace zevo::gfx
