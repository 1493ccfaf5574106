#include <gtest/gtest.h>

#include "gfx/bitmap_turn.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::gfx {
namespace {

using testing::AsymmetricPicture;

// A bigger picture whose sides cross the tile size, with a distinct value per pixel.
Bitmap24 NoisePicture(int w, int h) {
  Bitmap24 b(w, h);
  std::uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      b.SetPixel(x, y, (seed >> 8) & 0xFFFFFF);
    }
  }
  return b;
}

void ExpectTurns(const Bitmap24& src) {
  const int w = src.Width(), h = src.Height();
  const Bitmap24 ccw = TurnQuarterCounterClockwise(src);
  const Bitmap24 half = TurnHalf(src);
  const Bitmap24 cw = TurnQuarterClockwise(src);
  ASSERT_EQ(ccw.Width(), h);
  ASSERT_EQ(ccw.Height(), w);
  ASSERT_EQ(half.Width(), w);
  ASSERT_EQ(half.Height(), h);
  ASSERT_EQ(cw.Width(), h);
  ASSERT_EQ(cw.Height(), w);
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Color c = src.Pixel(x, y);
      wrong += ccw.Pixel(y, w - 1 - x) != c;
      wrong += half.Pixel(w - 1 - x, h - 1 - y) != c;
      wrong += cw.Pixel(h - 1 - y, x) != c;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(BitmapTurn, MovesEveryPixelWhereTheTurnSays) {
  ExpectTurns(AsymmetricPicture());
  ExpectTurns(AsymmetricPicture(1, 6));
  ExpectTurns(NoisePicture(131, 67));
  ExpectTurns(NoisePicture(64, 129));
  // The corners of the 7 x 5 picture, spelled out.
  const Bitmap24 src = AsymmetricPicture();
  EXPECT_EQ(TurnQuarterCounterClockwise(src).Pixel(0, 6),
            src.Pixel(0, 0));                                         // top left to bottom left
  EXPECT_EQ(TurnQuarterClockwise(src).Pixel(4, 0), src.Pixel(0, 0));  // top left to top right
  EXPECT_EQ(TurnHalf(src).Pixel(6, 4), src.Pixel(0, 0));
}

TEST(BitmapTurn, TurnsComposeAsTurnsDo) {
  for (const Bitmap24& src : {AsymmetricPicture(), NoisePicture(131, 67)}) {
    Bitmap24 b = src;
    for (int i = 0; i < 4; ++i) b = TurnQuarterCounterClockwise(b);
    EXPECT_TRUE(b.SamePixels(src));
    b = src;
    for (int i = 0; i < 4; ++i) b = TurnQuarterClockwise(b);
    EXPECT_TRUE(b.SamePixels(src));
    EXPECT_TRUE(TurnQuarterClockwise(TurnQuarterCounterClockwise(src)).SamePixels(src));
    EXPECT_TRUE(TurnQuarterClockwise(TurnQuarterClockwise(src)).SamePixels(TurnHalf(src)));
    EXPECT_TRUE(TurnHalf(TurnHalf(src)).SamePixels(src));
  }
}

TEST(BitmapTurn, EmptyBitmapsStayEmpty) {
  EXPECT_TRUE(TurnHalf(Bitmap24()).Empty());
  const Bitmap24 flat(0, 3);
  EXPECT_EQ(TurnQuarterClockwise(flat).Width(), 3);
  EXPECT_EQ(TurnQuarterClockwise(flat).Height(), 0);
  EXPECT_EQ(TurnQuarterCounterClockwise(flat).Width(), 3);
}

}  // namespace
}  // namespace zevo::gfx
