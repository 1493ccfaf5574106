#pragma once

#include "gfx/bitmap24.h"
#include "ink/entry_painter.h"
#include "seals/grid_layout.h"
#include "seals/sheet_pages.h"
#include "workspace/panels.h"

namespace zevo::platform {
class TextPainter;
}

namespace zevo::workspace {

// The grid panel: a list of the preset lattices, two toggles that keep a preset's vertical or
// horizontal lines, and a preview of the current grid and the candidate over the overview.

// The preset list shows five rows of 36 pixels; a scroll track on its right.
inline constexpr int kGridListRows = 5;
inline constexpr int kGridRowHeight = 36;
inline constexpr int kGridRowWidth = 92;
inline constexpr int kGridTrackLeft = 102;
inline constexpr int kGridMaxListOffset = seals::kGridPresetCount - kGridListRows;
// The thumb's travel on the track, in pixels, and where the pointer's travel begins and ends.
inline constexpr int kGridThumbTravel = 130;
inline constexpr int kGridScrollTop = 25;
inline constexpr int kGridScrollBottom = 155;
// The preview: the current grid pale, the candidate red.
inline constexpr gfx::Color kGridCurrentColor = 0x00F0F0FF;
inline constexpr gfx::Color kGridCandidateColor = 0x000000FF;

struct GridView {
  bool vertical_lines_on = true;
  bool horizontal_lines_on = true;
  int selected_preset = seals::kInitialGridPreset;
  int list_offset = 0;  // the first preset in the list
  bool scrolling = false;
};

// The layout the selected preset gives with the chosen lines.
seals::GridLayout CandidateLayout(const GridView& grid);

// The preset that matches a layout: by its cell width, else by its cell height, each with only
// that set of lines; nothing changes when none matches. The selection is then scrolled into
// the list.
void SelectMatchingPreset(GridView& grid, const seals::GridLayout& layout);
void BringSelectionIntoList(GridView& grid);

// The toggles: one set of lines is always kept, so turning off the last one turns the other
// back on.
void FlipVerticalLines(GridView& grid);
void FlipHorizontalLines(GridView& grid);
void PreviousPreset(GridView& grid);
void NextPreset(GridView& grid);

// What the grid panel is drawn from.
struct GridPanelView {
  Panels& panels;
  GridView& grid;
  const gfx::Bitmap24& overview;   // the overview image, under the preview
  const seals::SheetPages& sheet;  // the current grid and whether it is shown
  platform::TextPainter* text;
};

// The toggles, the preview, the track with its thumb and the list rows.
void RedrawGridPanel(GridPanelView v);
void DrawGridListRows(GridPanelView v);

// Opening from the control panel: the preset of the current grid, then the panel shows or hides.
void OpenGridPanel(GridPanelView v);

// The preset list's mouse, in list pixels: a press on a row selects it, a press on the track
// and the moves that follow scroll the list.
void GridListPress(GridPanelView v, int x, int y);
void GridListMove(GridPanelView v, int y);
void GridListRelease(GridView& grid);

// The chosen preset becomes the grid, which is then shown; the panel closes. The caller
// redraws the views from the history.
void ApplyGridPreset(Panels& panels, GridView& grid, seals::SheetPages& sheet, ink::PageView view);
// "show grid lines" on the control panel. The caller redraws the views.
void ToggleGridShown(Panels& panels, seals::SheetPages& sheet);

}  // namespace zevo::workspace
