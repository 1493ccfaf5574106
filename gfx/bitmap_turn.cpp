#include "gfx/bitmap_turn.h"

#include <algorithm>
#include <cstring>

namespace zevo::gfx {
namespace {

// A quarter turn reads rows and writes columns; working in square tiles keeps both the
// source and the destination lines of a tile in the cache.
constexpr int kTile = 64;

void CopyPixel(const std::uint8_t* from, std::uint8_t* to) {
  to[0] = from[0];
  to[1] = from[1];
  to[2] = from[2];
}

// clockwise: (x, y) -> (h - 1 - y, x); otherwise (x, y) -> (y, w - 1 - x).
Bitmap24 TurnQuarter(const Bitmap24& source, bool clockwise) {
  const int w = source.Width();
  const int h = source.Height();
  Bitmap24 out(h, w);
  for (int ty = 0; ty < h; ty += kTile) {
    const int y_end = std::min(h, ty + kTile);
    for (int tx = 0; tx < w; tx += kTile) {
      const int x_end = std::min(w, tx + kTile);
      for (int y = ty; y < y_end; ++y) {
        const std::uint8_t* src = source.Row(y) + std::ptrdiff_t(tx) * 3;
        if (clockwise) {
          const std::ptrdiff_t column = std::ptrdiff_t(h - 1 - y) * 3;
          for (int x = tx; x < x_end; ++x, src += 3) CopyPixel(src, out.Row(x) + column);
        } else {
          const std::ptrdiff_t column = std::ptrdiff_t(y) * 3;
          for (int x = tx; x < x_end; ++x, src += 3) CopyPixel(src, out.Row(w - 1 - x) + column);
        }
      }
    }
  }
  return out;
}

}  // namespace

Bitmap24 TurnQuarterCounterClockwise(const Bitmap24& source) {
  return TurnQuarter(source, false);
}

Bitmap24 TurnQuarterClockwise(const Bitmap24& source) {
  return TurnQuarter(source, true);
}

Bitmap24 TurnHalf(const Bitmap24& source) {
  const int w = source.Width();
  const int h = source.Height();
  Bitmap24 out(w, h);
  if (out.Empty()) return out;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = source.Row(y);
    std::uint8_t* dst = out.Row(h - 1 - y) + std::ptrdiff_t(w - 1) * 3;
    for (int x = 0; x < w; ++x, src += 3, dst -= 3) CopyPixel(src, dst);
  }
  return out;
}

}  // namespace zevo::gfx
