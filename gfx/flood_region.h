#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::gfx {

// The 4-connected region of one colour around a seed, found without painting it: the region a
// flood fill from that seed paints. Lets a run of fills that all land in one region be painted
// once, in the colour of the last.
class FloodRegion {
 public:
  // Finds the region of `bm` around (x, y); false (and an empty region) for a seed outside.
  bool Find(const Bitmap24& bm, int x, int y);
  bool Empty() const { return spans_.empty(); }
  bool Contains(int x, int y) const;
  // Whether a pixel next to the region (4-connected) has colour c: painting the region in c
  // would join it to that neighbour.
  bool Borders(Color c) const;
  Color Surface() const { return surface_; }
  // The number of pixels in the region.
  std::size_t Area() const { return area_; }
  // Paints the region in c, as a flood fill from its seed in c would.
  void Paint(Bitmap24& bm, Color c) const;

 private:
  struct Span {
    int y, x0, x1;
  };
  int width_ = 0, height_ = 0;
  Color surface_ = 0;
  std::vector<std::uint8_t> mask_;
  std::vector<Span> spans_;
  std::size_t area_ = 0;
  std::unordered_set<Color> border_;
  bool border_overflow_ = false;
  int mask_top_ = 0, mask_bottom_ = 0;  // rows of the mask that may be set
};

}  // namespace zevo::gfx
