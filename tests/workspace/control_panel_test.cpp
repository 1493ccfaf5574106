#include "workspace/control_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_window.h"
#include "workspace/skin.h"

namespace zevo::workspace {
namespace {

using test::TestWindow;

// Records which command hook a click reached.
struct CommandLog {
  std::vector<std::string> calls;
  void Attach(app::TZevo3Win& w) {
    auto hook = [this](const char* name) { return [this, name] { calls.push_back(name); }; };
    w.commands.data_save = hook("DataSave");
    w.commands.data_open = hook("DataOpen");
    w.commands.open_word_gnd = hook("OpenWordGND");
    w.commands.toggle_trace = hook("ToggleTrace");
    w.commands.add_stamp = hook("AddStamp");
    w.commands.save_stamp = hook("SaveStamp");
    w.commands.new_paper = hook("NewPaper");
    w.commands.call_option = hook("CallOption");
    w.commands.print_pic = hook("PrintPic");
    w.commands.save_pic = hook("SavePic");
    w.commands.grid_panel_open = hook("GridPanel");
    w.commands.grid_toggle = hook("GridToggle");
    w.request_close = hook("Close");
  }
  // The calls since the last Take.
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<std::string>;

TEST(ControlPanel, LowerRowCommandsAtTheirBoundaries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  CommandLog log;
  log.Attach(w);
  const std::vector<std::pair<int, Calls>> cases = {
      {92, {"DataSave"}},
      {223, {"DataSave"}},
      {224, {"DataOpen"}},
      {357, {"DataOpen"}},
      {622, {"SaveStamp", "AddStamp"}},
      {765, {"SaveStamp", "AddStamp"}},
      {766, {"PrintPic"}},
      {891, {"PrintPic"}},
      {892, {"SavePic"}},
      {1023, {"SavePic"}},
  };
  for (const auto& [x, expected] : cases) {
    w.ControlPanelMouseDown(x, 93);
    EXPECT_EQ(log.Take(), expected) << "x = " << x;
  }
  w.ControlPanelMouseDown(358, 120);
  EXPECT_TRUE(w.replaying);
  w.ControlPanelMouseDown(493, 100);  // still the play button
  EXPECT_TRUE(w.replaying);
  w.ControlPanelMouseDown(494, 100);
  EXPECT_FALSE(w.replaying);
  w.ControlPanelMouseDown(621, 100);
  EXPECT_FALSE(w.replaying);
  EXPECT_TRUE(log.Take().empty());
  w.ControlPanelMouseDown(91, 100);
  EXPECT_TRUE(w.tablet.calibrating);
  EXPECT_TRUE(w.ImgTmp.visible);
}

TEST(ControlPanel, UpperRowRegions) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  CommandLog log;
  log.Attach(w);
  // Outside the rows of the upper part nothing happens.
  for (int y : {0, 15, 83, 92}) {
    w.ControlPanelMouseDown(950, y);
    w.ControlPanelMouseDown(420, y);
  }
  EXPECT_TRUE(log.Take().empty());

  w.ControlPanelMouseDown(760, 16);
  w.ControlPanelMouseDown(832, 82);
  w.ControlPanelMouseDown(833, 50);
  w.ControlPanelMouseDown(912, 50);
  w.ControlPanelMouseDown(913, 50);
  EXPECT_EQ(log.Take(), (Calls{"NewPaper", "NewPaper", "CallOption", "CallOption", "Close"}));
  w.ControlPanelMouseDown(676, 50);  // left of the history button
  EXPECT_TRUE(log.Take().empty());

  // The trace model toggle asks for a model while none is loaded.
  w.ControlPanelMouseDown(403, 30);
  w.trace_model->AddSample(10, 10, 2);
  w.trace_model->AddSample(12, 10, 0);
  w.ControlPanelMouseDown(403, 30);
  w.ControlPanelMouseDown(520, 44);
  w.ControlPanelMouseDown(520, 45);
  w.ControlPanelMouseDown(402, 30);  // neither toggle
  EXPECT_EQ(log.Take(), (Calls{"OpenWordGND", "ToggleTrace", "ToggleTrace", "OpenWordGND"}));

  // Seals and the grid.
  w.ZoomPanel.visible = w.PenWPanel.visible = w.GridPanel.visible = true;
  w.palette_panels[1].visible = true;
  w.ControlPanelMouseDown(521, 45);
  EXPECT_FALSE(w.ZoomPanel.visible || w.PenWPanel.visible || w.GridPanel.visible ||
               w.palette_panels[1].visible);
  w.ControlPanelMouseDown(624, 30);
  w.ControlPanelMouseDown(625, 30);
  w.ControlPanelMouseDown(657, 44);
  w.ControlPanelMouseDown(658, 44);  // between the grid and the history buttons
  EXPECT_EQ(log.Take(), (Calls{"AddStamp", "GridToggle", "GridPanel", "GridPanel"}));

  // Rows 16..23 belong to the right-hand buttons only.
  w.ControlPanelMouseDown(80, 20);
  w.ControlPanelMouseDown(200, 23);
  EXPECT_FALSE(w.PenWPanel.visible);
  EXPECT_TRUE(log.Take().empty());
}

TEST(ControlPanel, MissingCommandsDoNothing) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.ZoomPanel.visible = true;
  for (int x = 0; x < 1024; x += 7) {
    if (x <= 91) continue;  // the calibration target
    w.ControlPanelMouseDown(x, 100);
    w.ControlPanelMouseDown(x, 50);
    w.ControlPanelMouseDown(x, 30);
    w.DataStopExecute();
  }
  // A seal that cannot be placed yet hides nothing.
  w.ZoomPanel.visible = true;
  w.ControlPanelMouseDown(530, 60);
  EXPECT_TRUE(w.ZoomPanel.visible);
}

TEST(ControlPanel, HistoryButtonGoesToTheFirstStroke) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  t.Stroke({{100, 100}, {120, 110}, {140, 130}});
  ASSERT_EQ(w.PlayerBar.position, 1);
  w.ControlPanelMouseDown(677, 16);
  EXPECT_EQ(w.PlayerBar.position, 0);
}

TEST(ControlPanel, PaletteRowsAndSwatches) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  struct Case {
    int x;
    int row;
    gfx::Color color;
  };
  for (const Case c : {Case{179, 0, 0x000000}, Case{238, 0, 0x000000}, Case{239, 1, 0x0000FF},
                       Case{306, 1, 0x0000FF}, Case{307, 2, 0x00A8F9}, Case{368, 2, 0x00A8F9}}) {
    w.palette_column = 3;
    w.ControlPanelMouseDown(c.x, 50);
    EXPECT_EQ(w.palette_row, c.row) << c.x;
    EXPECT_EQ(w.palette_column, 0) << c.x;
    EXPECT_EQ(w.ink_color, c.color) << c.x;
    for (int r = 0; r < 3; ++r) EXPECT_EQ(w.palette_panels[r].visible, r == c.row) << c.x;
  }
  w.ControlPanelMouseDown(369, 50);
  EXPECT_EQ(w.palette_row, 2);

  // Choosing a swatch: its colour, its picture on the row's button, the palette closes.
  w.palette_panels[1].visible = true;
  w.PaletteSwatchClick(1, 3);
  EXPECT_EQ(w.palette_row, 1);
  EXPECT_EQ(w.palette_column, 3);
  EXPECT_EQ(w.ink_color, 0x9999FFu);
  EXPECT_FALSE(w.palette_panels[1].visible);
  EXPECT_EQ(w.control_panel_canvas.Pixel(251 + 40, 28 + 40), 0x9999FFu);
  // The other rows show their skin buttons.
  EXPECT_EQ(w.control_panel_canvas.Pixel(183 + 40, 28 + 40),
            w.skin[kSkinPaletteBlack].Pixel(40, 40));
  // The preview writes with the chosen ink.
  EXPECT_EQ(w.control_panel_canvas.Pixel(53 + 23, 30 + 23), 0x9999FFu);

  w.PaletteSwatchClick(0, 5);
  EXPECT_EQ(w.ink_color, 0xFFFFFFu);
  w.PaletteSwatchClick(1, 5);  // no such swatch
  w.PaletteSwatchClick(3, 0);
  w.PaletteSwatchClick(-1, 0);
  EXPECT_EQ(w.ink_color, 0xFFFFFFu);
  EXPECT_EQ(w.palette_row, 0);
  EXPECT_EQ(w.palette_column, 5);
}

TEST(ControlPanel, PalettesAndBrushPanelArePlacedOverTheirButtons) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  const int top = 768 - 130 + 28;
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(w.palette_panels[row].left, kPaletteButtonX[row]);
    EXPECT_EQ(w.palette_panels[row].top, top);
    EXPECT_FALSE(w.palette_panels[row].visible);
    ASSERT_EQ(int(w.palette_swatches[row].size()), kPaletteRowSizes[row]);
    for (int tag = 0; tag < kPaletteRowSizes[row]; ++tag) {
      const auto& s = w.palette_swatches[row][tag];
      EXPECT_EQ(s.left, tag * 45);
      EXPECT_EQ(s.Width(), 45);
      EXPECT_EQ(s.picture.Pixel(22, 22), PaletteColor(row, tag));
    }
  }
  EXPECT_EQ(w.PenWPanel.top + w.PenWPanel.height, top);
  EXPECT_FALSE(w.PenWPanel.visible);
  w.ControlPanelMouseDown(53, 40);
  EXPECT_TRUE(w.PenWPanel.visible);
  w.ControlPanelMouseDown(113, 82);
  EXPECT_FALSE(w.PenWPanel.visible);
}

TEST(ControlPanel, BrushPicker) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  const auto& pw = w.ImagePW.picture;
  // Background, the dot of each cell, the label at its corner.
  EXPECT_EQ(pw.Pixel(40, 40), kBrushPickerBackground);
  EXPECT_EQ(pw.Pixel(179, 314), kBrushPickerBackground);
  EXPECT_EQ(pw.Pixel(3 * 45 + 23, 6 * 45 + 23), gfx::kBlack);
  EXPECT_EQ(pw.Pixel(3 * 45 + 23, 6 * 45 + 23 + 20), gfx::kBlack);             // radius 22
  EXPECT_EQ(pw.Pixel(2 * 45 + 23, 6 * 45 + 23 + 21), kBrushPickerBackground);  // radius 20
  EXPECT_EQ(pw.Pixel(1, 1), kLabelBlue);

  w.ImagePWMouseDown(179, 314);  // the last cell
  EXPECT_EQ(w.brush_size, 22.0f);
  w.ImagePWMouseDown(0, 0);
  EXPECT_EQ(w.brush_size, 0.125f);
  w.ImagePWMouseDown(44, 45);
  EXPECT_EQ(w.brush_size, 1.5f);
  w.ImagePWMouseDown(90, 180);
  EXPECT_EQ(w.brush_size, 12.0f);
  for (auto [x, y] : {std::pair{180, 0}, {0, 315}, {-1, 10}, {10, -1}}) w.ImagePWMouseDown(x, y);
  EXPECT_EQ(w.brush_size, 12.0f);
  // The preview shows the new size: a disc of radius 12 reaches 10 pixels from the centre.
  EXPECT_EQ(w.control_panel_canvas.Pixel(53 + 23 + 10, 30 + 23), gfx::kBlack);
  w.ImagePWMouseDown(0, 0);
  EXPECT_NE(w.control_panel_canvas.Pixel(53 + 23 + 10, 30 + 23), gfx::kBlack);
}

TEST(ControlPanel, ShowControlNeedsThePenOrAReplay) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.pen_input_enabled = false;
  w.ShowControlExecute();
  EXPECT_FALSE(w.ControlPanel.visible);
  w.stamp_dragging = true;
  w.ShowControlExecute();
  EXPECT_TRUE(w.ControlPanel.visible);
  EXPECT_TRUE(w.ZoomPanel.visible);
  w.ControlPanel.visible = w.ZoomPanel.visible = false;
  w.stamp_dragging = false;
  w.pen_input_enabled = true;
  w.PlayPanelMouseDown(864, 30);  // the play panel's button
  EXPECT_TRUE(w.ControlPanel.visible);
  EXPECT_FALSE(w.pen_input_enabled);
}

TEST(PlayPanel, ButtonsAtTheirBoundaries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 4; ++i) t.Stroke({{100.0 + 50 * i, 100}, {120.0 + 50 * i, 120}});
  ASSERT_EQ(w.PlayerBar.position, 4);
  w.PlayPanelMouseDown(655, 15);
  EXPECT_EQ(w.PlayerBar.position, 3);
  w.PlayPanelMouseDown(713, 40);
  EXPECT_EQ(w.PlayerBar.position, 2);
  w.PlayPanelMouseDown(700, 14);  // above the buttons
  EXPECT_EQ(w.PlayerBar.position, 2);
  w.PlayPanelMouseDown(714, 20);
  EXPECT_EQ(w.PlayerBar.position, 3);
  w.PlayPanelMouseDown(654, 20);
  EXPECT_EQ(w.PlayerBar.position, 0);
  w.PlayPanelMouseDown(774, 20);
  EXPECT_EQ(w.PlayerBar.position, 1);
  w.PlayPanelMouseDown(775, 20);
  EXPECT_EQ(w.PlayerBar.position, 4);
  w.PlayPanelMouseDown(833, 20);  // right of the buttons
  w.PlayPanelMouseDown(598, 20);
  EXPECT_EQ(w.PlayerBar.position, 0);
  w.PlayPanelMouseDown(597, 20);
  EXPECT_EQ(w.PlayerBar.position, 0);

  w.PlayPanelMouseDown(462, 20);
  EXPECT_FALSE(w.replaying);
  w.PlayPanelMouseDown(526, 5);
  EXPECT_TRUE(w.replaying);
  w.PlayPanelMouseDown(527, 5);
  EXPECT_FALSE(w.replaying);
  w.PlayPanelMouseDown(463, 5);
  EXPECT_TRUE(w.replaying);
  w.PlayPanelMouseDown(592, 5);
  EXPECT_TRUE(w.replaying);
  w.PlayPanelMouseDown(591, 5);
  EXPECT_FALSE(w.replaying);
}

TEST(Skin, MissingImagesPaintNothingOverThePanels) {
  test::TestWindowOptions o;
  o.with_skin = false;
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < kSkinImageCount; ++i) EXPECT_TRUE(w.skin.images[i].Empty());
  PaintControlPanel(w);
  PaintPlayPanel(w);
  w.PlayPanelMouseDown(200, 30);
  const gfx::Color face = w.play_panel_canvas.Pixel(0, 0);
  EXPECT_EQ(w.play_panel_canvas.Pixel(200, 26), face);  // no track without its images
  EXPECT_EQ(w.control_panel_canvas.Pixel(600, 100), w.control_panel_canvas.Pixel(0, 0));
  EXPECT_EQ(w.control_panel_canvas.Pixel(200, 40), gfx::kBlack);  // the chosen swatch
  // The preview is drawn by the program, not the skin.
  EXPECT_EQ(w.control_panel_canvas.Pixel(53 + 23, 30 + 23), gfx::kBlack);
}

TEST(Skin, ThePanelsArePaintedFromTheSkin) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  ASSERT_FALSE(w.skin[kSkinControlPanel].Empty());
  PaintControlPanel(w);
  EXPECT_EQ(w.control_panel_canvas.Pixel(5, 120), w.skin[kSkinControlPanel].Pixel(5, 120));
  EXPECT_EQ(w.control_panel_canvas.Pixel(412 + 3, 22 + 3), w.skin[kSkinToggleOff].Pixel(3, 3));
  w.trace_shown = w.grid_shown = true;
  PaintControlPanel(w);
  EXPECT_EQ(w.control_panel_canvas.Pixel(412 + 3, 22 + 3), w.skin[kSkinToggleOn].Pixel(3, 3));
  EXPECT_EQ(w.control_panel_canvas.Pixel(531 + 3, 22 + 3), w.skin[kSkinToggleOn].Pixel(3, 3));
  PaintPlayPanel(w);
  EXPECT_EQ(w.play_panel_canvas.Pixel(900, 5), w.skin[kSkinPlayPanel].Pixel(900, 5));

  // The zoom panel is painted when the control panel opens: the chosen zoom marked.
  ASSERT_FALSE(w.skin[kSkinZoomOn].Empty());
  w.zoom_index = 2;
  w.ShowControlExecute();
  const auto& z = w.zoom_panel_canvas;
  EXPECT_EQ(z.Pixel(141 + 3, 207 + 3), w.skin[kSkinZoomOn].Pixel(3, 3));
  EXPECT_EQ(z.Pixel(21 + 3, 207 + 3), w.skin[kSkinZoomOff].Pixel(3, 3));
  EXPECT_EQ(z.Pixel(2, 2), w.skin[kSkinZoomTopOpen].Pixel(2, 2));
  EXPECT_EQ(z.Pixel(2, 13 + 40), w.skin[kSkinZoomBody].Pixel(2, 40));
  PaintGridPanel(w);
  EXPECT_EQ(w.grid_panel_canvas.Pixel(7, 7), w.skin[kSkinGridPanel].Pixel(7, 7));
}

}  // namespace
}  // namespace zevo::workspace
