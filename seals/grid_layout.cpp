#include "seals/grid_layout.h"

namespace zevo::seals {

GridLayout LayoutFromPreset(const GridPreset& preset, bool vertical_lines_on,
                            bool horizontal_lines_on) {
  GridLayout g;
  if (vertical_lines_on) {
    g.cell_width = preset.cell;
    g.column_count = preset.columns;
  } else {
    g.cell_width = preset.cell * preset.columns;
    g.column_count = 1;
  }
  if (horizontal_lines_on) {
    g.cell_height = preset.cell;
    g.row_count = preset.rows;
  } else {
    g.cell_height = preset.cell * preset.rows;
    g.row_count = 1;
  }
  g.left = preset.left;
  g.top = preset.top;
  return g;
}

int FindGridPresetByCell(int cell) {
  for (int p = 0; p < kGridPresetCount; ++p)
    if (kGridPresets[p].cell == cell) return p;
  return -1;
}

GridLine VerticalGridLine(const GridLayout& g, int i) {
  const std::int64_t x = std::int64_t(g.left) + std::int64_t(g.cell_width) * i;
  return {x, g.top, x, std::int64_t(g.top) + std::int64_t(g.cell_height) * g.row_count};
}

GridLine HorizontalGridLine(const GridLayout& g, int j) {
  const std::int64_t y = std::int64_t(g.top) + std::int64_t(g.cell_height) * j;
  return {g.left, y, std::int64_t(g.left) + std::int64_t(g.cell_width) * g.column_count, y};
}

}  // namespace zevo::seals
