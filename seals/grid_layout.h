#pragma once

#include <array>
#include <cstdint>

namespace zevo::seals {

// The writing grid in paper pixels: the lattice drawn under the writing.
struct GridLayout {
  int cell_width = 250;   // distance between vertical lines
  int cell_height = 250;  // distance between horizontal lines
  int left = 11;          // x of the first vertical line
  int top = 109;          // y of the first horizontal line
  int column_count = 4;
  int row_count = 2;
  friend bool operator==(const GridLayout&, const GridLayout&) = default;
};

// One of the lattices offered by the grid panel; square cells.
struct GridPreset {
  int cell = 0;
  int columns = 0;
  int rows = 0;
  int left = 0;
  int top = 0;
  friend bool operator==(const GridPreset&, const GridPreset&) = default;
};

inline constexpr int kGridPresetCount = 20;
// The layout the main window starts with (preset 2, both line sets).
inline constexpr int kInitialGridPreset = 2;

// The preset lattice p (0 .. 19). The widths are laid out over 1022 x 700, the height centred
// in 718; the table is part of the stored files' meaning, so these constants stay as they are.
constexpr GridPreset MakeGridPreset(int p) {
  GridPreset g;
  g.cell = 1000 / (p + 2);
  g.columns = 1000 / g.cell;
  g.rows = 700 / g.cell;
  g.left = (1022 - g.columns * g.cell) >> 1;
  g.top = (718 - g.rows * g.cell) >> 1;
  return g;
}

constexpr std::array<GridPreset, kGridPresetCount> MakeGridPresetTable() {
  std::array<GridPreset, kGridPresetCount> table{};
  for (int p = 0; p < kGridPresetCount; ++p) table[p] = MakeGridPreset(p);
  return table;
}

inline constexpr std::array<GridPreset, kGridPresetCount> kGridPresets = MakeGridPresetTable();

// The layout a preset gives: with its vertical lines off a preset keeps only the outer
// vertical lines (one cell as wide as all columns), and likewise for the horizontal lines.
GridLayout LayoutFromPreset(const GridPreset& preset, bool vertical_lines_on,
                            bool horizontal_lines_on);

// The first preset whose cell equals the given size, or -1.
int FindGridPresetByCell(int cell);

// The end points of one grid line (the end point itself is not drawn). 64-bit, because a
// layout read from a file may hold any 16-bit values and their products.
struct GridLine {
  std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  friend bool operator==(const GridLine&, const GridLine&) = default;
};

// Vertical line i (0 .. column count) and horizontal line j (0 .. row count) of a layout, in
// the layout's own units; each caller scales them to its bitmap.
GridLine VerticalGridLine(const GridLayout& layout, int i);
GridLine HorizontalGridLine(const GridLayout& layout, int j);

}  // namespace zevo::seals
