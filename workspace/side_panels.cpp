#include <array>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "workspace/control_panel.h"
#include "workspace/skin.h"

namespace zevo::workspace {

namespace {

// The panels' own colour under the skin.
constexpr gfx::Color kPanelFace = 0x00E1E6E8;
constexpr std::array<gfx::Point, 4> kZoomButtons{{{21, 207}, {81, 207}, {141, 207}, {201, 207}}};

void DrawSkin(gfx::Bitmap24& target, const gfx::Bitmap24& image, int x, int y) {
  if (!image.Empty()) gfx::Canvas(target).Draw(x, y, image);
}

}  // namespace

void PaintZoomPanel(app::TZevo3Win& w) {
  gfx::Bitmap24& c = w.zoom_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, w.skin[w.zoom_panel_expanded ? kSkinZoomTopOpen : kSkinZoomTopClosed], 0, 0);
  DrawSkin(c, w.skin[kSkinZoomBody], 0, 13);
  for (int i = 0; i < int(kZoomButtons.size()); ++i)
    DrawSkin(c, w.skin[i == w.zoom_index ? kSkinZoomOn : kSkinZoomOff], kZoomButtons[i].x,
             kZoomButtons[i].y);
  w.MarkDirty(app::kDirtyZoomPanel);
}

void PaintGridPanel(app::TZevo3Win& w) {
  gfx::Bitmap24& c = w.grid_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, w.skin[kSkinGridPanel], 0, 0);
  w.MarkDirty(app::kDirtyGridPanel);
}

}  // namespace zevo::workspace
