#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zevo::gfx {

// The inner edge of an ellipse's outline drawn with a pen of width w in a W x H box: per row,
// the columns inside the inner ellipse (W - 2w by H - 2w about the same centre) as offsets
// from the box's left edge. Outlines of the same box size and pen recur with every pen packet
// (the brush tip), so they are computed once per size.
struct EllipseInnerSpans {
  enum Kind : std::uint8_t {
    kNone,     // the row misses the inner ellipse
    kSpan,     // x0..x1 (offsets, not yet cut to the outer span)
    kCompute,  // too close to a pixel boundary to move with the box: computed where it lies
  };
  std::vector<std::int32_t> x0, x1;
  std::vector<std::uint8_t> kind;
};

// Cached per (W, H, w); W and H at most 8192, w at least 1.
const EllipseInnerSpans& InnerSpansFor(int w, int h, int pen_width);

// n pixels of blue-green-red bytes from p, each byte v made ~(c ^ v) for the colour's byte c
// (the inverting pen's rule), four pixels at a time.
void NotXorPixels(std::uint8_t* p, std::size_t n, std::uint8_t b, std::uint8_t g, std::uint8_t r);

}  // namespace zevo::gfx
