#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>

#include "platform/qt/cursors.h"
#include "platform/qt/qt_timer.h"

using namespace zevo::platform::qt;

namespace {

int OpaquePixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += qAlpha(img.pixel(x, y)) > 128;
  return n;
}

void SpinFor(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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

TEST(Timer, TicksWhileEnabledOnly) {
  QtTimer timer(10);
  int ticks = 0;
  timer.SetCallback([&] { ++ticks; });
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 10);
  SpinFor(40);
  EXPECT_EQ(ticks, 0);

  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  SpinFor(120);
  EXPECT_GE(ticks, 3);

  timer.SetEnabled(false);
  const int stopped_at = ticks;
  SpinFor(40);
  EXPECT_EQ(ticks, stopped_at);

  timer.SetInterval(33);
  EXPECT_EQ(timer.Interval(), 33);
  EXPECT_FALSE(timer.Enabled());
}
