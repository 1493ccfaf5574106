#include "workspace/grid_view.h"

#include <algorithm>
#include <string>

#include "gfx/canvas.h"
#include "platform/text_painter.h"
#include "seals/grid_pages.h"

namespace zevo::workspace {

namespace {

constexpr int kListTextSize = 13;

void DrawSkinAt(gfx::Bitmap24& target, const gfx::Bitmap24& image, int x, int y) {
  if (!image.Empty() && !target.Empty()) gfx::Canvas(target).Draw(x, y, image);
}

// The track and its thumb at `thumb_top` on the preset list.
void DrawTrack(Panels& p, int thumb_top) {
  gfx::Bitmap24& list = p.ImgGridSelect.picture;
  DrawSkinAt(list, p.skin[kSkinGridTrack], kGridTrackLeft, 0);
  DrawSkinAt(list, p.skin[kSkinGridThumb], kGridTrackLeft, thumb_top);
  p.MarkDirty(kDirtyGridPanel);
}

}  // namespace

seals::GridLayout CandidateLayout(const GridView& grid) {
  const int p = std::clamp(grid.selected_preset, 0, seals::kGridPresetCount - 1);
  return seals::LayoutFromPreset(seals::kGridPresets[p], grid.vertical_lines_on,
                                 grid.horizontal_lines_on);
}

void SelectMatchingPreset(GridView& grid, const seals::GridLayout& layout) {
  const int by_width = seals::FindGridPresetByCell(layout.cell_width);
  const int by_height = seals::FindGridPresetByCell(layout.cell_height);
  if (by_width >= 0) {
    grid.selected_preset = by_width;
    if (by_height < 0) {
      grid.vertical_lines_on = true;
      grid.horizontal_lines_on = false;
    }
  } else if (by_height >= 0) {
    grid.selected_preset = by_height;
    grid.vertical_lines_on = false;
    grid.horizontal_lines_on = true;
  }
  BringSelectionIntoList(grid);
}

void BringSelectionIntoList(GridView& grid) {
  while (grid.selected_preset < grid.list_offset) --grid.list_offset;
  while (grid.list_offset + kGridListRows - 1 < grid.selected_preset) ++grid.list_offset;
}

void FlipVerticalLines(GridView& grid) {
  grid.vertical_lines_on = !grid.vertical_lines_on;
  if (!grid.vertical_lines_on && !grid.horizontal_lines_on) grid.horizontal_lines_on = true;
}

void FlipHorizontalLines(GridView& grid) {
  grid.horizontal_lines_on = !grid.horizontal_lines_on;
  if (!grid.horizontal_lines_on && !grid.vertical_lines_on) grid.vertical_lines_on = true;
}

void PreviousPreset(GridView& grid) {
  if (grid.selected_preset >= 1) --grid.selected_preset;
}

void NextPreset(GridView& grid) {
  if (grid.selected_preset <= seals::kGridPresetCount - 2) ++grid.selected_preset;
}

void RedrawGridPanel(GridPanelView v) {
  Panels& p = v.panels;
  GridView& g = v.grid;
  PaintGridPanel(p);
  DrawSkinAt(p.grid_panel_canvas, p.skin[g.vertical_lines_on ? kSkinCheckOn : kSkinCheckOff],
             kGridVerticalToggle.x, kGridVerticalToggle.y);
  DrawSkinAt(p.grid_panel_canvas, p.skin[g.horizontal_lines_on ? kSkinCheckOn : kSkinCheckOff],
             kGridHorizontalToggle.x, kGridHorizontalToggle.y);

  gfx::Bitmap24& preview = p.ImgGrid.picture;
  preview = v.overview;
  if (v.sheet.grid_shown) seals::DrawGridOverview(preview, v.sheet.grid, kGridCurrentColor);
  seals::DrawGridOverview(preview, CandidateLayout(g), kGridCandidateColor);

  BringSelectionIntoList(g);
  DrawTrack(p, g.list_offset * kGridThumbTravel / kGridMaxListOffset);
  DrawGridListRows(v);
}

void DrawGridListRows(GridPanelView v) {
  Panels& p = v.panels;
  gfx::Bitmap24& list = p.ImgGridSelect.picture;
  const platform::TextStyle style{gfx::kBlack, true, kListTextSize};
  for (int i = 0; i < kGridListRows; ++i) {
    const int preset = v.grid.list_offset + i;
    if (preset < 0 || preset >= seals::kGridPresetCount) continue;
    const int top = kGridRowHeight * i;
    DrawSkinAt(list, p.skin[preset == v.grid.selected_preset ? kSkinGridRowChosen : kSkinGridRow],
               0, top + 1);
    if (v.text == nullptr) continue;
    const seals::GridPreset& g = seals::kGridPresets[preset];
    const std::string label = std::to_string(g.columns) + " x " + std::to_string(g.rows);
    const platform::TextSize size = v.text->MeasureText(label, style);
    v.text->DrawText(list, (kGridRowWidth - size.width) / 2,
                     top + (kGridRowHeight - size.height) / 2, label, style);
  }
  p.MarkDirty(kDirtyGridPanel);
}

void OpenGridPanel(GridPanelView v) {
  SelectMatchingPreset(v.grid, v.sheet.grid);
  RedrawGridPanel(v);
  v.panels.GridPanel.visible = !v.panels.GridPanel.visible;
  v.panels.MarkDirty(kDirtyLayout | kDirtyGridPanel);
}

void GridListPress(GridPanelView v, int x, int y) {
  if (x < kGridRowWidth) {
    if (y < 0) return;
    v.grid.selected_preset =
        std::clamp(y / kGridRowHeight + v.grid.list_offset, 0, seals::kGridPresetCount - 1);
    RedrawGridPanel(v);
    return;
  }
  v.grid.scrolling = true;
  GridListMove(v, y);
}

void GridListMove(GridPanelView v, int y) {
  if (!v.grid.scrolling) return;
  // The thumb follows the pointer; the list moves when the pointer has passed a row's share.
  int thumb = 0;
  if (y > kGridScrollBottom)
    thumb = kGridThumbTravel - 1;
  else if (y >= kGridScrollTop)
    thumb = y - kGridScrollTop;
  DrawTrack(v.panels, thumb);
  const int offset = std::clamp((y - kGridScrollTop) * 3 * kGridListRows / kGridThumbTravel, 0,
                                kGridMaxListOffset);
  if (offset != v.grid.list_offset) {
    v.grid.list_offset = offset;
    DrawGridListRows(v);
  }
}

void GridListRelease(GridView& grid) {
  grid.scrolling = false;
}

void ApplyGridPreset(Panels& panels, GridView& grid, seals::SheetPages& sheet, ink::PageView view) {
  panels.GridPanel.visible = false;
  sheet.grid = CandidateLayout(grid);
  sheet.RebuildGridPages(view);
  if (!sheet.grid_shown) {
    sheet.grid_shown = true;
    PaintGridToggle(panels, true);
  }
  panels.MarkDirty(kDirtyLayout);
}

void ToggleGridShown(Panels& panels, seals::SheetPages& sheet) {
  sheet.grid_shown = !sheet.grid_shown;
  PaintGridToggle(panels, sheet.grid_shown);
}

}  // namespace zevo::workspace
