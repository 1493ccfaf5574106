#include "workspace/panels.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "ink/brush_renderer.h"
#include "platform/text_painter.h"
#include "settings/text_format.h"

namespace zevo::workspace {

namespace {

constexpr int kLabelPixelSize = 12;
// Where the brush preview lies on the control panel.
constexpr gfx::Rect kPreviewRect{53, 30, 53 + kSwatchSize, 30 + kSwatchSize};
constexpr std::array<SkinImage, kPaletteRows> kPaletteButtonSkins{
    kSkinPaletteBlack, kSkinPaletteRed, kSkinPaletteYellow};
constexpr int kFillWidth = kTrackWidth - kKnobWidth;
// The player's count, in the dark grey of the skin's labels.
constexpr gfx::Color kCountColor = 0x00505050;
// Half the width the player's count ("12 / 40") may take over the track.
constexpr int kCountHalfWidth = 60;

void DrawSkin(gfx::Bitmap24& target, const gfx::Bitmap24& image, int x, int y) {
  if (!image.Empty() && !target.Empty()) gfx::Canvas(target).Draw(x, y, image);
}

void StretchSkin(gfx::Canvas& c, const gfx::Bitmap24& image, int left, int width) {
  if (image.Empty() || width <= 0) return;
  c.StretchCopy({left, kTrackTop, left + width, kTrackBottom}, image);
}

// The brush size as the preview writes it: the shortest decimal form ("0.125", "10").
std::string ShortestDecimal(float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

// A label on a pale box of its own, legible over a disc of any size and colour.
void DrawBoxedLabel(platform::TextPainter* text, gfx::Bitmap24& target, int x, int y,
                    const std::string& label, bool bold, gfx::Color box) {
  if (!text) return;
  const platform::TextStyle style{kLabelBlue, bold, kLabelPixelSize};
  const platform::TextSize size = text->MeasureText(label, style);
  target.FillRect({x, y, x + size.width + 2, y + size.height}, box);
  text->DrawText(target, x + 1, y, label, style);
}

}  // namespace

gfx::Point WorkspaceOrigin(int client_width, int client_height) {
  const int x = std::max((client_width - kWorkspaceWidth) / 2, 0);
  const int y = client_height >= kWorkspaceHeight ? (client_height - kWorkspaceHeight) / 2
                                                  : client_height - kWorkspaceHeight;
  return {x, y};
}

void Panels::Place(int width, int height) {
  client_width = width;
  client_height = height;
  origin = WorkspaceOrigin(width, height);
  MarkDirty(kDirtyLayout);
}

void Panels::Layout(int width, int height) {
  Place(width, height);
  TabletPanel = {0, 0, kWorkspaceWidth, ink::kPageHeight, true};
  ImgA = {0, 0, true};
  ImgTmp = {gfx::Bitmap24(kTargetSize, kTargetSize, gfx::kWhite), 0, 0, false};
  PlayPanel = {0, ink::kPageHeight, kWorkspaceWidth, kPlayPanelHeight, true};
  play_panel_canvas = gfx::Bitmap24(ink::kPageWidth, kPlayPanelHeight, gfx::kWhite);
  ImgZoom = {kOverviewLeft, kOverviewTop, true};
  PenWPanel = {0, 0, kBrushPickerWidth, kBrushPickerHeight, false};
  ImagePW = {gfx::Bitmap24(kBrushPickerWidth, kBrushPickerHeight, gfx::kWhite), 0, 0, true};
  ControlPanel = {0, kControlPanelTop, kControlPanelWidth, kControlPanelHeight, false};
  ZoomPanel = {kSidePanelRight - kZoomPanelWidth, kControlPanelTop - kZoomPanelHeight,
               kZoomPanelWidth, kZoomPanelHeight, false};
  GridPanel = {kSidePanelRight - kGridPanelWidth, kControlPanelTop - kGridPanelHeight,
               kGridPanelWidth, kGridPanelHeight, false};
  control_panel_canvas = gfx::Bitmap24(kControlPanelWidth, kControlPanelHeight, gfx::kWhite);
  zoom_panel_canvas = gfx::Bitmap24(kZoomPanelWidth, kZoomPanelHeight, gfx::kWhite);
  grid_panel_canvas = gfx::Bitmap24(kGridPanelWidth, kGridPanelHeight, gfx::kWhite);
  ImgGridSelect = {gfx::Bitmap24(kGridListWidth, kGridListHeight, gfx::kWhite), kGridListLeft,
                   kGridListTop, true};
  ImgGrid = {gfx::Bitmap24(ink::kOverviewWidth, ink::kOverviewHeight, gfx::kWhite),
             kGridPreviewLeft, kGridPreviewTop, true};
}

void PaintControlPanel(Panels& p, const input::PenInput& pen, const seals::SheetPages& sheet,
                       platform::TextPainter* text) {
  gfx::Bitmap24& c = p.control_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, p.skin[kSkinControlPanel], 0, 0);
  DrawPaletteButtons(p);
  PaintGridToggle(p, sheet.grid_shown);
  DrawBrushPreview(p, pen, text);
  PaintTraceToggle(p, sheet.trace_shown);
  DrawToolButtons(p, pen, text);
}

ButtonLabel ToolButtonLabel(bool fill_tool) {
  return fill_tool ? ButtonLabel{"Fill", "填"} : ButtonLabel{"Brush", "筆"};
}

void DrawToolButtons(Panels& p, const input::PenInput& pen, platform::TextPainter* text) {
  if (p.control_panel_canvas.Empty()) return;
  const std::pair<std::string_view, ButtonLabel> buttons[] = {
      {"ToolButton", ToolButtonLabel(pen.tool_mode == input::kToolFill)}, {"Clear", kClearLabel}};
  gfx::Canvas c(p.control_panel_canvas);
  const gfx::Bitmap24& skin = p.skin[kSkinControlPanel];
  for (const auto& [name, label] : buttons) {
    const Region* region = RegionNamed(name);
    if (region == nullptr) continue;
    const gfx::Rect& face = region->rect;
    c.brush = {kPanelFace, gfx::BrushStyle::Solid};
    c.FillRect(face);
    if (!skin.Empty()) c.StretchCopy(face, skin, face);
    if (!text) continue;
    // English above, the Chinese name below, the pair centred on the face.
    const platform::TextStyle english{kButtonInk, true, kButtonLabelSize};
    const platform::TextStyle chinese{kButtonInkChinese, false, kButtonChineseSize};
    const platform::TextSize e = text->MeasureText(label.english, english);
    const platform::TextSize z = text->MeasureText(label.chinese, chinese);
    // Fonts with tall line boxes may overlap a little rather than leave the face.
    const int overlap = std::max(e.height + z.height - face.Height(), 0);
    const int top = face.top + std::max((face.Height() - e.height - z.height + overlap) / 2, 0);
    const int middle = (face.left + face.right) / 2;
    text->DrawText(p.control_panel_canvas, middle - e.width / 2, top, label.english, english);
    text->DrawText(p.control_panel_canvas, middle - z.width / 2, top + e.height - overlap,
                   label.chinese, chinese);
  }
  p.MarkDirty(kDirtyControlPanel);
}

void PaintGridToggle(Panels& p, bool grid_shown) {
  DrawSkin(p.control_panel_canvas, p.skin[grid_shown ? kSkinToggleOn : kSkinToggleOff],
           kGridToggle.x, kGridToggle.y);
  p.MarkDirty(kDirtyControlPanel);
}

void PaintTraceToggle(Panels& p, bool trace_shown) {
  DrawSkin(p.control_panel_canvas, p.skin[trace_shown ? kSkinToggleOn : kSkinToggleOff],
           kTraceToggle.x, kTraceToggle.y);
  p.MarkDirty(kDirtyControlPanel);
}

void PaintPlayPanel(Panels& p, const history::PlayerBar& bar, platform::TextPainter* text) {
  gfx::Bitmap24& c = p.play_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, p.skin[kSkinPlayPanel], 0, 0);
  DrawPlayerIndicator(p, bar, text);
}

void DrawPlayerIndicator(Panels& p, const history::PlayerBar& bar, platform::TextPainter* text) {
  gfx::Canvas c(p.play_panel_canvas);
  if (text) {
    // The count goes over the middle of the track, between the skin's two labels; the skin
    // under the last count is put back first.
    const gfx::Rect box{kTrackLeft + kTrackWidth / 2 - kCountHalfWidth, kTrackTop - 17,
                        kTrackLeft + kTrackWidth / 2 + kCountHalfWidth, kTrackTop - 1};
    c.brush = {kPanelFace, gfx::BrushStyle::Solid};
    c.FillRect(box);
    const gfx::Bitmap24& skin = p.skin[kSkinPlayPanel];
    if (!skin.Empty()) c.StretchCopy(box, skin, box);
    const std::string count =
        std::to_string(std::max(bar.position, 0)) + " / " + std::to_string(std::max(bar.max, 0));
    const platform::TextStyle style{kCountColor, false, kLabelPixelSize};
    const platform::TextSize size = text->MeasureText(count, style);
    text->DrawText(p.play_panel_canvas, kTrackLeft + (kTrackWidth - size.width) / 2,
                   kTrackTop - 2 - size.height, count, style);
  }
  const gfx::Bitmap24& filled = p.skin[kSkinTrackFilled];
  const gfx::Bitmap24& empty = p.skin[kSkinTrackEmpty];
  const gfx::Bitmap24& knob = p.skin[kSkinTrackKnob];
  if (bar.max <= 0) {
    StretchSkin(c, empty, kTrackLeft, kTrackWidth);
  } else if (bar.position >= bar.max) {
    StretchSkin(c, filled, kTrackLeft, kTrackWidth);
  } else {
    const int f = int(std::clamp<std::int64_t>(
        std::int64_t(std::max(bar.position, 0)) * kFillWidth / bar.max, 0, kFillWidth));
    StretchSkin(c, filled, kTrackLeft, f);
    StretchSkin(c, knob, kTrackLeft + f, kKnobWidth);
    StretchSkin(c, empty, kTrackLeft + f + kKnobWidth, kFillWidth - f);
  }
  p.MarkDirty(kDirtyPlayPanel);
}

void PaintZoomPanel(Panels& p, const ZoomView& zoom) {
  gfx::Bitmap24& c = p.zoom_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, p.skin[zoom.zoom_panel_expanded ? kSkinZoomTopOpen : kSkinZoomTopClosed], 0, 0);
  DrawSkin(c, p.skin[kSkinZoomBody], 0, kZoomBodyTop);
  for (int i = 0; i < int(kZoomButtons.size()); ++i)
    DrawSkin(c, p.skin[i == zoom.zoom_index ? kSkinZoomOn : kSkinZoomOff], kZoomButtons[i].x,
             kZoomButtons[i].y);
  p.MarkDirty(kDirtyZoomPanel);
}

void PaintGridPanel(Panels& p) {
  gfx::Bitmap24& c = p.grid_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  DrawSkin(c, p.skin[kSkinGridPanel], 0, 0);
  p.MarkDirty(kDirtyGridPanel);
}

void BuildPalettes(Panels& p) {
  // The palettes open just above their buttons (the row of buttons starts 28 pixels below the
  // control panel's top edge), so that an open palette leaves the other buttons to be clicked.
  const int top = p.ControlPanel.top + kPaletteButtonY - kSwatchSize - kPaletteGap;
  for (int row = 0; row < kPaletteRows; ++row) {
    const int n = kPaletteRowSizes[row];
    p.palette_panels[row] = {kPaletteButtonX[row], top, n * kSwatchSize, kSwatchSize, false};
    auto& swatches = p.palette_swatches[row];
    swatches.clear();
    for (int tag = 0; tag < n; ++tag)
      swatches.push_back({gfx::Bitmap24(kSwatchSize, kSwatchSize, PaletteColor(row, tag)),
                          tag * kSwatchSize, 0, true});
  }
  p.PenWPanel.top = top - p.PenWPanel.height;
  p.PenWPanel.left = p.ControlPanel.left + kPreviewRect.left;
  p.MarkDirty(kDirtyLayout | kDirtyPalettes);
}

void DrawBrushPicker(Panels& p, platform::TextPainter* text) {
  gfx::Bitmap24& image = p.ImagePW.picture;
  if (image.Empty()) return;
  image.FillRect({-1, -1, kBrushPickerWidth + 1, 496}, kBrushPickerBackground);
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
      DrawBoxedLabel(text, image, col * kBrushCell, row * kBrushCell,
                     settings::FormatFixed(kBrushSizes[row * kBrushPickerColumns + col], 1), true,
                     kBrushPickerBackground);
  p.MarkDirty(kDirtyLayout);
}

void ImagePWMouseDown(Panels& p, input::PenInput& pen, int x, int y, platform::TextPainter* text) {
  if (x < 0 || y < 0) return;
  const int col = x / kBrushCell, row = y / kBrushCell;
  if (col >= kBrushPickerColumns || row >= kBrushPickerRows) return;
  pen.brush_size = kBrushSizes[row * kBrushPickerColumns + col];
  DrawBrushPreview(p, pen, text);
}

void DrawBrushPreview(Panels& p, const input::PenInput& pen, platform::TextPainter* text) {
  gfx::Bitmap24 preview(kSwatchSize, kSwatchSize, gfx::kWhite);
  {
    ink::BrushRenderer r(preview);
    r.LoadFromTarget();
    r.SetColor(PaletteColor(p.palette_row, p.palette_column));
    r.BeginAt(23, 23, pen.brush_size);
    r.DownsampleAll();
  }
  if (p.control_panel_canvas.Empty()) return;
  gfx::Canvas c(p.control_panel_canvas);
  c.StretchCopy(kPreviewRect, preview);
  // The size goes under the preview, where it hides nothing of the disc; the skin under the
  // last one is put back first.
  const gfx::Rect label{kPreviewRect.left - 4, kPreviewRect.bottom + 1, kPreviewRect.right + 4,
                        kPreviewRect.bottom + 1 + kLabelPixelSize + 2};
  c.brush = {kPanelFace, gfx::BrushStyle::Solid};
  c.FillRect(label);
  const gfx::Bitmap24& skin = p.skin[kSkinControlPanel];
  if (!skin.Empty()) c.StretchCopy(label, skin, label);
  if (text) {
    const std::string size = ShortestDecimal(pen.brush_size);
    const platform::TextStyle style{kLabelBlue, false, kLabelPixelSize};
    const int width = text->MeasureText(size, style).width;
    text->DrawText(p.control_panel_canvas, (kPreviewRect.left + kPreviewRect.right - width) / 2,
                   label.top, size, style);
  }
  p.MarkDirty(kDirtyControlPanel);
}

void DrawPaletteButtons(Panels& p) {
  if (p.control_panel_canvas.Empty()) return;
  gfx::Canvas c(p.control_panel_canvas);
  for (int row = 0; row < kPaletteRows; ++row) {
    const gfx::Bitmap24* image = &p.skin[kPaletteButtonSkins[row]];
    const auto& swatches = p.palette_swatches[row];
    if (row == p.palette_row && p.palette_column >= 0 && p.palette_column < int(swatches.size()))
      image = &swatches[p.palette_column].picture;
    if (!image->Empty()) c.Draw(kPaletteButtonX[row], kPaletteButtonY, *image);
  }
  p.MarkDirty(kDirtyControlPanel);
}

void ChoosePaletteRow(Panels& p, input::PenInput& pen, int row, platform::TextPainter* text) {
  p.palette_row = row;
  p.palette_column = 0;
  pen.ink_color = PaletteColor(row, 0);
  for (int r = 0; r < kPaletteRows; ++r) p.palette_panels[r].visible = r == row;
  DrawBrushPreview(p, pen, text);
  DrawPaletteButtons(p);
  p.MarkDirty(kDirtyLayout | kDirtyPalettes);
}

void PaletteSwatchClick(Panels& p, input::PenInput& pen, int row, int tag,
                        platform::TextPainter* text) {
  if (row < 0 || row >= kPaletteRows || tag < 0 || tag >= kPaletteRowSizes[row]) return;
  p.palette_row = row;
  p.palette_column = tag;
  pen.ink_color = PaletteColor(row, tag);
  DrawPaletteButtons(p);
  // The preview shows the ink it will write with.
  DrawBrushPreview(p, pen, text);
  p.palette_panels[row].visible = false;
  p.MarkDirty(kDirtyLayout | kDirtyPalettes);
}

void HideWorkPanels(Panels& p) {
  p.ControlPanel.visible = false;
  p.ZoomPanel.visible = false;
  for (auto& palette : p.palette_panels) palette.visible = false;
  p.PenWPanel.visible = false;
  p.GridPanel.visible = false;
  p.MarkDirty(kDirtyLayout);
}

std::vector<gfx::Rect> DeskArea(const Panels& p) {
  const gfx::Rect client{0, 0, p.client_width, p.client_height};
  const gfx::Rect w = p.Workspace().Intersected(client);
  std::vector<gfx::Rect> bands;
  auto add = [&](const gfx::Rect& r) {
    if (!r.Empty()) bands.push_back(r);
  };
  if (w.Empty()) {
    add(client);
    return bands;
  }
  add({client.left, client.top, client.right, w.top});
  add({client.left, w.bottom, client.right, client.bottom});
  add({client.left, w.top, w.left, w.bottom});
  add({w.right, w.top, client.right, w.bottom});
  return bands;
}

Hit HitTest(const Panels& p, int window_x, int window_y) {
  // Into workspace pixels, where every component lies.
  if (!p.Workspace().Contains(window_x, window_y)) return {};
  const int x = window_x - p.origin.x, y = window_y - p.origin.y;
  if (p.PanelProgress.panel.Shows(x, y)) return {Surface::kProgress};
  // An image on a panel takes the clicks over it.
  auto on = [](const ImageControl& image, int px, int py) {
    return image.visible &&
           gfx::Rect{image.left, image.top, image.left + image.Width(), image.top + image.Height()}
               .Contains(px, py);
  };
  if (p.GridPanel.Shows(x, y)) {
    const int px = x - p.GridPanel.left, py = y - p.GridPanel.top;
    if (on(p.ImgGridSelect, px, py))
      return {Surface::kGridList, px - p.ImgGridSelect.left, py - p.ImgGridSelect.top};
    if (on(p.ImgGrid, px, py))
      return {Surface::kGridPreview, px - p.ImgGrid.left, py - p.ImgGrid.top};
    return {Surface::kGridPanel, px, py};
  }
  if (p.ZoomPanel.Shows(x, y)) {
    const int px = x - p.ZoomPanel.left, py = y - p.ZoomPanel.top;
    const gfx::Rect overview{p.ImgZoom.left, p.ImgZoom.top, p.ImgZoom.left + ink::kOverviewWidth,
                             p.ImgZoom.top + ink::kOverviewHeight};
    if (p.ImgZoom.visible && overview.Contains(px, py))
      return {Surface::kOverview, px - p.ImgZoom.left, py - p.ImgZoom.top};
    return {Surface::kZoomPanel, px, py};
  }
  if (p.PenWPanel.visible) {
    const gfx::Rect r = gfx::Rect{0, 0, p.ImagePW.Width(), p.ImagePW.Height()}.Translated(
        p.PenWPanel.left + p.ImagePW.left, p.PenWPanel.top + p.ImagePW.top);
    if (r.Contains(x, y)) return {Surface::kBrushPicker, x - r.left, y - r.top};
  }
  for (int row = 0; row < kPaletteRows; ++row) {
    const PanelControl& palette = p.palette_panels[row];
    if (palette.Shows(x, y)) return {Surface::kPalette, x - palette.left, y - palette.top, row};
  }
  if (p.ControlPanel.Shows(x, y))
    return {Surface::kControlPanel, x - p.ControlPanel.left, y - p.ControlPanel.top};
  if (p.PlayPanel.Shows(x, y))
    return {Surface::kPlayPanel, x - p.PlayPanel.left, y - p.PlayPanel.top};
  if (p.TabletPanel.Shows(x, y)) {
    const int tx = x - p.TabletPanel.left, ty = y - p.TabletPanel.top;
    const ImageControl& t = p.ImgTmp;
    if (t.visible &&
        gfx::Rect{t.left, t.top, t.left + t.Width(), t.top + t.Height()}.Contains(tx, ty))
      return {Surface::kCalibrationTarget, tx - t.left, ty - t.top};
    const StretchedImage& stamp = p.ImgStamp;
    if (stamp.visible && stamp.Bounds().Contains(tx, ty))
      return {Surface::kStampImage, tx - stamp.left, ty - stamp.top};
    return {Surface::kWritingArea, tx - p.ImgA.left, ty - p.ImgA.top};
  }
  return {};
}

}  // namespace zevo::workspace
