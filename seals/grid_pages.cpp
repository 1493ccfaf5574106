#include "seals/grid_pages.h"

#include "base/truncate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/canvas.h"

namespace zevo::seals {

namespace {

void CopyInto(gfx::Bitmap24& dest, const gfx::Bitmap24& src) {
  if (dest.Width() != src.Width() || dest.Height() != src.Height())
    dest = gfx::Bitmap24(src.Width(), src.Height());
  gfx::Canvas(dest).Draw(0, 0, src);
}

GridLine Quarter(GridLine l) {
  return {l.x0 >> 2, l.y0 >> 2, l.x1 >> 2, l.y1 >> 2};
}

}  // namespace

void DrawGridLine(gfx::Canvas& c, const GridLine& l) {
  // Outside this margin a pen dot cannot reach the bitmap, so clamping keeps every pixel.
  const std::int64_t m = std::int64_t(std::max(c.pen.width, 1)) + 2;
  // A line wholly beyond the margin draws nothing; clamped onto the margin it would still be
  // walked along the bitmap's side, and a file's grid may hold 65536 such lines.
  const std::int64_t w = c.Target().Width(), h = c.FullHeight();
  if (std::max(l.x0, l.x1) < -m || std::min(l.x0, l.x1) > w + m || std::max(l.y0, l.y1) < -m ||
      std::min(l.y0, l.y1) > h + m) {
    return;
  }
  auto cx = [&](std::int64_t v) {
    return int(std::clamp<std::int64_t>(v, -m, std::int64_t(c.Target().Width()) + m));
  };
  auto cy = [&](std::int64_t v) { return int(std::clamp<std::int64_t>(v, -m, h + m)); };
  c.MoveTo(cx(l.x0), cy(l.y0));
  c.LineTo(cx(l.x1), cy(l.y1));
}

void DrawGridOverview(gfx::Bitmap24& overview, const GridLayout& g, gfx::Color color) {
  gfx::Canvas c(overview);
  c.pen = gfx::Pen{color, 1, gfx::PenMode::Copy};
  for (int i = 0; i <= g.column_count; ++i) {
    DrawGridLine(c, Quarter(VerticalGridLine(g, i)));
  }
  for (int j = 0; j <= g.row_count; ++j) {
    DrawGridLine(c, Quarter(HorizontalGridLine(g, j)));
  }
}

void BuildGridPages(const gfx::Bitmap24& blank_page, const gfx::Bitmap24& blank_overview,
                    const GridLayout& g, PageView view, gfx::Bitmap24& grid_page,
                    gfx::Bitmap24& grid_overview) {
  CopyInto(grid_page, blank_page);
  CopyInto(grid_overview, blank_overview);
  DrawGridOverview(grid_overview, g, kGridOverviewColor);

  gfx::Canvas c(grid_page);
  c.pen = gfx::Pen{kGridColor, 1, gfx::PenMode::Copy};
  const double z = view.z, ox = view.ox, oy = view.oy;
  if (view.z == 1.0f) {
    for (int i = 0; i <= g.column_count; ++i) DrawGridLine(c, VerticalGridLine(g, i));
    for (int j = 0; j <= g.row_count; ++j) DrawGridLine(c, HorizontalGridLine(g, j));
    return;
  }
  for (int i = 0; i <= g.column_count; ++i) {
    const GridLine l = VerticalGridLine(g, i);
    const std::int64_t x = base::TruncToInt((double(l.x0) - ox) * z);
    DrawGridLine(c, {x, base::TruncToInt(z * (double(l.y0) - oy)), x,
                     base::TruncToInt((double(l.y1) - oy) * z)});
  }
  for (int j = 0; j <= g.row_count; ++j) {
    const GridLine l = HorizontalGridLine(g, j);
    const std::int64_t y = base::TruncToInt(z * (double(l.y0) - oy));
    DrawGridLine(c, {base::TruncToInt((double(l.x0) - ox) * z), y,
                     base::TruncToInt((double(l.x1) - ox) * z), y});
  }
}

}  // namespace zevo::seals
