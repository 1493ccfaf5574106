#include <charconv>
#include <string>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "ink/brush_renderer.h"
#include "platform/text_painter.h"
#include "settings/text_format.h"
#include "workspace/control_panel.h"

namespace zevo::workspace {

namespace {

constexpr int kLabelPixelSize = 12;
// Where the brush preview lies on the control panel.
constexpr gfx::Rect kPreviewRect{53, 30, 53 + kSwatchSize, 30 + kSwatchSize};
constexpr std::array<SkinImage, kPaletteRows> kPaletteButtonSkins{
    kSkinPaletteBlack, kSkinPaletteRed, kSkinPaletteYellow};

// The brush size as the preview writes it: the shortest decimal form ("0.125", "10").
std::string ShortestDecimal(float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

void DrawLabel(app::TZevo3Win& w, gfx::Bitmap24& target, int x, int y, const std::string& text,
               bool bold) {
  if (w.env.text) w.env.text->DrawText(target, x, y, text, {kLabelBlue, bold, kLabelPixelSize});
}

}  // namespace

void BuildPalettes(app::TZevo3Win& w) {
  // The palettes open over their buttons, 28 pixels below the control panel's top edge.
  const int top = w.ControlPanel.top + kPaletteButtonY;
  for (int row = 0; row < kPaletteRows; ++row) {
    const int n = kPaletteRowSizes[row];
    w.palette_panels[row] = {kPaletteButtonX[row], top, n * kSwatchSize, kSwatchSize, false};
    auto& swatches = w.palette_swatches[row];
    swatches.clear();
    for (int tag = 0; tag < n; ++tag)
      swatches.push_back({gfx::Bitmap24(kSwatchSize, kSwatchSize, PaletteColor(row, tag)),
                          tag * kSwatchSize, 0, true});
  }
  w.PenWPanel.top = top - w.PenWPanel.height;
  w.PenWPanel.left = kPreviewRect.left;
  w.MarkDirty(app::kDirtyLayout | app::kDirtyPalettes);
}

void DrawBrushPicker(app::TZevo3Win& w) {
  gfx::Bitmap24& image = w.ImagePW.picture;
  if (image.Empty()) return;
  image.FillRect({-1, -1, 181, 496}, kBrushPickerBackground);
  {
    ink::BrushRenderer r(image);
    r.LoadFromTarget();
    r.SetColor(gfx::kBlack);
    for (int row = 0; row < kBrushPickerRows; ++row)
      for (int col = 0; col < kBrushPickerColumns; ++col)
        r.BeginAt(float(col * kBrushCell + 23), float(row * kBrushCell + 23),
                  kBrushSizes[row * kBrushPickerColumns + col]);
    r.DownsampleAll();
  }
  for (int row = 0; row < kBrushPickerRows; ++row)
    for (int col = 0; col < kBrushPickerColumns; ++col)
      DrawLabel(w, image, col * kBrushCell, row * kBrushCell,
                settings::FormatFixed(kBrushSizes[row * kBrushPickerColumns + col], 1), true);
  w.MarkDirty(app::kDirtyLayout);
}

void ImagePWMouseDown(app::TZevo3Win& w, int x, int y) {
  if (x < 0 || y < 0) return;
  const int col = x / kBrushCell, row = y / kBrushCell;
  if (col >= kBrushPickerColumns || row >= kBrushPickerRows) return;
  w.brush_size = kBrushSizes[row * kBrushPickerColumns + col];
  DrawBrushPreview(w);
}

void DrawBrushPreview(app::TZevo3Win& w) {
  gfx::Bitmap24 preview(kSwatchSize, kSwatchSize, gfx::kWhite);
  {
    ink::BrushRenderer r(preview);
    r.LoadFromTarget();
    r.SetColor(PaletteColor(w.palette_row, w.palette_column));
    r.BeginAt(23, 23, w.brush_size);
    r.DownsampleAll();
  }
  DrawLabel(w, preview, 0, 0, ShortestDecimal(w.brush_size), false);
  if (w.control_panel_canvas.Empty()) return;
  gfx::Canvas(w.control_panel_canvas).StretchCopy(kPreviewRect, preview);
  w.MarkDirty(app::kDirtyControlPanel);
}

void DrawPaletteButtons(app::TZevo3Win& w) {
  if (w.control_panel_canvas.Empty()) return;
  gfx::Canvas c(w.control_panel_canvas);
  for (int row = 0; row < kPaletteRows; ++row) {
    const gfx::Bitmap24* image = &w.skin[kPaletteButtonSkins[row]];
    const auto& swatches = w.palette_swatches[row];
    if (row == w.palette_row && w.palette_column >= 0 && w.palette_column < int(swatches.size()))
      image = &swatches[w.palette_column].picture;
    if (!image->Empty()) c.Draw(kPaletteButtonX[row], kPaletteButtonY, *image);
  }
  w.MarkDirty(app::kDirtyControlPanel);
}

void PaletteSwatchClick(app::TZevo3Win& w, int row, int tag) {
  if (row < 0 || row >= kPaletteRows || tag < 0 || tag >= kPaletteRowSizes[row]) return;
  w.palette_row = row;
  w.palette_column = tag;
  w.ink_color = PaletteColor(row, tag);
  DrawPaletteButtons(w);
  // The preview shows the ink it will write with.
  DrawBrushPreview(w);
  w.palette_panels[row].visible = false;
  w.MarkDirty(app::kDirtyLayout | app::kDirtyPalettes);
}

}  // namespace zevo::workspace
