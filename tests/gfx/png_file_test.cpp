#include "gfx/png_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/png_reader.h"

namespace zevo::gfx {
namespace {

Bitmap24 Sample(int w, int h) {
  Bitmap24 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, Rgb(std::uint8_t(x * 37 + y), std::uint8_t(y * 11), std::uint8_t(x ^ y)));
  return b;
}

TEST(PngFile, ReadsBackPixelForPixelWithItsResolution) {
  // Odd widths: rows that are not a multiple of 4 bytes in the bitmap.
  for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{300, 2}}) {
    const Bitmap24 b = Sample(w, h);
    const std::vector<std::uint8_t> bytes = EncodePng(b);
    const std::optional<test::PngPicture> p = test::DecodePngForTest(bytes);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->width, w);
    ASSERT_EQ(p->height, h);
    EXPECT_FALSE(p->has_alpha);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const Color c = b.Pixel(x, y);
        ASSERT_EQ(Rgb(p->At(x, y, 0), p->At(x, y, 1), p->At(x, y, 2)), c) << x << "," << y;
      }
    }
    // 72 dpi, as the BMP writer records.
    const auto res = test::PngPixelsPerMetre(bytes);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->x, 2835u);
    EXPECT_EQ(res->y, 2835u);
  }
  EXPECT_EQ(test::PngPixelsPerMetre(EncodePng(Sample(2, 2), {PixelsPerMetre(300), false}))->x,
            11811u);
  EXPECT_FALSE(test::PngPixelsPerMetre(EncodePng(Sample(2, 2), {0, false})));
  EXPECT_TRUE(EncodePng(Bitmap24()).empty());
}

TEST(PngFile, TransparentPixelsLaidOverWhiteGiveThePictureBack) {
  EXPECT_EQ(PixelsPerMetre(72), 2835u);
  const Rgba white = WhiteToAlpha(255, 255, 255);
  EXPECT_EQ(white.a, 0);
  const Rgba black = WhiteToAlpha(0, 0, 0);
  EXPECT_EQ(black.a, 255);
  EXPECT_EQ(black.r, 0);
  const Rgba red = WhiteToAlpha(255, 0, 0);
  EXPECT_EQ(red.a, 255);
  EXPECT_EQ(red.r, 255);
  EXPECT_EQ(red.g, 0);
  for (int r = 0; r < 256; r += 5) {
    for (int g = 0; g < 256; g += 3) {
      for (int b = 0; b < 256; b += 17) {
        const Rgba c = WhiteToAlpha(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
        auto over_white = [&](int v) { return (v * c.a + 255 * (255 - c.a) + 127) / 255; };
        ASSERT_NEAR(over_white(c.r), r, 1);
        ASSERT_NEAR(over_white(c.g), g, 1);
        ASSERT_NEAR(over_white(c.b), b, 1);
      }
    }
  }
  Bitmap24 ink(3, 1, kWhite);
  ink.SetPixel(1, 0, kBlack);
  ink.SetPixel(2, 0, Rgb(128, 128, 128));
  const auto p = test::DecodePngForTest(EncodePng(ink, {kDefaultPixelsPerMetre, true}));
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->has_alpha);
  EXPECT_EQ(p->At(0, 0, 3), 0);
  EXPECT_EQ(p->At(1, 0, 3), 255);
  EXPECT_EQ(p->At(1, 0, 0), 0);
  EXPECT_EQ(p->At(2, 0, 3), 127);
  EXPECT_EQ(p->At(2, 0, 0), 0);
}

TEST(PngFile, SavingReplacesWholeOrSaysWhy) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zevo-png-test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "a.png").string();
  std::string error;
  ASSERT_TRUE(SavePngFile(Sample(5, 4), path, &error)) << error;
  std::ifstream f(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
  EXPECT_TRUE(test::DecodePngForTest(bytes));

  EXPECT_FALSE(SavePngFile(Sample(5, 4), (dir / "missing" / "b.png").string(), &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_FALSE(SavePngFile(Bitmap24(), path, &error));
  EXPECT_EQ(error, "an empty picture cannot be written as PNG");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zevo::gfx
