#include "workspace/grid_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_painter.h"
#include "seals/grid_pages.h"
#include "tests/support/test_window.h"

namespace zevo::workspace {
namespace {

using test::TestWindow;

// Keeps the texts drawn, as boxes like the test painter.
class RecordingText : public test::BoxTextPainter {
 public:
  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const platform::TextStyle& style) override {
    drawn.push_back(text);
    BoxTextPainter::DrawText(target, x, y, text, style);
  }
  std::vector<std::string> drawn;
};

// A window with the control panel open and the grid panel opened from it.
struct GridWindow : TestWindow {
  GridWindow() {
    if (!win) return;
    win->env.text = &text_log;
    Click("ShowControl");
  }
  app::TZevo3Win& W() { return *win; }
  // A point of the preset list in window pixels.
  gfx::Point List(int x, int y) const {
    const Panels& p = win->panels;
    return {p.GridPanel.left + p.ImgGridSelect.left + x, p.GridPanel.top + p.ImgGridSelect.top + y};
  }
  bool Chosen(int row) const {
    const Panels& p = win->panels;
    return p.ImgGridSelect.picture.Pixel(2, kGridRowHeight * row + 3) ==
           p.skin[kSkinGridRowChosen].Pixel(2, 2);
  }
  RecordingText text_log;
};

TEST(GridPanel, ApplyingAPresetWithOneSetOfLines) {
  GridWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = t.W();
  ASSERT_NE(w.panels.skin[kSkinGridRow].Pixel(2, 2), w.panels.skin[kSkinGridRowChosen].Pixel(2, 2));
  t.Click("GridPanel");
  ASSERT_TRUE(w.panels.GridPanel.visible);
  EXPECT_EQ(w.grid_view.selected_preset, 2);
  EXPECT_TRUE(t.Chosen(2));
  for (int i = 0; i < 6; ++i) t.Click("GridNext");
  t.Click("GridHorizontal");
  EXPECT_EQ(w.grid_view.selected_preset, 8);
  EXPECT_EQ(w.grid_view.list_offset, 4);  // the selection is kept in the list
  EXPECT_TRUE(t.Chosen(4));
  EXPECT_EQ(w.panels.grid_panel_canvas.Pixel(75 + 3, 202 + 3),
            w.panels.skin[kSkinCheckOff].Pixel(3, 3));
  EXPECT_EQ(w.panels.grid_panel_canvas.Pixel(20 + 3, 202 + 3),
            w.panels.skin[kSkinCheckOn].Pixel(3, 3));
  // The candidate in red on the preview: the first vertical line, and no inner horizontal one.
  EXPECT_EQ(w.panels.ImgGrid.picture.Pixel(11 >> 2, 100), kGridCandidateColor);
  EXPECT_EQ(w.panels.ImgGrid.picture.Pixel(20, (9 + 100) >> 2), gfx::kWhite);

  t.Click("GridApply");
  EXPECT_EQ(w.sheet.grid, (seals::GridLayout{100, 700, 11, 9, 10, 1}));
  EXPECT_FALSE(w.panels.GridPanel.visible);
  EXPECT_TRUE(w.sheet.grid_shown);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(531 + 3, 22 + 3),
            w.panels.skin[kSkinToggleOn].Pixel(3, 3));
  // The views show the new grid: vertical lines every 100 pixels, only the outer horizontals.
  EXPECT_EQ(w.views.Page().Pixel(111, 300), seals::kGridColor);
  EXPECT_EQ(w.views.Page().Pixel(150, 9), seals::kGridColor);
  EXPECT_EQ(w.views.Page().Pixel(150, 109), gfx::kWhite);
  EXPECT_EQ(w.views.Overview().Pixel(111 >> 2, 50), seals::kGridOverviewColor);

  // Opened again, the panel finds preset 8 with its vertical lines only; the preview has the
  // current grid pale under the candidate.
  w.grid_view = {};
  t.Click("GridPanel");
  EXPECT_EQ(w.grid_view.selected_preset, 8);
  EXPECT_TRUE(w.grid_view.vertical_lines_on);
  EXPECT_FALSE(w.grid_view.horizontal_lines_on);
  EXPECT_EQ(w.grid_view.list_offset, 4);
  w.sheet.grid = seals::LayoutFromPreset(seals::kGridPresets[2], true, true);
  RedrawGridPanel({w.panels, w.grid_view, w.views.Overview(), w.sheet, &t.text_log});
  EXPECT_EQ(w.panels.ImgGrid.picture.Pixel(261 >> 2, 50), kGridCurrentColor);
  EXPECT_EQ(w.panels.ImgGrid.picture.Pixel(11 >> 2, 50), kGridCandidateColor);

  // The grid toggle on the control panel hides and shows the grid on the views.
  t.Click("GridToggle");
  EXPECT_FALSE(w.sheet.grid_shown);
  EXPECT_EQ(w.views.Page().Pixel(11, 300), gfx::kWhite);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(531 + 3, 22 + 3),
            w.panels.skin[kSkinToggleOff].Pixel(3, 3));
  t.Click("GridToggle");
  EXPECT_EQ(w.views.Page().Pixel(11, 300), seals::kGridColor);
}

TEST(GridPanel, TogglesPresetStepsAndMatchingOnOpening) {
  GridView g;
  FlipHorizontalLines(g);
  EXPECT_FALSE(g.horizontal_lines_on);
  FlipVerticalLines(g);  // the last set of lines: the other comes back
  EXPECT_FALSE(g.vertical_lines_on);
  EXPECT_TRUE(g.horizontal_lines_on);
  FlipHorizontalLines(g);
  EXPECT_TRUE(g.vertical_lines_on);
  EXPECT_FALSE(g.horizontal_lines_on);

  g.selected_preset = 0;
  PreviousPreset(g);
  EXPECT_EQ(g.selected_preset, 0);
  g.selected_preset = 19;
  NextPreset(g);
  EXPECT_EQ(g.selected_preset, 19);

  // A layout whose cell height alone is a preset's: its horizontal lines only.
  g = {};
  SelectMatchingPreset(g, {700, 50, 11, 9, 1, 14});
  EXPECT_EQ(g.selected_preset, 18);
  EXPECT_FALSE(g.vertical_lines_on);
  EXPECT_TRUE(g.horizontal_lines_on);
  EXPECT_EQ(g.list_offset, 14);
  // Both match: the width's preset, the lines as they were.
  SelectMatchingPreset(g, {100, 100, 11, 9, 10, 7});
  EXPECT_EQ(g.selected_preset, 8);
  EXPECT_FALSE(g.vertical_lines_on);
  EXPECT_EQ(g.list_offset, 8);
  // Neither: nothing changes.
  const GridView before = g;
  SelectMatchingPreset(g, {123, 456, 0, 0, 2, 2});
  EXPECT_EQ(g.selected_preset, before.selected_preset);
  EXPECT_EQ(g.list_offset, before.list_offset);
}

TEST(GridPanel, PresetListScrollsAndPicks) {
  GridWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = t.W();
  t.Click("GridPanel");
  const Panels& p = w.panels;
  const gfx::Bitmap24& list = p.ImgGridSelect.picture;
  auto thumb_at = [&](int top) {
    return list.Pixel(kGridTrackLeft + 5, top + 5) == p.skin[kSkinGridThumb].Pixel(5, 5);
  };
  ASSERT_NE(p.skin[kSkinGridTrack].Pixel(5, 140), p.skin[kSkinGridThumb].Pixel(5, 5));

  // The track, pressed low, scrolls to the end: presets 15 to 19.
  t.text_log.drawn.clear();
  const gfx::Point low = t.List(110, 170);
  w.MouseDown(low.x, low.y);
  EXPECT_EQ(w.grid_view.list_offset, 15);
  EXPECT_TRUE(thumb_at(129));
  EXPECT_EQ(t.text_log.drawn,
            (std::vector<std::string>{"17 x 12", "18 x 12", "19 x 13", "20 x 14", "21 x 14"}));
  // Moving with the button held drags the thumb; the list follows row by row.
  const gfx::Point mid = t.List(110, 69);
  w.MouseMove(mid.x, mid.y);
  EXPECT_EQ(w.grid_view.list_offset, 5);
  EXPECT_TRUE(thumb_at(44));
  w.MouseMove(mid.x - 200, mid.y - 200);  // past the list, still held
  EXPECT_EQ(w.grid_view.list_offset, 0);
  EXPECT_TRUE(thumb_at(0));
  w.MouseMove(low.x, low.y);
  w.MouseUp(low.x, low.y);
  EXPECT_EQ(w.grid_view.list_offset, 15);
  // Released, a move over the track does not scroll.
  w.MouseMove(mid.x, mid.y);
  EXPECT_EQ(w.grid_view.list_offset, 15);

  // A press on a row picks its preset.
  const gfx::Point row = t.List(40, 2 * kGridRowHeight + 10);
  w.MouseDown(row.x, row.y);
  w.MouseUp(row.x, row.y);
  EXPECT_EQ(w.grid_view.selected_preset, 17);
  EXPECT_TRUE(t.Chosen(2));
  EXPECT_FALSE(t.Chosen(1));
  EXPECT_TRUE(w.panels.GridPanel.visible);
  EXPECT_EQ(w.sheet.grid, seals::LayoutFromPreset(seals::kGridPresets[2], true, true));
}

}  // namespace
}  // namespace zevo::workspace
