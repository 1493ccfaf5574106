#pragma once

#include "gfx/bitmap24.h"
#include "gfx/canvas.h"
#include "seals/grid_layout.h"
#include "seals/paper_pages.h"

namespace zevo::seals {

// Line colour of the grid on the page (and in pictures and prints) and on the overview.
inline constexpr gfx::Color kGridColor = 0x00BDBDFF;
inline constexpr gfx::Color kGridOverviewColor = 0x005555FF;

// Draws one grid line (axis-aligned, any 64-bit coordinates) with the canvas's pen; the
// coordinates are first brought near the bitmap so that far-off lines cost nothing.
void DrawGridLine(gfx::Canvas& canvas, const GridLine& line);

// Draws the layout at quarter scale (paper / 4) on an overview-sized bitmap, 1 pixel wide.
void DrawGridOverview(gfx::Bitmap24& overview, const GridLayout& layout, gfx::Color color);

// Rebuilds the grid page and the grid overview page: copies of the given blank pages (the
// trace model pages when the model is shown, else the paper pages) with the grid drawn on,
// the page one at the view's zoom and origin.
void BuildGridPages(const gfx::Bitmap24& blank_page, const gfx::Bitmap24& blank_overview,
                    const GridLayout& layout, seals::PageView view, gfx::Bitmap24& grid_page,
                    gfx::Bitmap24& grid_overview);

}  // namespace zevo::seals
