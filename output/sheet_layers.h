#pragma once

#include <optional>
#include <string>

#include "gfx/bitmap24.h"
#include "gfx/canvas.h"
#include "ink/brush_renderer.h"
#include "ink/stroke_document.h"
#include "output/progress.h"
#include "seals/background.h"
#include "workspace/grid_layout.h"

namespace zevo::output {

// What a sheet is rendered from: the main window's background state, grid, trace model and
// live history. Documents are read, except for their current position (see the renderers).
struct SheetInputs {
  seals::BackgroundView background;
  workspace::GridLayout grid;
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
class SheetMapping {
 public:
  virtual ~SheetMapping() = default;
  // A sample in target pixels (x, y, radius).
  virtual void Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const = 0;
  // The seed of a flood fill in work pixels.
  virtual gfx::Point FillSeed(float x, float y) const = 0;
  // Draws a Picture or Stamp entry onto the work bitmap.
  virtual void DrawPicture(gfx::Canvas& work, const ink::Stroke& entry) const = 0;
  virtual void DrawStamp(gfx::Canvas& work, const ink::Stroke& entry) const = 0;
};

// Float to integer toward zero, held where the arithmetic on the result (times 4) stays defined.
int TruncCoord(double v);

// The trace model, first to last, in the trace colour (Ink and Fill only); leaves the model at
// its last entry.
void DrawTraceModelLayer(ink::BrushRenderer& r, ink::StrokeDocument& model, const SheetMapping& map,
                         ProgressDisplay* progress);
// The live history up to and including the current entry; the position is unchanged.
void DrawHistoryLayer(ink::BrushRenderer& r, ink::StrokeDocument& live, const SheetMapping& map,
                      ProgressDisplay* progress);

// The texture tile of tile_w x tile_h work pixels, the whole background stretched into it; only
// its top-left part up to max_w x max_h is kept, since a tile larger than the work bitmap is
// laid once. nullopt when even that cannot be allocated.
std::optional<gfx::Bitmap24> MakeTile(const gfx::Bitmap24& background, int tile_w, int tile_h,
                                      int max_w, int max_h);
// Copies the tile (made for tile_w x tile_h) into dest.
void CopyTile(gfx::Canvas& work, gfx::Rect dest, const gfx::Bitmap24& tile, int tile_w, int tile_h);

}  // namespace zevo::output
