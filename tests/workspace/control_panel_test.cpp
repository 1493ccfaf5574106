#include "workspace/panels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_window.h"
#include "workspace/skin.h"

namespace zevo::workspace {
namespace {

using test::TestWindow;

// Records the clicks that reached a command of a dialog (by the names of their work), and the
// close request. The scripted Ui answers every dialog with Cancel.
struct CommandLog {
  std::vector<std::string> calls;
  app::TZevo3Win* w = nullptr;
  void Attach(app::TZevo3Win& win) {
    w = &win;
    win.request_close = [this] { calls.push_back("Close"); };
  }
  void Click(int x, int y) {
    const Command c = w->CommandAt(Panel::kControl, x, y);
    const bool dialog_command =
        c == Command::kDataSave || c == Command::kDataOpen || c == Command::kTraceToggle ||
        c == Command::kOpenTrace || c == Command::kSavePic || c == Command::kPrintPic ||
        c == Command::kOptions || c == Command::kAddStamp || c == Command::kCaptureStamp;
    if (dialog_command) {
      if (c == Command::kCaptureStamp) {
        calls.push_back("SaveStamp");
        calls.push_back("AddStamp");
      } else {
        calls.push_back(Name(c));
      }
    }
    w->ControlPanelMouseDown(x, y);
  }
  static std::string Name(Command c) {
    switch (c) {
      case Command::kTraceToggle:
        return "ToggleTrace";
      case Command::kOpenTrace:
        return "OpenWordGND";
      case Command::kOptions:
        return "CallOption";
      default:
        for (const Region& r : kRegions)
          if (r.command == c) return std::string(r.name);
        return "?";
    }
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
    log.Click(x, 93);
    EXPECT_EQ(log.Take(), expected) << "x = " << x;
  }
  log.Click(358, 120);
  EXPECT_TRUE(w.player.replaying);
  log.Click(493, 100);  // still the play button
  EXPECT_TRUE(w.player.replaying);
  log.Click(494, 100);
  EXPECT_FALSE(w.player.replaying);
  log.Click(621, 100);
  EXPECT_FALSE(w.player.replaying);
  EXPECT_TRUE(log.Take().empty());
  log.Click(91, 100);
  EXPECT_TRUE(w.pen.tablet.calibrating);
  EXPECT_TRUE(w.panels.ImgTmp.visible);
}

TEST(ControlPanel, UpperRowRegions) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  CommandLog log;
  log.Attach(w);
  // Outside the rows of the upper part nothing happens.
  for (int y : {0, 15, 83, 92}) {
    log.Click(950, y);
    log.Click(420, y);
  }
  EXPECT_TRUE(log.Take().empty());

  log.Click(760, 16);
  log.Click(832, 82);
  log.Click(833, 50);
  log.Click(912, 50);
  log.Click(913, 50);
  EXPECT_EQ(log.Take(), (Calls{"CallOption", "CallOption", "Close"}));
  EXPECT_EQ(t.ui.Texts(platform::ScriptedUi::Kind::ShowModal),
            (std::vector<std::string>{"TBGDialog", "TBGDialog", "TFormCfg", "TFormCfg"}));
  log.Click(676, 50);  // left of the history button
  EXPECT_TRUE(log.Take().empty());

  // The trace model toggle asks for a model while none is loaded.
  log.Click(403, 30);
  w.sheet.TraceModel().AddSample(10, 10, 2);
  w.sheet.TraceModel().AddSample(12, 10, 0);
  log.Click(403, 30);
  log.Click(520, 44);
  log.Click(520, 45);
  log.Click(402, 30);  // neither toggle
  EXPECT_EQ(log.Take(), (Calls{"OpenWordGND", "ToggleTrace", "ToggleTrace", "OpenWordGND"}));

  // Seals and the grid.
  w.panels.ZoomPanel.visible = w.panels.PenWPanel.visible = w.panels.GridPanel.visible = true;
  w.panels.palette_panels[1].visible = true;
  log.Click(521, 45);
  EXPECT_EQ(log.Take(), (Calls{"AddStamp"}));
  log.Click(624, 30);
  EXPECT_TRUE(w.sheet.grid_shown);
  log.Click(625, 30);
  EXPECT_FALSE(w.panels.GridPanel.visible);
  log.Click(657, 44);
  EXPECT_TRUE(w.panels.GridPanel.visible);
  log.Click(658, 44);  // between the grid and the history buttons
  EXPECT_TRUE(w.panels.GridPanel.visible);
  EXPECT_TRUE(w.sheet.grid_shown);
  EXPECT_TRUE(log.Take().empty());

  // Rows 16..23 belong to the right-hand buttons only.
  w.panels.PenWPanel.visible = false;
  log.Click(80, 20);
  log.Click(200, 23);
  EXPECT_FALSE(w.panels.PenWPanel.visible);
  EXPECT_TRUE(log.Take().empty());
}

TEST(ControlPanel, MissingCommandsDoNothing) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.panels.ZoomPanel.visible = true;
  for (int x = 0; x < 1024; x += 7) {
    if (x <= 91) continue;  // the calibration target
    w.ControlPanelMouseDown(x, 100);
    w.ControlPanelMouseDown(x, 50);
    w.ControlPanelMouseDown(x, 30);
    w.DataStopExecute();
  }
  // A seal that cannot be placed yet hides nothing.
  w.panels.ZoomPanel.visible = true;
  w.ControlPanelMouseDown(530, 60);
  EXPECT_TRUE(w.panels.ZoomPanel.visible);
}

TEST(ControlPanel, HistoryButtonGoesToTheFirstStroke) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  t.Stroke({{100, 100}, {120, 110}, {140, 130}});
  ASSERT_EQ(w.player.bar.position, 1);
  w.panels.ControlPanel.visible = true;
  t.Click("GotoFirst");
  EXPECT_EQ(w.player.bar.position, 0);
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
    w.panels.palette_column = 3;
    w.ControlPanelMouseDown(c.x, 50);
    EXPECT_EQ(w.panels.palette_row, c.row) << c.x;
    EXPECT_EQ(w.panels.palette_column, 0) << c.x;
    EXPECT_EQ(w.pen.ink_color, c.color) << c.x;
    for (int r = 0; r < 3; ++r) EXPECT_EQ(w.panels.palette_panels[r].visible, r == c.row) << c.x;
  }
  w.ControlPanelMouseDown(369, 50);
  EXPECT_EQ(w.panels.palette_row, 2);

  // With a palette open the other buttons stay where a click finds them: the yellow button
  // under an open black palette opens the yellow one.
  w.panels.ControlPanel.visible = true;
  w.ControlPanelMouseDown(190, 50);
  ASSERT_TRUE(w.panels.palette_panels[0].visible);
  const int yellow_x = w.panels.ControlPanel.left + 319 + 22,
            yellow_y = w.panels.ControlPanel.top + 28 + 22;
  const Hit hit = HitTest(w.panels, yellow_x, yellow_y);
  ASSERT_EQ(hit.surface, Surface::kControlPanel);
  w.ControlPanelMouseDown(hit.x, hit.y);
  EXPECT_EQ(w.panels.palette_row, 2);
  EXPECT_TRUE(w.panels.palette_panels[2].visible);
  EXPECT_FALSE(w.panels.palette_panels[0].visible);
  for (int row = 0; row < 3; ++row)
    for (int b = 0; b < 3; ++b)
      EXPECT_FALSE(w.panels.palette_panels[row].Bounds().Contains(
          w.panels.ControlPanel.left + kPaletteButtonX[b] + 22, yellow_y))
          << row << " over " << b;

  // Choosing a swatch: its colour, its picture on the row's button, the palette closes.
  w.panels.palette_panels[1].visible = true;
  w.PaletteSwatchClick(1, 3);
  EXPECT_EQ(w.panels.palette_row, 1);
  EXPECT_EQ(w.panels.palette_column, 3);
  EXPECT_EQ(w.pen.ink_color, 0x9999FFu);
  EXPECT_FALSE(w.panels.palette_panels[1].visible);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(251 + 40, 28 + 40), 0x9999FFu);
  // The other rows show their skin buttons.
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(183 + 40, 28 + 40),
            w.panels.skin[kSkinPaletteBlack].Pixel(40, 40));
  // The preview writes with the chosen ink.
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(53 + 23, 30 + 23), 0x9999FFu);

  w.PaletteSwatchClick(0, 5);
  EXPECT_EQ(w.pen.ink_color, 0xFFFFFFu);
  w.PaletteSwatchClick(1, 5);  // no such swatch
  w.PaletteSwatchClick(3, 0);
  w.PaletteSwatchClick(-1, 0);
  EXPECT_EQ(w.pen.ink_color, 0xFFFFFFu);
  EXPECT_EQ(w.panels.palette_row, 0);
  EXPECT_EQ(w.panels.palette_column, 5);
}

TEST(ControlPanel, PalettesAndBrushPanelArePlacedOverTheirButtons) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  // Just above the row of buttons.
  const int top = 768 - 130 + 28 - 45 - kPaletteGap;
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(w.panels.palette_panels[row].left, kPaletteButtonX[row]);
    EXPECT_EQ(w.panels.palette_panels[row].top, top);
    EXPECT_FALSE(w.panels.palette_panels[row].visible);
    ASSERT_EQ(int(w.panels.palette_swatches[row].size()), kPaletteRowSizes[row]);
    for (int tag = 0; tag < kPaletteRowSizes[row]; ++tag) {
      const auto& s = w.panels.palette_swatches[row][tag];
      EXPECT_EQ(s.left, tag * 45);
      EXPECT_EQ(s.Width(), 45);
      EXPECT_EQ(s.picture.Pixel(22, 22), PaletteColor(row, tag));
    }
  }
  EXPECT_EQ(w.panels.PenWPanel.top + w.panels.PenWPanel.height, top);
  EXPECT_FALSE(w.panels.PenWPanel.visible);
  w.ControlPanelMouseDown(53, 40);
  EXPECT_TRUE(w.panels.PenWPanel.visible);
  w.ControlPanelMouseDown(113, 82);
  EXPECT_FALSE(w.panels.PenWPanel.visible);
}

TEST(ControlPanel, BrushPicker) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  const auto& pw = w.panels.ImagePW.picture;
  // Background, the dot of each cell, the label at its corner.
  EXPECT_EQ(pw.Pixel(40, 40), kBrushPickerBackground);
  EXPECT_EQ(pw.Pixel(179, 314), kBrushPickerBackground);
  EXPECT_EQ(pw.Pixel(3 * 45 + 23, 6 * 45 + 23), gfx::kBlack);
  EXPECT_EQ(pw.Pixel(3 * 45 + 23, 6 * 45 + 23 + 20), gfx::kBlack);             // radius 22
  EXPECT_EQ(pw.Pixel(2 * 45 + 23, 6 * 45 + 23 + 21), kBrushPickerBackground);  // radius 20
  EXPECT_EQ(pw.Pixel(1, 1), kLabelBlue);
  // A label stays on a pale box of its own over the largest disc: just right of "22.0" (24
  // pixels wide in the test's text painter), inside the disc.
  EXPECT_EQ(pw.Pixel(3 * 45 + 1 + 24, 6 * 45 + 5), kBrushPickerBackground);
  EXPECT_EQ(pw.Pixel(3 * 45 + 1 + 24, 6 * 45 + 14), gfx::kBlack);

  w.ImagePWMouseDown(179, 314);  // the last cell
  EXPECT_EQ(w.pen.brush_size, 22.0f);
  w.ImagePWMouseDown(0, 0);
  EXPECT_EQ(w.pen.brush_size, 0.125f);
  w.ImagePWMouseDown(44, 45);
  EXPECT_EQ(w.pen.brush_size, 1.5f);
  w.ImagePWMouseDown(90, 180);
  EXPECT_EQ(w.pen.brush_size, 12.0f);
  for (auto [x, y] : {std::pair{180, 0}, {0, 315}, {-1, 10}, {10, -1}}) w.ImagePWMouseDown(x, y);
  EXPECT_EQ(w.pen.brush_size, 12.0f);
  // The preview shows the new size: a disc of radius 12 reaches 10 pixels from the centre.
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(53 + 23 + 10, 30 + 23), gfx::kBlack);
  // Its size is written under it, not over the disc: the top left corner of a disc that
  // fills the preview stays ink.
  w.ImagePWMouseDown(179, 314);  // 22
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(53 + 8, 30 + 8), gfx::kBlack);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(53 + 23, 30 + 45 + 4), kLabelBlue);
  w.ImagePWMouseDown(0, 0);
  EXPECT_NE(w.panels.control_panel_canvas.Pixel(53 + 23 + 10, 30 + 23), gfx::kBlack);
}

TEST(ControlPanel, ShowControlNeedsThePenOrAReplay) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.pen.enabled = false;
  w.ShowControlExecute();
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  w.stamp_dragging = true;
  w.ShowControlExecute();
  EXPECT_TRUE(w.panels.ControlPanel.visible);
  EXPECT_TRUE(w.panels.ZoomPanel.visible);
  w.panels.ControlPanel.visible = w.panels.ZoomPanel.visible = false;
  w.stamp_dragging = false;
  w.pen.enabled = true;
  t.Click("ShowControl");  // the play panel's button
  EXPECT_TRUE(w.panels.ControlPanel.visible);
  EXPECT_FALSE(w.pen.enabled);
}

TEST(PlayPanel, ButtonsAtTheirBoundaries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 4; ++i) t.Stroke({{100.0 + 50 * i, 100}, {120.0 + 50 * i, 120}});
  ASSERT_EQ(w.player.bar.position, 4);
  w.PlayPanelMouseDown(655, 15);
  EXPECT_EQ(w.player.bar.position, 3);
  w.PlayPanelMouseDown(713, 40);
  EXPECT_EQ(w.player.bar.position, 2);
  w.PlayPanelMouseDown(700, 14);  // above the buttons
  EXPECT_EQ(w.player.bar.position, 2);
  w.PlayPanelMouseDown(714, 20);
  EXPECT_EQ(w.player.bar.position, 3);
  w.PlayPanelMouseDown(654, 20);
  EXPECT_EQ(w.player.bar.position, 0);
  w.PlayPanelMouseDown(774, 20);
  EXPECT_EQ(w.player.bar.position, 1);
  w.PlayPanelMouseDown(775, 20);
  EXPECT_EQ(w.player.bar.position, 4);
  w.PlayPanelMouseDown(833, 20);  // right of the buttons
  w.PlayPanelMouseDown(598, 20);
  EXPECT_EQ(w.player.bar.position, 0);
  w.PlayPanelMouseDown(597, 20);
  EXPECT_EQ(w.player.bar.position, 0);

  w.PlayPanelMouseDown(462, 20);
  EXPECT_FALSE(w.player.replaying);
  w.PlayPanelMouseDown(526, 5);
  EXPECT_TRUE(w.player.replaying);
  w.PlayPanelMouseDown(527, 5);
  EXPECT_FALSE(w.player.replaying);
  w.PlayPanelMouseDown(463, 5);
  EXPECT_TRUE(w.player.replaying);
  w.PlayPanelMouseDown(592, 5);
  EXPECT_TRUE(w.player.replaying);
  w.PlayPanelMouseDown(591, 5);
  EXPECT_FALSE(w.player.replaying);
}

TEST(Skin, MissingImagesPaintNothingOverThePanels) {
  test::TestWindowOptions o;
  o.with_skin = false;
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < kSkinImageCount; ++i) EXPECT_TRUE(w.panels.skin.images[i].Empty());
  PaintControlPanel(w.panels, w.pen, w.sheet, w.env.text);
  PaintPlayPanel(w.panels, w.player.bar, nullptr);
  w.PlayPanelMouseDown(200, 30);
  const gfx::Color face = w.panels.play_panel_canvas.Pixel(0, 0);
  EXPECT_EQ(w.panels.play_panel_canvas.Pixel(200, 26), face);  // no track without its images
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(600, 100),
            w.panels.control_panel_canvas.Pixel(0, 0));
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(200, 40), gfx::kBlack);  // the chosen swatch
  // The preview is drawn by the program, not the skin.
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(53 + 23, 30 + 23), gfx::kBlack);
}

TEST(Skin, AMissingPictureIsToldOnceNamingTheFile) {
  test::TestWindowOptions o;
  o.with_skin = false;
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  EXPECT_NE(t.ui.Messages()[0].find(std::string("/") + kSkinFileNames[0]), std::string::npos)
      << t.ui.Messages()[0];
  // Painting and clicking afterwards say nothing more.
  t.win->PlayPanelMouseDown(200, 30);
  t.win->TakeDirty();
  EXPECT_EQ(t.ui.Messages().size(), 1u);

  // With every picture there, nothing is told.
  TestWindow whole;
  ASSERT_TRUE(whole.win) << whole.error;
  whole.win->FormCreate();
  EXPECT_TRUE(whole.ui.Messages().empty());
  EXPECT_TRUE(whole.win->panels.skin.problem.empty());
}

TEST(Skin, ThePanelsArePaintedFromTheSkin) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  ASSERT_FALSE(w.panels.skin[kSkinControlPanel].Empty());
  PaintControlPanel(w.panels, w.pen, w.sheet, w.env.text);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(5, 120),
            w.panels.skin[kSkinControlPanel].Pixel(5, 120));
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(412 + 3, 22 + 3),
            w.panels.skin[kSkinToggleOff].Pixel(3, 3));
  w.sheet.trace_shown = w.sheet.grid_shown = true;
  PaintControlPanel(w.panels, w.pen, w.sheet, w.env.text);
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(412 + 3, 22 + 3),
            w.panels.skin[kSkinToggleOn].Pixel(3, 3));
  EXPECT_EQ(w.panels.control_panel_canvas.Pixel(531 + 3, 22 + 3),
            w.panels.skin[kSkinToggleOn].Pixel(3, 3));
  PaintPlayPanel(w.panels, w.player.bar, nullptr);
  EXPECT_EQ(w.panels.play_panel_canvas.Pixel(900, 5), w.panels.skin[kSkinPlayPanel].Pixel(900, 5));

  // The zoom panel is painted when the control panel opens: the chosen zoom marked.
  ASSERT_FALSE(w.panels.skin[kSkinZoomOn].Empty());
  w.zoom.zoom_index = 2;
  w.ShowControlExecute();
  const auto& z = w.panels.zoom_panel_canvas;
  EXPECT_EQ(z.Pixel(141 + 3, 207 + 3), w.panels.skin[kSkinZoomOn].Pixel(3, 3));
  EXPECT_EQ(z.Pixel(21 + 3, 207 + 3), w.panels.skin[kSkinZoomOff].Pixel(3, 3));
  EXPECT_EQ(z.Pixel(2, 2), w.panels.skin[kSkinZoomTopOpen].Pixel(2, 2));
  EXPECT_EQ(z.Pixel(2, 13 + 40), w.panels.skin[kSkinZoomBody].Pixel(2, 40));
  PaintGridPanel(w.panels);
  EXPECT_EQ(w.panels.grid_panel_canvas.Pixel(7, 7), w.panels.skin[kSkinGridPanel].Pixel(7, 7));
}

}  // namespace
}  // namespace zevo::workspace
