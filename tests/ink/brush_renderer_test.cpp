#include "ink/brush_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zevo::ink {
namespace {

using gfx::Bitmap24;

bool IsInk(const Bitmap24& bm, int x, int y) {
  return bm.Pixel(x, y) == gfx::kBlack;
}

int CountInk(const Bitmap24& bm) {
  int n = 0;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) n += IsInk(bm, x, y);
  return n;
}

TEST(BrushRenderer, WorkBitmapIsFourTimesTheTarget) {
  Bitmap24 overview(256, 180);
  BrushRenderer r(overview);
  EXPECT_EQ(r.Work().Width(), 1024);
  EXPECT_EQ(r.Work().Height(), 720);
  EXPECT_EQ(r.Width(), 256);
  EXPECT_EQ(r.Height(), 180);
}

TEST(BrushRenderer, ClearWhiteThenDownsampleLeavesWhite) {
  Bitmap24 page(37, 23, 0x00123456);
  BrushRenderer r(page);
  r.ClearWhite();
  r.DownsampleAll();
  EXPECT_TRUE(page.SamePixels(Bitmap24(37, 23, gfx::kWhite)));
}

TEST(BrushRenderer, DownsampleAveragesBlocksRoundingDown) {
  Bitmap24 page(5, 3);
  BrushRenderer r(page);
  // Uniform blocks come back exactly; a mixed block is its integer mean.
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 5; ++i)
      r.Work().FillRect({4 * i, 4 * j, 4 * i + 4, 4 * j + 4}, gfx::Rgb(i * 50, j * 100, 7 + i + j));
  // Block (0,0): red (15 * 0 + 15) >> 4 = 0, blue (15 * 7 + 0) >> 4 = 6.
  r.Work().SetPixel(0, 0, gfx::Rgb(15, 0, 0));
  // Block (1,0): red (15 * 50 + 66) >> 4 = 51, blue (15 * 8 + 0) >> 4 = 7.
  r.Work().SetPixel(4, 0, gfx::Rgb(66, 0, 0));
  r.DownsampleAll();
  EXPECT_EQ(page.Pixel(0, 0), gfx::Rgb(0, 0, 6));
  EXPECT_EQ(page.Pixel(1, 0), gfx::Rgb(51, 0, 7));
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 5; ++i) {
      if (j == 0 && i < 2) continue;
      EXPECT_EQ(page.Pixel(i, j), gfx::Rgb(i * 50, j * 100, 7 + i + j)) << i << "," << j;
    }
}

TEST(BrushRenderer, DownsampleRectIsClampedAndEmptyRectsTouchNothing) {
  Bitmap24 page(10, 8, gfx::kWhite);
  BrushRenderer r(page);
  r.Work().Fill(gfx::kBlack);
  r.DownsampleRect(5, 5, 5, 9);  // empty
  r.DownsampleRect(7, 3, 2, 6);  // inverted
  EXPECT_EQ(CountInk(page), 0);
  r.DownsampleRect(-5, 6, 3, 50);  // partly outside: columns 0..2, rows 6..7
  EXPECT_EQ(CountInk(page), 6);
  EXPECT_TRUE(IsInk(page, 2, 7));
  EXPECT_FALSE(IsInk(page, 3, 7));
  EXPECT_FALSE(IsInk(page, 2, 5));
}

TEST(BrushRenderer, LoadFromTargetFillsEachBlock) {
  Bitmap24 page(3, 2);
  page.SetPixel(2, 1, 0x00ABCDEF);
  BrushRenderer r(page);
  r.LoadFromTarget();
  for (int v = 4; v < 8; ++v)
    for (int u = 8; u < 12; ++u) EXPECT_EQ(r.Work().Pixel(u, v), 0x00ABCDEFu);
  EXPECT_EQ(r.Work().Pixel(7, 7), 0u);
}

TEST(BrushRenderer, BeginAtDrawsOnlyIntoTheWorkBitmap) {
  Bitmap24 page(20, 20, gfx::kWhite);
  BrushRenderer r(page);
  r.ClearWhite();
  r.SetColor(gfx::kBlack);
  r.BeginAt(10, 10, 3);
  EXPECT_EQ(CountInk(page), 0);
  // The disc's box is [28, 52) in work pixels.
  EXPECT_TRUE(IsInk(r.Work(), 40, 40));
  EXPECT_TRUE(IsInk(r.Work(), 28, 40));
  EXPECT_TRUE(IsInk(r.Work(), 51, 40));
  EXPECT_FALSE(IsInk(r.Work(), 52, 40));
  EXPECT_FALSE(IsInk(r.Work(), 40, 52));
  r.DownsampleAll();
  EXPECT_TRUE(IsInk(page, 10, 10));
  EXPECT_EQ(page.Pixel(13, 10), gfx::kWhite);
}

TEST(BrushRenderer, SamePointAndContainedDiscsDrawOnlyTheNewDisc) {
  Bitmap24 a(40, 40), b(40, 40);
  BrushRenderer ra(a), rb(b);
  for (BrushRenderer* r : {&ra, &rb}) {
    r->ClearWhite();
    r->SetColor(gfx::kBlack);
  }
  // Same point: no joining polygon.
  ra.BeginAt(20, 20, 2);
  ra.DrawSegment(20, 20, 6);
  rb.BeginAt(20, 20, 2);
  rb.BeginAt(20, 20, 6);
  EXPECT_TRUE(ra.Work().SamePixels(rb.Work()));
  // A big disc containing the next, smaller one: nothing joins them either.
  ra.BeginAt(10, 10, 8);
  ra.DrawSegment(11, 10, 2);
  rb.BeginAt(10, 10, 8);
  rb.BeginAt(11, 10, 2);
  EXPECT_TRUE(ra.Work().SamePixels(rb.Work()));
  EXPECT_EQ(ra.X(), 11);
  EXPECT_EQ(ra.Radius(), 2);
}

TEST(BrushRenderer, SegmentOutsideTheTargetDrawsNothingButMoves) {
  Bitmap24 page(30, 30);
  BrushRenderer r(page);
  r.ClearWhite();
  r.SetColor(gfx::kBlack);
  r.BeginAt(-100, -100, 3);
  r.LineTo(-80, -90, 3);
  EXPECT_EQ(CountInk(r.Work()), 0);
  EXPECT_EQ(r.X(), -80);
  EXPECT_EQ(r.Y(), -90);
}

TEST(BrushRenderer, PenUpTapersToAPoint) {
  Bitmap24 page(100, 40);
  BrushRenderer r(page);
  r.ClearWhite();
  r.SetColor(gfx::kBlack);
  r.BeginAt(20, 20, 8);
  r.LineTo(80, 20, 0);
  // Ink along the axis right up to the tip, and the width shrinks toward it.
  auto width_at = [&](int x) {
    int n = 0;
    for (int y = 0; y < r.Work().Height(); ++y) n += IsInk(r.Work(), x, y);
    return n;
  };
  EXPECT_GT(width_at(4 * 30), width_at(4 * 50));
  EXPECT_GT(width_at(4 * 50), width_at(4 * 70));
  EXPECT_GE(width_at(4 * 79), 1);
  EXPECT_LE(width_at(4 * 79), 6);
  EXPECT_EQ(width_at(4 * 81), 0);
  // LineTo downsampled its box.
  EXPECT_TRUE(IsInk(page, 50, 20));
}

TEST(BrushRenderer, OverlappingSamplesLeaveNoGapsAlongTheStroke) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> pos(20, 180), rad(0.5f, 12), step(-6, 6);
  for (int trial = 0; trial < 40; ++trial) {
    Bitmap24 page(200, 200);
    BrushRenderer r(page);
    r.ClearWhite();
    r.SetColor(gfx::kBlack);
    float x = pos(rng), y = pos(rng), rr = rad(rng);
    r.BeginAt(x, y, rr);
    for (int i = 0; i < 20; ++i) {
      const float nx = x + step(rng), ny = y + step(rng), nr = rad(rng);
      r.DrawSegment(nx, ny, nr);
      // Every work pixel well inside the swept hull of the two discs is ink.
      for (int k = 0; k <= 16; ++k) {
        const float t = k / 16.0f;
        const float cx = x + (nx - x) * t, cy = y + (ny - y) * t, cr = rr + (nr - rr) * t;
        const float inner = cr * 4 - 2;
        for (int a = 0; a < 16 && inner > 0; ++a) {
          const float ang = a * 0.3927f;
          const int px = int(cx * 4 + inner * std::cos(ang));
          const int py = int(cy * 4 + inner * std::sin(ang));
          if (!r.Work().Contains(px, py)) continue;
          ASSERT_TRUE(IsInk(r.Work(), px, py))
              << "trial " << trial << " segment " << i << " t " << t << " at " << px << "," << py;
        }
      }
      x = nx;
      y = ny;
      rr = nr;
    }
  }
}

TEST(BrushRenderer, ContourDrawnTwiceRestoresThePixels) {
  Bitmap24 page(60, 60);
  BrushRenderer r(page);
  r.ClearWhite();
  r.SetColor(0x000000FF);
  r.BeginAt(30, 30, 10);
  r.LineTo(34, 31, 9);
  const Bitmap24 before = r.Work();
  r.BeginAtWithContour(12, 12, 6);  // disc + outline
  const Bitmap24 with_outline = r.Work();
  EXPECT_FALSE(with_outline.SamePixels(before));
  // Moving on erases the old outline; pen-up leaves no outline at all.
  Bitmap24 page2(60, 60);
  BrushRenderer plain(page2);
  plain.ClearWhite();
  plain.SetColor(0x000000FF);
  plain.BeginAt(30, 30, 10);
  plain.LineTo(34, 31, 9);
  plain.BeginAt(12, 12, 6);
  plain.LineTo(20, 14, 5);
  plain.LineTo(26, 20, 0);
  r.LineToWithContour(20, 14, 5);
  r.LineToWithContour(26, 20, 0);
  EXPECT_TRUE(r.Work().SamePixels(plain.Work()));
  EXPECT_TRUE(page.SamePixels(page2));
}

}  // namespace
}  // namespace zevo::ink
