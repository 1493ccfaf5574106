#pragma once

#include <variant>
#include <vector>

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "ink/entry_painter.h"
#include "ink/stroke_document.h"
#include "output/sheet_layers.h"

namespace zevo::output {

// The sheet picture as shapes, for vector files (PDF, SVG): the paper, background, grid and trace
// model as one raster picture underneath, then the live history's entries in order, each ink
// stroke as the discs and joining quadrilaterals the brush renderer fills, each picture or seal
// as its bitmap placed at its rectangle. All coordinates are picture pixels of a width x height
// sheet picture, floats, so that the shapes can be drawn at any scale.

// A disc at (x, y) of radius r.
struct VectorDisc {
  float x = 0, y = 0, r = 0;
};
// A quadrilateral joining two consecutive discs, its corners clockwise as seen on the page (x
// right, y down), the way a disc's arc from angle 0 upwards turns, so that shapes filled
// together with the nonzero rule never cancel.
struct VectorQuad {
  float x[4] = {}, y[4] = {};
};
// One ink stroke: the union of its shapes, filled in its colour.
struct VectorStroke {
  gfx::Color color = gfx::kBlack;
  std::vector<VectorDisc> discs;
  std::vector<VectorQuad> quads;
};
// A picture or seal: bitmap stretched over [left, right) x [top, bottom), white transparent. A
// right below left (or bottom above top) draws it mirrored.
struct VectorImage {
  const gfx::Bitmap24* bitmap = nullptr;
  float left = 0, top = 0, right = 0, bottom = 0;
};
using VectorItem = std::variant<VectorStroke, VectorImage>;

struct VectorSheet {
  int width = 0;
  int height = 0;
  // The sheet without the live history, or, when whole_raster is set, the whole sheet picture.
  gfx::Bitmap24 underlay;
  // A flood fill spreads over whatever pixels the sheet holds, which shapes do not give: a sheet
  // whose shown history holds one is the raster picture alone, without items.
  bool whole_raster = false;
  // The shown history's entries, first to last; pictures point into the live document.
  std::vector<VectorItem> items;
};

// The shapes of one ink stroke drawn through map: a disc at every sample (none of radius 0),
// and between consecutive samples the quadrilateral of the outer common tangents, none when one
// disc lies inside the other. Samples with values that are not finite or far outside any sheet
// are left out with the joins that reach them.
VectorStroke StrokeShapes(const ink::Stroke& stroke, const ink::EntryMapping& map,
                          gfx::Color color);

// The sheet of in as a vector sheet of width x height picture pixels; the underlay is rendered at
// underlay_scale times that size (1 to 16) for a finer paper in print. Refused as
// RenderSheetPicture refuses a size. The live document's position is unchanged.
Result<VectorSheet> BuildVectorSheet(int width, int height, const SheetInputs& in,
                                     int underlay_scale = 1);

}  // namespace zevo::output
