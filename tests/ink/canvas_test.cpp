#include "gfx/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zevo::gfx {
namespace {

constexpr Color kInk = 0x00102030;

int Count(const Bitmap24& bm, Color c) {
  int n = 0;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) n += bm.Pixel(x, y) == c;
  return n;
}

Canvas InkCanvas(Bitmap24& bm) {
  Canvas c(bm);
  c.pen = {kInk, 1, PenMode::Copy};
  c.brush = {kInk, BrushStyle::Solid};
  return c;
}

TEST(Canvas, EllipseExcludesRightAndBottomEdges) {
  Bitmap24 bm(20, 20, kWhite);
  Canvas c = InkCanvas(bm);
  c.Ellipse(2, 3, 12, 9);
  for (int y = 0; y < 20; ++y) {
    EXPECT_NE(bm.Pixel(12, y), kInk);
    EXPECT_NE(bm.Pixel(1, y), kInk);
  }
  for (int x = 0; x < 20; ++x) {
    EXPECT_NE(bm.Pixel(x, 9), kInk);
    EXPECT_NE(bm.Pixel(x, 2), kInk);
  }
  // The extremes of the box are reached, and the shape is symmetric.
  EXPECT_EQ(bm.Pixel(2, 5), kInk);
  EXPECT_EQ(bm.Pixel(11, 5), kInk);
  EXPECT_EQ(bm.Pixel(7, 3), kInk);
  EXPECT_EQ(bm.Pixel(7, 8), kInk);
  EXPECT_NE(bm.Pixel(2, 3), kInk);
  for (int y = 3; y < 9; ++y)
    for (int x = 2; x < 12; ++x) EXPECT_EQ(bm.Pixel(x, y), bm.Pixel(13 - x, 11 - y));
  // Degenerate boxes draw nothing; tiny ones one pixel.
  Bitmap24 tiny(5, 5, kWhite);
  Canvas t = InkCanvas(tiny);
  t.Ellipse(2, 2, 2, 4);
  EXPECT_EQ(Count(tiny, kInk), 0);
  t.Ellipse(1, 1, 2, 2);
  EXPECT_EQ(Count(tiny, kInk), 1);
}

TEST(Canvas, NotXorOutlineTwiceRestoresAndOnlyTouchesTheRing) {
  Bitmap24 bm(40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) bm.SetPixel(x, y, Rgb(x * 5, y * 7, (x ^ y) * 3));
  const Bitmap24 before = bm;
  Canvas c(bm);
  c.pen = {kBlack, 4, PenMode::NotXor};
  c.brush = {kWhite, BrushStyle::Clear};
  c.Ellipse(3, 2, 37, 28);
  EXPECT_FALSE(bm.SamePixels(before));
  // The centre lies inside the ring and is untouched; a ring pixel is inverted.
  EXPECT_EQ(bm.Pixel(20, 15), before.Pixel(20, 15));
  EXPECT_EQ(bm.Pixel(4, 15), ~before.Pixel(4, 15) & 0x00FFFFFF);
  c.Ellipse(3, 2, 37, 28);
  EXPECT_TRUE(bm.SamePixels(before));
}

// The outline as it was drawn before the inner edge was kept per size: the inner ellipse's
// span worked out row by row where the box lies, the outer one as for a box at the origin.
bool RowSpan(double cx, double cy, double a, double b, int y, int& x0, int& x1) {
  if (a <= 0 || b <= 0) return false;
  const double dy = (y + 0.5 - cy) / b;
  const double q = 1.0 - dy * dy;
  if (q < 0) return false;
  const double hw = a * std::sqrt(q);
  x0 = int(std::ceil(cx - hw - 0.5));
  x1 = int(std::floor(cx + hw - 0.5));
  return x0 <= x1;
}

void PlainOutline(Bitmap24& bm, int left, int top, int right, int bottom, Pen pen, Brush brush) {
  auto plot = [&](int y, int x0, int x1, Color c) {
    if (y < 0 || y >= bm.Height()) return;
    for (int x = std::max(x0, 0); x <= std::min(x1, bm.Width() - 1); ++x)
      bm.SetPixel(x, y, pen.mode == PenMode::NotXor ? ~(c ^ bm.Pixel(x, y)) & 0x00FFFFFF : c);
  };
  const int w = std::max(pen.width, 1);
  const double cx = (left + right) * 0.5, cy = (top + bottom) * 0.5;
  const double a = (right - left) * 0.5, b = (bottom - top) * 0.5;
  for (int y = std::max(top, 0); y < std::min(bottom, bm.Height()); ++y) {
    int ox0, ox1, ix0, ix1;
    if (!RowSpan(a, b, a, b, y - top, ox0, ox1)) continue;
    ox0 += left;
    ox1 += left;
    if (!RowSpan(cx, cy, a - w, b - w, y, ix0, ix1)) {
      plot(y, ox0, ox1, pen.color);
      continue;
    }
    ix0 = std::max(ix0, ox0);
    ix1 = std::min(ix1, ox1);
    plot(y, ox0, ix0 - 1, pen.color);
    plot(y, ix1 + 1, ox1, pen.color);
    if (brush.style == BrushStyle::Solid) plot(y, ix0, ix1, brush.color);
  }
}

TEST(Canvas, OutlinesKeptPerSizeMatchThePlainComputationPixelForPixel) {
  Bitmap24 fast(300, 200), plain(300, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) fast.SetPixel(x, y, Rgb(x * 3, y * 5, (x ^ y) * 7));
  plain = fast;
  Canvas c(fast);
  int drawn = 0;
  // The brush tip's outline (a 4-pixel inverting pen, no fill), and other pens and fills, at
  // every box size up to 120 x 90 and several places, some off the bitmap's edges.
  const std::pair<Pen, Brush> styles[] = {
      {{kBlack, 4, PenMode::NotXor}, {kWhite, BrushStyle::Clear}},
      {{kBlack, 1, PenMode::NotXor}, {kWhite, BrushStyle::Clear}},
      {{0x00345678, 6, PenMode::NotXor}, {0x00ABCDEF, BrushStyle::Solid}},
      {{0x00FF0000, 3, PenMode::Copy}, {0x000000FF, BrushStyle::Solid}},
      {{0x0000FF00, 7, PenMode::Copy}, {kWhite, BrushStyle::Clear}},
  };
  for (const auto& [pen, brush] : styles) {
    c.pen = pen;
    c.brush = brush;
    for (int h = 1; h <= 90; h += (h < 20 ? 1 : 3))
      for (int w = 1; w <= 120; w += (w < 20 ? 1 : 5)) {
        const int place = drawn++;
        const int left = place * 37 % 340 - 30, top = place * 53 % 250 - 40;
        c.Ellipse(left, top, left + w, top + h);
        PlainOutline(plain, left, top, left + w, top + h, pen, brush);
        // The same size again elsewhere: taken from what was kept.
        c.Ellipse(top, left, top + w, left + h);
        PlainOutline(plain, top, left, top + w, left + h, pen, brush);
        if (!fast.SamePixels(plain)) {
          ADD_FAILURE() << "box " << w << " x " << h << " at " << left << ", " << top
                        << ", pen width " << pen.width;
          return;
        }
      }
  }
  EXPECT_GT(drawn, 6000);
  // Brush tips: circles of every size up to 400 and a pixel either way, as the pen draws them.
  c.pen = styles[0].first;
  c.brush = styles[0].second;
  for (int d = 1; d <= 400; ++d)
    for (int e = d - 1; e <= d + 1; ++e) {
      const int left = d * 29 % 250 - d / 2, top = d * 41 % 170 - d / 2;
      c.Ellipse(left, top, left + d, top + e);
      PlainOutline(plain, left, top, left + d, top + e, styles[0].first, styles[0].second);
    }
  EXPECT_TRUE(fast.SamePixels(plain));
}

TEST(Canvas, PolygonUsesTheAlternateRule) {
  Bitmap24 bm(30, 30, kWhite);
  Canvas c = InkCanvas(bm);
  c.pen.color = kBlack;  // outline apart from the fill
  // A square traced twice over an inner square: the inner part is filled an even number of
  // times and stays empty.
  const Point pts[] = {{2, 2},   {27, 2},  {27, 27}, {2, 27},  {2, 2},
                       {10, 10}, {10, 20}, {20, 20}, {20, 10}, {10, 10}};
  c.Polygon(pts);
  EXPECT_EQ(bm.Pixel(5, 15), kInk);
  EXPECT_EQ(bm.Pixel(15, 15), kWhite);
  EXPECT_EQ(bm.Pixel(2, 2), kBlack);  // outline covers the vertices
  EXPECT_EQ(bm.Pixel(27, 27), kBlack);
  EXPECT_EQ(bm.Pixel(28, 15), kWhite);
}

TEST(Canvas, LinesExcludeTheirEndPointAndHonourThePenWidth) {
  Bitmap24 bm(20, 20, kWhite);
  Canvas c = InkCanvas(bm);
  c.MoveTo(2, 5);
  c.LineTo(10, 5);
  EXPECT_EQ(bm.Pixel(2, 5), kInk);
  EXPECT_EQ(bm.Pixel(9, 5), kInk);
  EXPECT_EQ(bm.Pixel(10, 5), kWhite);
  EXPECT_EQ(c.Position(), (Point{10, 5}));
  c.LineTo(10, 2);  // upwards
  EXPECT_EQ(bm.Pixel(10, 5), kInk);
  EXPECT_EQ(bm.Pixel(10, 3), kInk);
  EXPECT_EQ(bm.Pixel(10, 2), kWhite);
  c.MoveTo(0, 0);
  c.LineTo(6, 3);  // diagonal Bresenham: 6 pixels, one per column
  int n = 0;
  for (int x = 0; x < 7; ++x)
    for (int y = 0; y < 4; ++y) n += bm.Pixel(x, y) == kInk;
  EXPECT_EQ(n, 6);

  Bitmap24 wide(20, 20, kWhite);
  Canvas w = InkCanvas(wide);
  w.pen.width = 4;
  w.MoveTo(8, 2);
  w.LineTo(8, 12);
  // A square pen centred on each of the 10 path pixels: rows 0..12, columns 6..9.
  EXPECT_EQ(Count(wide, kInk), 4 * 13);
  EXPECT_EQ(wide.Pixel(6, 0), kInk);
  EXPECT_EQ(wide.Pixel(9, 12), kInk);
  EXPECT_EQ(wide.Pixel(9, 13), kWhite);
  EXPECT_EQ(wide.Pixel(10, 5), kWhite);
}

TEST(Canvas, FloodFillFillsOnlyTheConnectedSurface) {
  Bitmap24 bm(50, 40, kWhite);
  Canvas c = InkCanvas(bm);
  // A closed ring of black splits the white into inside and outside.
  c.pen = {kBlack, 1, PenMode::Copy};
  c.brush = {kWhite, BrushStyle::Clear};
  c.Ellipse(10, 5, 40, 35);
  bm.SetPixel(0, 1, kBlack);
  bm.SetPixel(1, 0, kBlack);  // (0,0) touches (1,1) only diagonally: not connected
  c.brush = {kInk, BrushStyle::Solid};
  c.FloodFill(25, 20);
  EXPECT_EQ(bm.Pixel(25, 20), kInk);
  EXPECT_EQ(bm.Pixel(5, 20), kWhite);
  EXPECT_EQ(bm.Pixel(10, 20), kBlack);
  c.FloodFill(5, 20);
  EXPECT_EQ(bm.Pixel(49, 39), kInk);
  EXPECT_EQ(bm.Pixel(0, 0), kWhite);
  // Filling with the seed's own colour, or outside, changes nothing.
  const Bitmap24 before = bm;
  c.FloodFill(25, 20);
  c.FloodFill(-1, 3);
  c.FloodFill(50, 3);
  EXPECT_TRUE(bm.SamePixels(before));
}

TEST(Canvas, FloodFillOfALargeMazeNeedsNoRecursion) {
  // A serpentine corridor a recursive fill would overflow the stack on.
  Bitmap24 bm(2001, 2001, kWhite);
  for (int y = 1; y < 2000; y += 2)
    for (int x = 0; x < 2001; ++x)
      if ((y / 2) % 2 == 0 ? x != 2000 : x != 0) bm.SetPixel(x, y, kBlack);
  Canvas c(bm);
  c.brush = {kInk, BrushStyle::Solid};
  c.FloodFill(0, 0);
  EXPECT_EQ(bm.Pixel(1000, 2000), kInk);
  EXPECT_EQ(Count(bm, kWhite), 0);
}

TEST(Canvas, StretchCopyPicksTheNearestPixelAndClips) {
  Bitmap24 src(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, Rgb(x * 100, y * 100, 1));
  Bitmap24 dst(8, 6, kWhite);
  Canvas c(dst);
  c.StretchCopy({0, 0, 6, 4}, src);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2));
  EXPECT_EQ(dst.Pixel(6, 0), kWhite);
  // Mirrored by a negative width.
  c.StretchCopy({3, 4, 0, 6}, src, {0, 0, 3, 1});
  EXPECT_EQ(dst.Pixel(0, 4), src.Pixel(2, 0));
  EXPECT_EQ(dst.Pixel(2, 5), src.Pixel(0, 0));
  // Mostly outside: only the visible part is written.
  c.StretchCopy({-2, -2, 10, 10}, src);
  EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(0, 0));
  EXPECT_EQ(dst.Pixel(7, 5), src.Pixel(2, 1));
}

TEST(Canvas, StretchDrawLeavesOutTheTransparentColour) {
  Bitmap24 seal(2, 2, kWhite);
  seal.SetPixel(1, 1, 0x000000FF);
  Bitmap24 dst(4, 4, 0x00808080);
  Canvas c(dst);
  c.StretchDrawTransparent({0, 0, 4, 4}, seal, kWhite);
  EXPECT_EQ(dst.Pixel(0, 0), 0x00808080u);
  EXPECT_EQ(dst.Pixel(3, 3), 0x000000FFu);
  EXPECT_EQ(Count(dst, 0x000000FF), 4);
}

}  // namespace
}  // namespace zevo::gfx

namespace zevo::gfx {
namespace {

// Shapes that reach far outside the bitmap cost what their visible part costs and draw the
// same visible pixels as their near part.
TEST(Canvas, FarAwayShapesAreCutToTheBitmapFirst) {
  Bitmap24 bm(64, 48, kWhite);
  Canvas c(bm);
  c.pen = {kBlack, 1, PenMode::Copy};
  c.brush = {kBlack, BrushStyle::Solid};
  // A line from inside to far outside: the pixels near its start are those of the line to a
  // nearby point on the same ray.
  c.MoveTo(5, 10);
  c.LineTo(5 + 100000000, 10 + 50000000);
  Bitmap24 near(64, 48, kWhite);
  Canvas n(near);
  n.pen = c.pen;
  n.MoveTo(5, 10);
  n.LineTo(5 + 200, 10 + 100);
  int differing = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) differing += bm.Pixel(x, y) != near.Pixel(x, y);
  EXPECT_LE(differing, 4);
  EXPECT_EQ(bm.Pixel(5, 10), kBlack);
  EXPECT_EQ(bm.Pixel(45, 30), kBlack);
  // Wholly outside: nothing; the position still moves.
  const Bitmap24 before = bm;
  c.MoveTo(-100000000, -5);
  c.LineTo(100000000, -7);
  c.LineTo(100000000, 100000000);
  EXPECT_TRUE(bm.SamePixels(before));
  EXPECT_EQ(c.Position(), (Point{100000000, 100000000}));
  // A vertical line of a wide pen across the whole range of int rows.
  c.pen.width = 3;
  c.MoveTo(30, -(1 << 30));
  c.LineTo(30, 1 << 30);
  EXPECT_EQ(bm.Pixel(30, 0), kBlack);
  EXPECT_EQ(bm.Pixel(31, 47), kBlack);
  // Rectangles and ellipses far larger than the bitmap.
  c.brush.color = 0x0000FF;
  c.FillRect({-(1 << 30), -(1 << 30), 1 << 30, 1 << 30});
  EXPECT_EQ(bm.Pixel(63, 47), 0x0000FFu);
  c.brush.color = 0x00FF00;
  c.pen.color = 0x00FF00;
  c.Ellipse(-(1 << 27), -(1 << 27), 1 << 27, 1 << 27);
  EXPECT_EQ(bm.Pixel(0, 0), 0x00FF00u);
  const Point far_quad[4] = {{-(1 << 27), 0}, {1 << 27, 10}, {1 << 27, 20}, {-(1 << 27), 30}};
  c.brush.color = c.pen.color = 0xFF0000;
  c.Polygon(far_quad);
  EXPECT_EQ(bm.Pixel(32, 15), 0xFF0000u);
}

}  // namespace
}  // namespace zevo::gfx

namespace zevo::gfx {
namespace {

// A stroke-like run of discs and joins, with a span of another colour in its middle: gathered
// in a batch it gives the same pixels and counts the same work as drawn one by one.
TEST(Canvas, ASpanBatchWritesTheSamePixelsOnce) {
  auto draw = [](Canvas& c, bool batch) {
    if (batch) c.BeginSpanBatch(kInk);
    for (int i = 0; i < 60; ++i) {
      // A curve that comes back over itself, so rows hold several separate spans.
      const int x = 10 + (i * 7) % 90, y = 20 + (i * i) % 50, r = 3 + i % 9;
      const Point quad[4] = {{x - r, y}, {x + 2 * r, y - r}, {x + 3 * r, y + r}, {x, y + r}};
      c.EllipseAndPolygon(x - r, y - r, x + r, y + r, quad);
      if (i == 30) {
        c.brush = {0x000000FF, BrushStyle::Solid};
        c.FillRect({40, 10, 80, 60});  // another colour: the gathered spans go first
        c.brush = {kInk, BrushStyle::Solid};
      }
    }
    if (batch) c.EndSpanBatch();
  };
  Bitmap24 one(128, 96, kWhite), batched(128, 96, kWhite);
  Canvas a = InkCanvas(one), b = InkCanvas(batched);
  draw(a, false);
  draw(b, true);
  EXPECT_TRUE(one.SamePixels(batched));
  EXPECT_EQ(a.PixelsWritten(), b.PixelsWritten());
  EXPECT_GT(Count(batched, kInk), 0);
  EXPECT_GT(Count(batched, 0x000000FF), 0);
}

}  // namespace
}  // namespace zevo::gfx
