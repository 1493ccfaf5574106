#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::output {

// At most max_colors colours for picture: its own colours when there are no more than that
// (the most used first), else boxes of the colours it uses, split at the middle of their longest
// side, the widest box first, so that no colour lies far from the palette, each box given the
// mean of its pixels.
std::vector<gfx::Color> BuildPalette(const gfx::Bitmap24& picture, int max_colors);

// The palette entry nearest each colour (squared distance of red, green and blue; the first of
// equals), remembered for the colours met.
class PaletteIndex {
 public:
  explicit PaletteIndex(std::vector<gfx::Color> palette) : palette_(std::move(palette)) {}
  std::uint8_t Of(gfx::Color c);
  const std::vector<gfx::Color>& Colors() const { return palette_; }

 private:
  std::vector<gfx::Color> palette_;
  std::unordered_map<gfx::Color, std::uint8_t> known_;
};

}  // namespace zevo::output
