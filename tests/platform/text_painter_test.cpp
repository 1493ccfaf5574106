#include "platform/qt/qt_text_painter.h"

#include <gtest/gtest.h>

#include "gfx/bitmap24.h"

using zevo::gfx::Bitmap24;
using zevo::gfx::kWhite;
using zevo::gfx::Rect;
using zevo::gfx::Rgb;
using zevo::platform::TextSize;
using zevo::platform::TextStyle;
using zevo::platform::qt::QtTextPainter;

namespace {

// The box around every pixel that is not white; empty when there is none.
Rect InkBox(const Bitmap24& b) {
  Rect r{b.Width(), b.Height(), 0, 0};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != kWhite) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.Empty() ? Rect{} : r;
}

int CountPixels(const Bitmap24& b, zevo::gfx::Color c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == c;
  return n;
}

}  // namespace

TEST(TextPainter, DrawsInTheColourInsideTheMeasuredBoxInBlueGreenRedOrder) {
  QtTextPainter painter;
  const TextStyle style{Rgb(200, 40, 10), true, 24};
  const TextSize size = painter.MeasureText("HIX", style);
  ASSERT_GT(size.width, 20);
  ASSERT_GE(size.height, 24);

  Bitmap24 page(121, 57, kWhite);  // odd width: rows carry a padding byte
  for (int y = 0; y < page.Height(); ++y) page.Row(y)[page.Width() * 3] = 0xAB;
  painter.DrawText(page, 17, 9, "HIX", style);

  const Rect ink = InkBox(page);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 17);
  EXPECT_GE(ink.top, 9);
  EXPECT_LE(ink.right, 17 + size.width + 1);
  EXPECT_LE(ink.bottom, 9 + size.height);
  EXPECT_LT(ink.left, 17 + 6);  // starts at the box's left, not elsewhere

  // Solid stems of a bold capital are the exact colour, stored blue first.
  EXPECT_GT(CountPixels(page, style.color), 20);
  bool found = false;
  for (int y = 0; y < page.Height() && !found; ++y)
    for (int x = 0; x < page.Width() && !found; ++x)
      if (page.Pixel(x, y) == style.color) {
        const std::uint8_t* p = page.Row(y) + x * 3;
        EXPECT_EQ(p[0], 10);
        EXPECT_EQ(p[1], 40);
        EXPECT_EQ(p[2], 200);
        found = true;
      }
  for (int y = 0; y < page.Height(); ++y)
    ASSERT_EQ(page.Row(y)[page.Width() * 3], 0xAB) << "row " << y;
}

TEST(TextPainter, BackgroundStaysAndBoldIsWider) {
  QtTextPainter painter;
  Bitmap24 page(80, 30, Rgb(10, 200, 30));
  painter.DrawText(page, 2, 2, "ab", {Rgb(0, 0, 255), false, 16});
  // Transparent background: away from the letters the paper is untouched.
  EXPECT_EQ(page.Pixel(79, 29), Rgb(10, 200, 30));
  EXPECT_EQ(page.Pixel(0, 0), Rgb(10, 200, 30));

  EXPECT_GT(painter.MeasureText("WWWW", {0, true, 20}).width,
            painter.MeasureText("WWWW", {0, false, 20}).width);
  EXPECT_GT(painter.MeasureText("WWWW", {0, false, 40}).height,
            painter.MeasureText("WWWW", {0, false, 20}).height);
  EXPECT_EQ(painter.MeasureText("", {0, false, 20}).width, 0);
}

TEST(TextPainter, DrawsChineseLettersNotPlaceholderBoxes) {
  QtTextPainter painter;
  const TextStyle style{0, false, 32};
  Bitmap24 a(64, 48, kWhite), b(64, 48, kWhite);
  painter.DrawText(a, 2, 2, "題", style);
  painter.DrawText(b, 2, 2, "字", style);
  const Rect box = InkBox(a);
  ASSERT_FALSE(box.Empty());
  EXPECT_GT(box.Width(), 16);
  EXPECT_GT(box.Height(), 16);
  // A missing font draws the same box for every letter; two real letters differ.
  EXPECT_FALSE(a.SamePixels(b));
  EXPECT_GE(painter.MeasureText("題字系統", style).width, 4 * 28);
}

TEST(TextPainter, ClipsAtTheEdgesAndIgnoresEmptyTargets) {
  QtTextPainter painter;
  Bitmap24 small(10, 10, kWhite);
  painter.DrawText(small, -5, -8, "Zevo", {0, true, 20});
  painter.DrawText(small, 8, 8, "Zevo", {0, true, 20});
  EXPECT_EQ(small.Width(), 10);
  Bitmap24 empty;
  painter.DrawText(empty, 0, 0, "x", {});
  SUCCEED();
}
