#pragma once

#include <optional>
#include <string>

#include "base/progress.h"
#include "base/truncate.h"
#include "gfx/bitmap24.h"
#include "gfx/canvas.h"
#include "ink/brush_renderer.h"
#include "ink/entry_painter.h"
#include "ink/stroke_document.h"
#include "seals/background.h"
#include "seals/grid_layout.h"

namespace zevo::output {

// What a sheet is rendered from: the main window's background state, grid, trace model and
// live history. Documents are read, except for their current position (see the renderers).
struct SheetInputs {
  seals::BackgroundView background;
  seals::GridLayout grid;
  bool grid_shown = false;
  ink::StrokeDocument* trace_model = nullptr;
  bool trace_shown = false;
  ink::StrokeDocument* live = nullptr;
  // The on-screen paper bitmap (the picture of ImgA); the grid is laid out over its width.
  int paper_width = 1024;
  int paper_height = 718;
};

// The largest work bitmap a renderer is allowed to ask for; beyond it an export or a print is
// refused instead of taking the machine's memory.
inline constexpr std::size_t kMaxWorkBitmapBytes = std::size_t(1) << 30;

// Refuses a target size whose 4x work bitmap the renderers cannot or may not have; empty text
// when the size can work.
std::string CheckWorkBitmapSize(long long target_width, long long target_height);

// How one renderer maps paper coordinates of entries onto its target and work bitmaps.
using SheetMapping = ink::EntryMapping;

// What a sheet that asks for more drawing than the renderer does is refused with.
inline constexpr const char* kTooMuchDrawing =
    "it asks for more drawing than Zevo 3 does (discs or fills that cover the sheet hundreds of "
    "times); it may be damaged";

// The trace model, first to last, in the trace colour (Ink and Fill only); leaves the model at
// its last entry. False when entries were left out (ink::EntryPainter::EntriesLeftOut).
bool DrawTraceModelLayer(ink::BrushRenderer& r, ink::StrokeDocument& model, const SheetMapping& map,
                         base::ProgressDisplay* progress);
// The live history up to and including the current entry; the position is unchanged. False
// when entries were left out.
bool DrawHistoryLayer(ink::BrushRenderer& r, ink::StrokeDocument& live, const SheetMapping& map,
                      base::ProgressDisplay* progress);

// The same walks through a painter the caller keeps, so that a renderer drawing in bands can
// draw them band after band (run may be null).
void PaintTraceModel(ink::EntryPainter& painter, ink::StrokeDocument& model,
                     base::ProgressRun* run);
void PaintHistory(ink::EntryPainter& painter, ink::StrokeDocument& live, base::ProgressRun* run);
// Whether what the layers draw holds a flood fill: a fill spreads over whatever the whole picture
// holds, so a sheet with one is not drawn in bands.
bool TraceModelHoldsFill(const ink::StrokeDocument& model);
bool HistoryHoldsFill(const ink::StrokeDocument& live);

// The texture tile of tile_w x tile_h work pixels, the whole background stretched into it; only
// its top-left part up to max_w x max_h is kept, since a tile larger than the work bitmap is
// laid once. nullopt when even that cannot be allocated.
std::optional<gfx::Bitmap24> MakeTile(const gfx::Bitmap24& background, int tile_w, int tile_h,
                                      int max_w, int max_h);
// Copies the tile (made for tile_w x tile_h) into dest.
void CopyTile(gfx::Canvas& work, gfx::Rect dest, const gfx::Bitmap24& tile, int tile_w, int tile_h);

}  // namespace zevo::output
