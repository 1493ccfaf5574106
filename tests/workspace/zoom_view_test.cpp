#include "workspace/zoom_view.h"

#include <gtest/gtest.h>

#include "seals/grid_pages.h"
#include "tests/support/test_window.h"

namespace zevo::workspace {
namespace {

using test::TestWindow;

TEST(ZoomView, ZoomChoicesKeepTheFrameCentredInsideTheOverview) {
  ZoomView z;
  EXPECT_EQ(z.View(), (ink::PageView{1, 0, 0}));
  const int widths[] = {256, 128, 64, 32}, heights[] = {180, 90, 45, 22};
  for (int i = 0; i < 4; ++i) {
    ZoomView at;
    at.zoom_index = i;
    EXPECT_EQ(at.Zoom(), float(1 << i));
    EXPECT_EQ(FrameWidth(at.Zoom()), widths[i]);
    EXPECT_EQ(FrameHeight(at.Zoom()), heights[i]);
  }

  // 100 % -> 800 % about the middle of the sheet.
  ASSERT_TRUE(SetZoom(z, 3));
  EXPECT_EQ(z.zoom_frame, (gfx::Rect{112, 79, 144, 101}));
  EXPECT_EQ(z.shape, z.zoom_frame);
  EXPECT_EQ(z.View(), (ink::PageView{8, 448, 316}));
  EXPECT_FALSE(SetZoom(z, 3));
  EXPECT_FALSE(SetZoom(z, 4));

  // At the right edge: the larger frame is pushed back inside, the next one keeps its centre.
  z.zoom_frame = {224, 0, 256, 22};
  ASSERT_TRUE(SetZoom(z, 1));
  EXPECT_EQ(z.zoom_frame, (gfx::Rect{128, 0, 256, 90}));
  ASSERT_TRUE(SetZoom(z, 2));
  EXPECT_EQ(z.zoom_frame, (gfx::Rect{160, 23, 224, 68}));
  EXPECT_EQ(z.View(), (ink::PageView{4, 640, 92}));
  // Back to 100 %: the whole overview, origin at the corner.
  ASSERT_TRUE(SetZoom(z, 0));
  EXPECT_EQ(z.zoom_frame, (gfx::Rect{0, 0, 256, 180}));
  EXPECT_EQ(z.View(), (ink::PageView{1, 0, 0}));
}

TEST(ZoomView, DraggedFrameSnapsToTheGridUnlessShiftIsHeld) {
  const seals::GridLayout grid = seals::LayoutFromPreset(seals::kGridPresets[2], true, true);
  // Its lines on the overview: x 2, 65, 127, 190 (the last, 252, is not a target); y 27, 89.
  ZoomView z;
  SetZoom(z, 2);  // 64 x 45
  const gfx::Rect applied = z.zoom_frame;
  auto drag_to = [&](const seals::GridLayout* snap, int left, int top) {
    OverviewPress(z, snap, 96 + 32, 68 + 22);
    OverviewMove(z, snap, left + 32, top + 22);
    return z.shape;
  };
  EXPECT_EQ(drag_to(&grid, 74, 98), (gfx::Rect{65, 89, 129, 134}));  // 9 away: onto the lines
  EXPECT_EQ(drag_to(&grid, 56, 80), (gfx::Rect{65, 89, 129, 134}));
  EXPECT_EQ(drag_to(&grid, 75, 99), (gfx::Rect{75, 99, 139, 144}));  // 10 away: stays
  EXPECT_EQ(drag_to(nullptr, 74, 98), (gfx::Rect{74, 98, 138, 143}));
  // Near the overview's far edges the frame goes to them.
  EXPECT_EQ(drag_to(&grid, 200, 130), (gfx::Rect{192, 135, 256, 180}));
  // Outside the overview the frame stays inside.
  EXPECT_EQ(drag_to(nullptr, -50, 400), (gfx::Rect{0, 135, 64, 180}));
  // Only the frame moved; the release moves the view.
  EXPECT_EQ(z.zoom_frame, applied);
  EXPECT_TRUE(OverviewRelease(z));
  EXPECT_FALSE(z.dragging);
  EXPECT_EQ(z.View(), (ink::PageView{4, 0, 540}));
  // A move without a press does nothing.
  OverviewMove(z, nullptr, 128, 90);
  EXPECT_EQ(z.shape, (gfx::Rect{0, 135, 64, 180}));
}

// The overview's place in the window, the zoom panel open.
gfx::Point OverviewToWindow(const Panels& p, int x, int y) {
  return {p.ZoomPanel.left + p.ImgZoom.left + x, p.ZoomPanel.top + p.ImgZoom.top + y};
}

struct ZoomWindow : TestWindow {
  ZoomWindow() {
    if (!win) return;
    Click("ShowControl");
  }
  app::TZevo3Win& W() { return *win; }
  // Press at one overview point, move to another, release.
  void Drag(int x0, int y0, int x1, int y1, bool shift = false) {
    const gfx::Point a = OverviewToWindow(win->panels, x0, y0);
    const gfx::Point b = OverviewToWindow(win->panels, x1, y1);
    win->MouseDown(a.x, a.y, shift);
    win->MouseMove(b.x, b.y, shift);
    win->MouseUp(b.x, b.y);
  }
};

TEST(ZoomPanel, ChoicesDragsAndTheTitleStripThroughTheWindow) {
  ZoomWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = t.W();
  ASSERT_TRUE(w.panels.ZoomPanel.visible);
  EXPECT_EQ(w.panels.ZoomPanel.Bounds(), (gfx::Rect{745, 410, 1022, 638}));

  // At 100 % the frame is the whole overview and a drag does not move it or redraw the view.
  w.views.Page().SetPixel(700, 700, gfx::kBlack);
  t.Drag(128, 90, 20, 20);
  EXPECT_EQ(w.zoom.shape, (gfx::Rect{0, 0, 256, 180}));
  EXPECT_EQ(w.views.Page().Pixel(700, 700), gfx::kBlack);

  t.Click("Zoom800");
  EXPECT_EQ(w.views.Transform(), (ink::PageView{8, 448, 316}));
  EXPECT_EQ(w.zoom.zoom_frame, (gfx::Rect{112, 79, 144, 101}));
  EXPECT_EQ(w.panels.zoom_panel_canvas.Pixel(201 + 3, 207 + 3),
            w.panels.skin[kSkinZoomOn].Pixel(3, 3));
  EXPECT_EQ(w.panels.zoom_panel_canvas.Pixel(21 + 3, 207 + 3),
            w.panels.skin[kSkinZoomOff].Pixel(3, 3));
  EXPECT_NE(w.views.Page().Pixel(700, 700), gfx::kBlack);  // redrawn

  // A click that does not move the frame leaves the view as it is and ends the drag.
  w.views.Page().SetPixel(700, 700, gfx::kBlack);
  t.Drag(128, 90, 128, 90);
  EXPECT_EQ(w.views.Page().Pixel(700, 700), gfx::kBlack);
  const gfx::Point away = OverviewToWindow(w.panels, 30, 30);
  w.MouseMove(away.x, away.y);
  EXPECT_EQ(w.zoom.shape, (gfx::Rect{112, 79, 144, 101}));

  // A drag, held past the overview's edge, moves the view at the release.
  const gfx::Point a = OverviewToWindow(w.panels, 128, 90);
  w.MouseDown(a.x, a.y);
  w.MouseMove(a.x - 500, a.y - 500);  // over the page: the overview still has the mouse
  EXPECT_EQ(w.zoom.shape, (gfx::Rect{0, 0, 32, 22}));
  EXPECT_EQ(w.views.Transform(), (ink::PageView{8, 448, 316}));
  EXPECT_TRUE(w.panels.ZoomPanel.visible);
  w.MouseUp(a.x - 500, a.y - 500);
  EXPECT_EQ(w.views.Transform(), (ink::PageView{8, 0, 0}));

  // With the grid shown the frame snaps to it, with Shift held it does not.
  t.Click("GridToggle");
  t.Click("Zoom400");  // centred on (16, 11): frame at (0, 0)
  t.Drag(32, 22, 74 + 32, 98 + 22);
  EXPECT_EQ(w.zoom.zoom_frame, (gfx::Rect{65, 89, 129, 134}));
  EXPECT_EQ(w.views.Transform(), (ink::PageView{4, 260, 356}));
  // The grid page follows the view: the vertical line at paper x 511 lies at (511 - 260) * 4.
  EXPECT_EQ(w.views.Page().Pixel((511 - 260) * 4, 300), seals::kGridColor);
  t.Drag(97, 111, 74 + 32, 98 + 22, true);
  EXPECT_EQ(w.zoom.zoom_frame, (gfx::Rect{74, 98, 138, 143}));

  // The title strip closes the panel to its strip and opens it again, bottom edge kept.
  t.Click("ZoomTitle");
  EXPECT_FALSE(w.zoom.zoom_panel_expanded);
  EXPECT_EQ(w.panels.ZoomPanel.Bounds(), (gfx::Rect{745, 625, 1022, 638}));
  EXPECT_EQ(w.panels.zoom_panel_canvas.Pixel(2, 2), w.panels.skin[kSkinZoomTopClosed].Pixel(2, 2));
  EXPECT_NE(w.HitTest(800, 500).surface, Surface::kOverview);
  t.Click("ZoomTitle");
  EXPECT_TRUE(w.zoom.zoom_panel_expanded);
  EXPECT_EQ(w.panels.ZoomPanel.Bounds(), (gfx::Rect{745, 410, 1022, 638}));
  EXPECT_EQ(w.HitTest(800, 500).surface, Surface::kOverview);

  // Clearing the page returns to 100 %.
  t.Click("Clear");
  EXPECT_EQ(w.views.Transform(), (ink::PageView{1, 0, 0}));
  EXPECT_EQ(w.zoom.zoom_index, 0);
  EXPECT_EQ(w.zoom.zoom_frame, (gfx::Rect{0, 0, 256, 180}));
  EXPECT_EQ(w.panels.zoom_panel_canvas.Pixel(21 + 3, 207 + 3),
            w.panels.skin[kSkinZoomOn].Pixel(3, 3));
  EXPECT_EQ(w.views.Page().Pixel(11, 300), seals::kGridColor);
}

}  // namespace
}  // namespace zevo::workspace
