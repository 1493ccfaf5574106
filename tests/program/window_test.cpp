// The real window on Qt's offscreen platform: the mouse writes through the platform's packet
// path into the core, and the result shows on the page, the overview and the player.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "platform/qt/main_window_view.h"
#include "platform/qt/qt_tablet_driver.h"
#include "platform/scripted_ui.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

int InkPixels(const gfx::Bitmap24& bm) {
  int n = 0;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) n += bm.Pixel(x, y) != gfx::kWhite;
  return n;
}

TEST(Window, TheMouseWritesThroughThePacketPath) {
  platform::qt::QtTabletDriver tablet(platform::VirtualTabletGeometry(1024, 768));
  test::TestWindow t;  // the same program folder and settings as the core tests
  ASSERT_TRUE(t.win) << t.error;
  // Run the window on the Qt tablet driver instead of the test's own.
  app::Environment env = t.win->env;
  env.tablet = &tablet;
  t.win.reset();
  auto created = app::TZevo3Win::Create(env);
  ASSERT_TRUE(created) << created.ErrorText();
  auto win = std::move(created).Value();

  platform::qt::MainWindowView view(*win, tablet);
  view.setGeometry(0, 0, 1024, 768);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  win->FormActivate();

  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  for (int i = 1; i <= 20; ++i) QTest::mouseMove(&view, QPoint(200 + 10 * i, 200 + 3 * i));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(400, 260));

  ASSERT_EQ(win->Document().Count(), 1);
  const ink::Stroke* s = win->Document().Current();
  EXPECT_GE(s->SampleCount(), 10);
  EXPECT_EQ(s->samples.back().radius, 0);
  // The mouse writes with pressure 512: half the brush.
  EXPECT_NEAR(s->samples[0].radius, 10.0f * 512 / 1023, 0.01);
  EXPECT_EQ(win->player.bar.max, 1);
  EXPECT_GT(InkPixels(win->views.Page()), 500);
  EXPECT_GT(InkPixels(win->views.Overview()), 20);
  // Pixels appear on the window with the next refresh.
  QTest::qWait(50);
  const QImage shown = view.grab().toImage();
  EXPECT_LT(qGray(shown.pixel(300, 230)), 128);
  EXPECT_EQ(qGray(shown.pixel(300, 400)), 255);
}

}  // namespace
}  // namespace zevo

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
