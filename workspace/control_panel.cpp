#include "workspace/control_panel.h"

#include <functional>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "workspace/skin.h"

namespace zevo::workspace {

namespace {

// The panel's own colour under the skin.
constexpr gfx::Color kPanelFace = 0x00E1E6E8;
constexpr int kTraceToggleX = 412;
constexpr int kGridToggleX = 531;
constexpr int kToggleY = 22;

// A command another part of the program provides: nothing while it is not there.
void Run(const std::function<void()>& command) {
  if (command) command();
}

void DrawSkin(gfx::Bitmap24& target, const gfx::Bitmap24& image, int x, int y) {
  if (!image.Empty() && !target.Empty()) gfx::Canvas(target).Draw(x, y, image);
}

void ChoosePaletteRow(app::TZevo3Win& w, int row) {
  w.palette_row = row;
  w.palette_column = 0;
  w.ink_color = PaletteColor(row, 0);
  for (int r = 0; r < kPaletteRows; ++r) w.palette_panels[r].visible = r == row;
  DrawBrushPreview(w);
  DrawPaletteButtons(w);
  w.MarkDirty(app::kDirtyLayout | app::kDirtyPalettes);
}

// The regions of the upper part that lie left of the history and window buttons; false when
// the click is not in one of them.
bool UpperRegions(app::TZevo3Win& w, int x, int y) {
  if (x > 52 && x < 114) {
    w.PenWPanel.visible = !w.PenWPanel.visible;
    w.MarkDirty(app::kDirtyLayout);
    return true;
  }
  if (x > 178 && x < 369) {
    ChoosePaletteRow(w, x <= 238 ? 0 : x <= 306 ? 1 : 2);
    return true;
  }
  if (x > 402 && x < 521) {
    // With no model loaded, the toggle asks for one.
    if (y > 44 || (!w.trace_shown && w.trace_model->Count() == 0))
      Run(w.commands.open_word_gnd);
    else
      Run(w.commands.toggle_trace);
    return true;
  }
  if (x >= 521 && x < 658) {
    if (y > 44) {
      if (w.commands.add_stamp) {
        w.commands.add_stamp();
        w.ZoomPanel.visible = false;
        for (auto& p : w.palette_panels) p.visible = false;
        w.PenWPanel.visible = false;
        w.GridPanel.visible = false;
        w.MarkDirty(app::kDirtyLayout);
      }
    } else if (x > 624) {
      Run(w.commands.grid_panel_open);
    } else {
      Run(w.commands.grid_toggle);
    }
    return true;
  }
  return false;
}

void LowerPart(app::TZevo3Win& w, int x) {
  if (x <= 91)
    w.WriteCenterCheckExecute();
  else if (x <= 223)
    Run(w.commands.data_save);
  else if (x <= 357)
    Run(w.commands.data_open);
  else if (x <= 493)
    w.DataPlayExecute();
  else if (x <= 621)
    w.DataStopExecute();
  else if (x <= 765) {
    if (w.commands.save_stamp) {
      w.commands.save_stamp();
      Run(w.commands.add_stamp);
    }
  } else if (x <= 891)
    Run(w.commands.print_pic);
  else
    Run(w.commands.save_pic);
}

}  // namespace

void PaintControlPanel(app::TZevo3Win& w) {
  gfx::Bitmap24& c = w.control_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, w.skin[kSkinControlPanel], 0, 0);
  DrawPaletteButtons(w);
  DrawSkin(c, w.skin[w.grid_shown ? kSkinToggleOn : kSkinToggleOff], kGridToggleX, kToggleY);
  DrawBrushPreview(w);
  DrawSkin(c, w.skin[w.trace_shown ? kSkinToggleOn : kSkinToggleOff], kTraceToggleX, kToggleY);
  w.MarkDirty(app::kDirtyControlPanel);
}

void ControlPanelMouseDown(app::TZevo3Win& w, int x, int y) {
  if (y >= 93) {
    LowerPart(w, x);
    return;
  }
  if (y < 16 || y > 82) return;
  if (y > 23 && UpperRegions(w, x, y)) return;
  if (x <= 676) return;
  if (x <= 753)
    w.GotoFirstExecute();
  else if (x <= 832)
    Run(w.commands.new_paper);
  else if (x <= 912)
    Run(w.commands.call_option);
  else
    Run(w.request_close);
}

void ShowControl(app::TZevo3Win& w) {
  if (w.pen_input_enabled)
    w.pen_input_enabled = false;
  else if (!w.replaying && !w.stamp_dragging)
    return;
  w.ControlPanel.visible = true;
  w.ZoomPanel.visible = true;
  PaintControlPanel(w);
  PaintZoomPanel(w);
  w.MarkDirty(app::kDirtyLayout | app::kDirtyZoomPanel);
}

}  // namespace zevo::workspace
