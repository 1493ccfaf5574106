#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "platform/qt/cursors.h"

using namespace zevo::platform::qt;

namespace {

int OpaquePixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += qAlpha(img.pixel(x, y)) > 128;
  return n;
}

}  // namespace

TEST(Cursors, ThreeBuiltInCursorsOf32By32) {
  const QImage none = ProgramCursor(DRAV_NONE).pixmap().toImage();
  const QImage pot = ProgramCursor(DRAV_POT).pixmap().toImage();
  const QImage pen = ProgramCursor(DRAV_PEN).pixmap().toImage();
  for (const QImage* img : {&none, &pot, &pen}) EXPECT_EQ(img->size(), QSize(32, 32));
  EXPECT_EQ(OpaquePixels(none), 0);

  // The dot is small and under the hot spot.
  const QPoint pot_hot = ProgramCursor(DRAV_POT).hotSpot();
  EXPECT_EQ(pot_hot, QPoint(15, 15));
  EXPECT_GT(qAlpha(pot.pixel(pot_hot)), 128);
  EXPECT_LT(OpaquePixels(pot), 80);

  // The brush is larger, its tip at the hot spot.
  const QPoint pen_hot = ProgramCursor(DRAV_PEN).hotSpot();
  EXPECT_GT(OpaquePixels(pen), 80);
  int near_tip = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const QPoint p = pen_hot + QPoint(dx, dy);
      if (pen.rect().contains(p)) near_tip += qAlpha(pen.pixel(p)) > 0;
    }
  EXPECT_GT(near_tip, 0);

  EXPECT_EQ(ProgramCursor(99).shape(), Qt::ArrowCursor);
}
