// The real window on Qt's offscreen platform: the mouse writes through the platform's packet
// path into the core, and the result shows on the page, the overview and the player; the mouse
// drags the zoom frame and works the grid panel through the core's handlers.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include "platform/qt/main_window_view.h"
#include "platform/qt/qt_tablet_driver.h"
#include "platform/scripted_ui.h"
#include "platform/virtual_tablet.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

int InkPixels(const gfx::Bitmap24& bm) {
  int n = 0;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) n += bm.Pixel(x, y) != gfx::kWhite;
  return n;
}

// The main window over the Qt tablet driver, shown in a view of the screen's size.
struct QtWindow {
  QtWindow() {
    if (!t.win) return;
    // Run the window on the Qt tablet driver instead of the test's own.
    app::Environment env = t.win->env;
    env.tablet = &tablet;
    t.win.reset();
    auto created = app::TZevo3Win::Create(env);
    if (!created) return;
    win = std::move(created).Value();
    view = std::make_unique<platform::qt::MainWindowView>(*win, tablet);
    view->setGeometry(0, 0, 1024, 768);
    view->show();
    exposed = QTest::qWaitForWindowExposed(view.get());
    win->FormActivate();
  }
  // A move with the left button held and the given keys.
  void MoveHeld(QPoint p, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(view->mapToGlobal(p)), Qt::NoButton,
                  Qt::LeftButton, keys);
    QApplication::sendEvent(view.get(), &e);
  }

  platform::qt::QtTabletDriver tablet{platform::VirtualTabletGeometry(1024, 768)};
  test::TestWindow t;  // the same program folder and settings as the core tests
  std::unique_ptr<app::TZevo3Win> win;
  std::unique_ptr<platform::qt::MainWindowView> view;
  bool exposed = false;
};

TEST(Window, TheMouseWritesThroughThePacketPath) {
  QtWindow q;
  ASSERT_TRUE(q.win && q.exposed) << q.t.error;
  auto& win = q.win;
  auto& view = *q.view;

  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  for (int i = 1; i <= 20; ++i) QTest::mouseMove(&view, QPoint(200 + 10 * i, 200 + 3 * i));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(400, 260));

  ASSERT_EQ(win->Document().Count(), 1);
  const ink::Stroke* s = win->Document().Current();
  EXPECT_GE(s->SampleCount(), 10);
  EXPECT_EQ(s->samples.back().radius, 0);
  // The mouse brush lands small and swells in.
  EXPECT_NEAR(s->samples[0].radius,
              10.0f * float(platform::PressureCounts(platform::MouseBrush::kEntryStart)) / 1023,
              0.01);
  EXPECT_EQ(win->player.bar.max, 1);
  EXPECT_GT(InkPixels(win->views.Page()), 500);
  EXPECT_GT(InkPixels(win->views.Overview()), 20);
  // Pixels appear on the window with the next refresh.
  QTest::qWait(50);
  const QImage shown = view.grab().toImage();
  EXPECT_LT(qGray(shown.pixel(300, 230)), 128);
  EXPECT_EQ(qGray(shown.pixel(300, 400)), 255);
}

TEST(Window, APacketRepaintsItsNewInkWithoutWaitingForTheTimer) {
  QtWindow q;
  ASSERT_TRUE(q.win && q.exposed) << q.t.error;
  auto& win = *q.win;
  auto& view = *q.view;
  // With the refresh timer's work off, only the packet path can show the ink.
  win.timer1_enabled = false;
  QTest::qWait(20);
  std::vector<QRect> painted;
  view.on_painted = [&](const QRect& r) { painted.push_back(r); };

  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  QApplication::processEvents();
  painted.clear();
  QTest::mouseMove(&view, QPoint(260, 215));
  // The mouse brush draws a segment once the sample after it has come.
  QTest::mouseMove(&view, QPoint(270, 218));
  QApplication::processEvents();
  // One small repaint around the new segment, which shows what the page holds.
  ASSERT_FALSE(painted.empty());
  QRect all;
  for (const QRect& r : painted) all |= r;
  EXPECT_TRUE(all.contains(QPoint(230, 207)));
  EXPECT_LT(all.width() * all.height(), 120 * 60);
  const gfx::Bitmap24& page = win.views.Page();
  const workspace::Panels& p = win.panels;
  const int dx = p.TabletPanel.left + p.ImgA.left, dy = p.TabletPanel.top + p.ImgA.top;
  EXPECT_NE(page.Pixel(230 - dx, 207 - dy), gfx::kWhite);
  const QImage shown = view.grab(all).toImage();
  int differing = 0;
  for (int y = 0; y < all.height(); ++y)
    for (int x = 0; x < all.width(); ++x) {
      const gfx::Color c = page.Pixel(all.left() + x - dx, all.top() + y - dy);
      const QRgb s = shown.pixel(x, y);
      differing +=
          qRed(s) != gfx::RedOf(c) || qGreen(s) != gfx::GreenOf(c) || qBlue(s) != gfx::BlueOf(c);
    }
  EXPECT_EQ(differing, 0);
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(260, 215));
}

// Work that can be stopped lets the event loop run: input is held back from the program and
// Esc, a click or a close ask it to stop.
TEST(Window, StoppableWorkHoldsBackInputAndHearsEscOrAClick) {
  QtWindow q;
  ASSERT_TRUE(q.win && q.exposed) << q.t.error;
  auto& view = *q.view;
  auto post_mouse = [&](QEvent::Type type, QPoint p) {
    QCoreApplication::postEvent(
        &view, new QMouseEvent(type, QPointF(p), QPointF(view.mapToGlobal(p)), Qt::LeftButton,
                               type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                               Qt::NoModifier));
  };
  auto post_key = [&](int key) {
    QCoreApplication::postEvent(&view, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  };

  EXPECT_FALSE(view.PollStopRequest());
  post_key(Qt::Key_A);
  EXPECT_FALSE(view.PollStopRequest());
  post_key(Qt::Key_Escape);
  EXPECT_TRUE(view.PollStopRequest());
  // A press and drag on the page stops the work and writes nothing.
  post_mouse(QEvent::MouseButtonPress, QPoint(300, 300));
  for (int i = 1; i <= 5; ++i) post_mouse(QEvent::MouseMove, QPoint(300 + 20 * i, 300));
  post_mouse(QEvent::MouseButtonRelease, QPoint(400, 300));
  EXPECT_TRUE(view.PollStopRequest());
  QCoreApplication::processEvents();
  EXPECT_EQ(q.win->Document().Count(), 0);
  EXPECT_FALSE(view.InWork());
  // Afterwards the mouse writes again.
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  for (int i = 1; i <= 10; ++i) QTest::mouseMove(&view, QPoint(200 + 10 * i, 200));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
  EXPECT_EQ(q.win->Document().Count(), 1);
}

TEST(Window, TheZoomFrameAndTheGridPanelFollowTheMouse) {
  QtWindow q;
  ASSERT_TRUE(q.win && q.exposed) << q.t.error;
  auto& w = *q.win;
  auto& view = *q.view;
  // The control panel from the play bar, then 400 % and "show grid lines".
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(940, 745));
  ASSERT_TRUE(w.panels.ZoomPanel.visible);
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(915, 622));
  ASSERT_EQ(w.views.Transform(), (ink::PageView{4, 384, 272}));
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(570, 672));
  ASSERT_TRUE(w.sheet.grid_shown);

  // The frame (64 x 45 at (96, 68) of the overview, which lies at (756, 433)) dragged to the
  // left: it snaps to the grid line at overview x 65 unless Shift is held.
  const QPoint centre(756 + 128, 433 + 90);
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, centre);
  q.MoveHeld(centre - QPoint(24, 0), Qt::ShiftModifier);
  EXPECT_EQ(w.zoom.shape, (gfx::Rect{72, 68, 136, 113}));
  q.MoveHeld(centre - QPoint(24, 0));
  EXPECT_EQ(w.zoom.shape, (gfx::Rect{65, 68, 129, 113}));
  QTest::qWait(20);
  EXPECT_EQ(w.views.Transform(), (ink::PageView{4, 384, 272}));  // not before the release
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, centre - QPoint(24, 0));
  EXPECT_EQ(w.zoom.zoom_frame, (gfx::Rect{65, 68, 129, 113}));
  EXPECT_EQ(w.views.Transform(), (ink::PageView{4, 260, 272}));
  // The frame is drawn where it is, in red.
  QTest::qWait(50);
  const QImage shown = view.grab().toImage();
  const QRgb edge = shown.pixel(756 + 65, 433 + 90);
  EXPECT_EQ(qRed(edge), 255);
  EXPECT_EQ(qGreen(edge), 0);

  // The grid panel: row "6 x 4" picked, its vertical lines off, applied on the release.
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(641, 672));
  ASSERT_TRUE(w.panels.GridPanel.visible);
  const QPoint list(w.panels.GridPanel.left + 11, w.panels.GridPanel.top + 16);
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, list + QPoint(40, 4 * 36 + 18));
  EXPECT_EQ(w.grid_view.selected_preset, 4);
  const QPoint panel(w.panels.GridPanel.left, w.panels.GridPanel.top);
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, panel + QPoint(40, 210));
  EXPECT_TRUE(w.grid_view.vertical_lines_on);  // buttons act on the release
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, panel + QPoint(40, 210));
  EXPECT_FALSE(w.grid_view.vertical_lines_on);
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, panel + QPoint(350, 210));
  EXPECT_FALSE(w.panels.GridPanel.visible);
  EXPECT_EQ(w.sheet.grid, seals::LayoutFromPreset(seals::kGridPresets[4], false, true));
}

}  // namespace
}  // namespace zevo

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
