// The workspace on a window larger or smaller than the 1024 x 768 it is laid out for: where it
// lies, what the desk around it is, and that clicks, the pen and the calibration target follow
// it. And the labels the control panel writes on its tool and "Clear" buttons.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_window.h"
#include "workspace/panels.h"

namespace zevo::workspace {
namespace {

using test::TestWindow;

TEST(WorkspaceOrigin, CentredOnLargerWindowsBottomAlignedOnShorterOnes) {
  EXPECT_EQ(WorkspaceOrigin(1024, 768), (gfx::Point{0, 0}));
  EXPECT_EQ(WorkspaceOrigin(1920, 1080), (gfx::Point{448, 156}));
  EXPECT_EQ(WorkspaceOrigin(1280, 1024), (gfx::Point{128, 128}));
  EXPECT_EQ(WorkspaceOrigin(1025, 769), (gfx::Point{0, 0}));
  // Shorter: the play bar stays on the window, the top of the page goes.
  EXPECT_EQ(WorkspaceOrigin(1024, 600), (gfx::Point{0, -168}));
  // Narrower: the left edge stays.
  EXPECT_EQ(WorkspaceOrigin(800, 600), (gfx::Point{0, -168}));
  EXPECT_EQ(WorkspaceOrigin(800, 900), (gfx::Point{0, 66}));
}

TEST(WorkspaceOrigin, TheDeskIsExactlyTheWindowOutsideTheWorkspace) {
  for (auto [cw, ch] : {std::pair{1920, 1080},
                        {1280, 1024},
                        {1024, 768},
                        {1024, 600},
                        {800, 600},
                        {1100, 768},
                        {1024, 900}}) {
    Panels p;
    p.Layout(cw, ch);
    const std::vector<gfx::Rect> desk = DeskArea(p);
    long long area = 0;
    for (const gfx::Rect& band : desk) {
      EXPECT_FALSE(band.Empty());
      area += (long long)band.Width() * band.Height();
    }
    const gfx::Rect shown = p.Workspace().Intersected({0, 0, cw, ch});
    // The bands do not overlap: together they are the window less the workspace.
    EXPECT_EQ(area, (long long)cw * ch - (long long)shown.Width() * shown.Height())
        << cw << " x " << ch;
    for (int y = 0; y < ch; y += 7)
      for (int x = 0; x < cw; x += 5) {
        bool on_desk = false;
        for (const gfx::Rect& band : desk) on_desk = on_desk || band.Contains(x, y);
        ASSERT_EQ(on_desk, !p.Workspace().Contains(x, y))
            << cw << " x " << ch << " at " << x << ", " << y;
        // Nothing on the desk takes a click.
        if (on_desk) {
          ASSERT_EQ(HitTest(p, x, y).surface, Surface::kNone);
        }
      }
  }
}

TEST(WorkspaceOrigin, DeskColourIsNeitherPaperNorPanel) {
  EXPECT_NE(kDeskColor, gfx::kWhite);
  EXPECT_NE(kDeskColor, kPanelFace);
}

// The window on a 1920 x 1080 screen, the control panel shown.
TestWindow LargeWindow() {
  test::TestWindowOptions o;
  o.screen_width = 1920;
  o.screen_height = 1080;
  return TestWindow(o);
}

TEST(WorkspaceOrigin, HitTestsFollowTheOrigin) {
  TestWindow t = LargeWindow();
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.FormResize(1920, 1080);
  const Panels& p = w.panels;
  ASSERT_EQ(p.origin, (gfx::Point{448, 156}));
  // The page's corner.
  Hit h = HitTest(p, 448 + 5, 156 + 7);
  EXPECT_EQ(h.surface, Surface::kWritingArea);
  EXPECT_EQ(h.x, 5);
  EXPECT_EQ(h.y, 7);
  // Where the page was at the window's corner is desk now.
  EXPECT_EQ(HitTest(p, 5, 7).surface, Surface::kNone);
  EXPECT_EQ(HitTest(p, 447, 156 + 700).surface, Surface::kNone);
  EXPECT_EQ(HitTest(p, 448 + 1024, 156 + 700).surface, Surface::kNone);
  // Every region of the play bar, then of the control panel over it, at its place on the
  // large window.
  auto each_region = [&](Panel which, const PanelControl& panel, Surface surface) {
    for (const Region& r : kRegions) {
      if (r.panel != which) continue;
      const gfx::Rect b = r.rect.Intersected({0, 0, panel.width, panel.height});
      const int x = (b.left + b.right) / 2, y = (b.top + b.bottom) / 2;
      h = HitTest(p, p.origin.x + panel.left + x, p.origin.y + panel.top + y);
      EXPECT_EQ(h.surface, surface) << r.name;
      EXPECT_EQ(h.x, x) << r.name;
      EXPECT_EQ(h.y, y) << r.name;
    }
  };
  each_region(Panel::kPlay, p.PlayPanel, Surface::kPlayPanel);
  w.ShowControlExecute();
  ASSERT_TRUE(p.ControlPanel.visible);
  each_region(Panel::kControl, p.ControlPanel, Surface::kControlPanel);
}

TEST(WorkspaceOrigin, TheSkinButtonsWorkOnTheLargeWindow) {
  TestWindow t = LargeWindow();
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.ShowControlExecute();
  t.Click("ToolButton");
  EXPECT_EQ(w.pen.tool_mode, input::kToolFill);
  EXPECT_EQ(w.panels.button1_caption, "填");
  t.Click("ToolButton");
  EXPECT_EQ(w.pen.tool_mode, input::kToolBrush);
  EXPECT_EQ(w.panels.button1_caption, "筆");
  // Back to writing, a stroke, then "Clear" from the control panel empties the page.
  w.panels.ControlPanel.visible = false;
  w.pen.enabled = true;
  t.Stroke({{448 + 300.0, 156 + 200.0}, {448 + 340.0, 156 + 200.0}});
  ASSERT_EQ(w.Document().Count(), 1);
  w.ShowControlExecute();
  ASSERT_TRUE(w.panels.ControlPanel.visible);
  t.Click("Clear");
  EXPECT_EQ(w.Document().Count(), 0);
  EXPECT_EQ(w.views.Page().Pixel(320, 200), gfx::kWhite);
}

TEST(WorkspaceOrigin, ThePenWritesWhereItTouchesTheOffsetPage) {
  TestWindow t = LargeWindow();
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  // The tablet covers the screen; the writing area is the page at the workspace's origin.
  const gfx::Rect a = w.panels.WritingAreaOnScreen();
  EXPECT_EQ(a, (gfx::Rect{448, 156, 448 + 1024, 156 + 718}));
  t.Stroke({{448 + 300.0, 156 + 200.0}, {448 + 340.0, 156 + 200.0}}, 900);
  ASSERT_EQ(w.Document().Count(), 1);
  const auto& s = w.Document().Current()->samples;
  EXPECT_EQ(s.front().x, 300);
  EXPECT_EQ(s.front().y, 200);
  EXPECT_NE(w.views.Page().Pixel(320, 200), gfx::kWhite);
  // Nothing where the screen position would fall without the origin.
  EXPECT_EQ(w.views.Page().Pixel(448 + 320, 156 + 200), gfx::kWhite);
  // The window moved on the screen and resized: the tablet area follows the writing area.
  w.panels.window_left = 10;
  w.panels.window_top = 20;
  w.FormResize(1900, 1060);  // origin 438, 146
  const gfx::Rect moved{438 + 10, 146 + 20, 438 + 10 + 1024, 146 + 20 + 718};
  EXPECT_EQ(w.panels.WritingAreaOnScreen(), moved);
  t.Stroke({{moved.left + 600.0, moved.top + 400.0}, {moved.left + 610.0, moved.top + 400.0}}, 900);
  ASSERT_EQ(w.Document().Count(), 2);
  EXPECT_EQ(w.Document().Current()->samples.front().x, 600);
  EXPECT_EQ(w.Document().Current()->samples.front().y, 400);
}

TEST(WorkspaceOrigin, CalibrationTargetSitsOnTheOffsetPageCentre) {
  TestWindow t = LargeWindow();
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.WriteCenterCheckExecute();
  ASSERT_TRUE(w.panels.ImgTmp.visible);
  EXPECT_EQ(w.panels.ImgTmp.left, 512 - 128);
  EXPECT_EQ(w.panels.ImgTmp.top, 359 - 128);
  // The target's centre on the window is the page's centre.
  const Hit h = HitTest(w.panels, 448 + 512, 156 + 359);
  EXPECT_EQ(h.surface, Surface::kCalibrationTarget);
  EXPECT_EQ(h.x, 128);
  EXPECT_EQ(h.y, 128);
  // A tap on the screen at the target's centre needs no correction.
  t.Packet(448 + 512, 156 + 359, 800);
  t.Packet(448 + 512, 156 + 359, 0);
  w.ImgTmpClick();
  EXPECT_FALSE(w.pen.tablet.calibrating);
  EXPECT_EQ(w.pen.tablet.offset_x, 0);
  EXPECT_EQ(w.pen.tablet.offset_y, 0);
}

TEST(WorkspaceOrigin, OnAShortScreenThePlayBarStaysInReach) {
  test::TestWindowOptions o;
  o.screen_height = 600;
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  const Panels& p = w.panels;
  EXPECT_EQ(p.origin, (gfx::Point{0, -168}));
  EXPECT_LE(p.ToWindow(p.PlayPanel.Bounds()).bottom, 600 + 2);  // its last rows are off any screen
  // The play bar's "Control panel" button at its place on the short window.
  t.Click("ShowControl");
  EXPECT_TRUE(w.panels.ControlPanel.visible);
  EXPECT_LE(p.ToWindow(p.ControlPanel.Bounds()).bottom, 600);
  // The pen still writes where it touches.
  w.panels.ControlPanel.visible = false;
  w.pen.enabled = true;
  t.Stroke({{300, 300}, {320, 300}}, 900);
  ASSERT_EQ(w.Document().Count(), 1);
  EXPECT_EQ(w.Document().Current()->samples.front().x, 300);
  EXPECT_EQ(w.Document().Current()->samples.front().y, 300 + 168);
}

// Remembers what was written where.
struct RecordingTextPainter : test::BoxTextPainter {
  struct Drawn {
    std::string text;
    gfx::Rect box;
    gfx::Color color;
  };
  std::vector<Drawn> drawn;
  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const platform::TextStyle& style) override {
    const platform::TextSize s = MeasureText(text, style);
    drawn.push_back({text, {x, y, x + s.width, y + s.height}, style.color});
    BoxTextPainter::DrawText(target, x, y, text, style);
  }
  const Drawn* Find(const std::string& text) const {
    for (const Drawn& d : drawn)
      if (d.text == text) return &d;
    return nullptr;
  }
};

TEST(SkinButtons, LabelsInBothLanguagesOnTheirFaces) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  const gfx::Rect tool = RegionNamed("ToolButton")->rect, clear = RegionNamed("Clear")->rect;
  auto inside = [](const gfx::Rect& outer, const gfx::Rect& r) {
    return r.Intersected(outer) == r;
  };
  for (bool fill : {false, true}) {
    w.pen.tool_mode = fill ? input::kToolFill : input::kToolBrush;
    RecordingTextPainter text;
    PaintControlPanel(w.panels, w.pen, w.sheet, &text);
    const char* english = fill ? "Fill" : "Brush";
    const char* chinese = fill ? "填" : "筆";
    EXPECT_EQ(ToolButtonLabel(fill).english, std::string(english));
    for (const char* s : {english, chinese}) {
      const auto* d = text.Find(s);
      ASSERT_NE(d, nullptr) << s;
      EXPECT_TRUE(inside(tool, d->box)) << s;
    }
    EXPECT_EQ(text.Find(fill ? "Brush" : "Fill"), nullptr);
    EXPECT_EQ(text.Find(english)->color, kButtonInk);
    EXPECT_EQ(text.Find(chinese)->color, kButtonInkChinese);
    // The Chinese name under the English one.
    EXPECT_GE(text.Find(chinese)->box.top, text.Find(english)->box.top + 1);
    for (const char* s : {"Clear", "清除"}) {
      const auto* d = text.Find(s);
      ASSERT_NE(d, nullptr) << s;
      EXPECT_TRUE(inside(clear, d->box)) << s;
    }
  }
}

TEST(SkinButtons, TheToolLabelFollowsTheToolAndPutsTheSkinBack) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.ShowControlExecute();
  const gfx::Bitmap24 brush = w.panels.control_panel_canvas;
  const gfx::Rect tool = RegionNamed("ToolButton")->rect;
  auto same_in = [](const gfx::Bitmap24& a, const gfx::Bitmap24& b, const gfx::Rect& r) {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
  };
  t.Click("ToolButton");
  ASSERT_EQ(w.pen.tool_mode, input::kToolFill);
  EXPECT_FALSE(same_in(brush, w.panels.control_panel_canvas, tool));
  // Only the tool button changed.
  const gfx::Rect left_of{0, 0, tool.left, kControlPanelHeight};
  const gfx::Rect right_of{tool.right, 0, kControlPanelWidth, kControlPanelHeight};
  EXPECT_TRUE(same_in(brush, w.panels.control_panel_canvas, left_of));
  EXPECT_TRUE(same_in(brush, w.panels.control_panel_canvas, right_of));
  t.Click("ToolButton");
  ASSERT_EQ(w.pen.tool_mode, input::kToolBrush);
  EXPECT_TRUE(same_in(brush, w.panels.control_panel_canvas,
                      {0, 0, kControlPanelWidth, kControlPanelHeight}));
}

}  // namespace
}  // namespace zevo::workspace
