#include "gfx/ellipse_outline.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

namespace zevo::gfx {

namespace {

// True when v lies so near a whole number that rounding at another distance from the origin
// could put it on the other side.
bool NearWhole(double v) {
  return std::fabs(v - std::nearbyint(v)) < 1e-6;
}

}  // namespace

const EllipseInnerSpans& InnerSpansFor(int w, int h, int pen_width) {
  thread_local std::unordered_map<std::uint64_t, EllipseInnerSpans> cache;
  const std::uint64_t key = (std::uint64_t(std::uint32_t(pen_width)) << 32) |
                            (std::uint64_t(std::uint32_t(w)) << 16) | std::uint32_t(h);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 1024) cache.clear();
  EllipseInnerSpans s;
  s.x0.assign(std::size_t(h), 0);
  s.x1.assign(std::size_t(h), -1);
  s.kind.assign(std::size_t(h), EllipseInnerSpans::kNone);
  // The row's span as if the box's left edge were at 0: the centre, the half-axes and each
  // row's offset from the centre are the same wherever the box lies (halves of whole numbers),
  // so the square root is too; only where the edges round may the box's place matter.
  const double cx = w * 0.5, cy = h * 0.5;
  const double ia = cx - pen_width, ib = cy - pen_width;
  if (ia <= 0 || ib <= 0) return cache.emplace(key, std::move(s)).first->second;
  for (int y = 0; y < h; ++y) {
    const double dy = (y + 0.5 - cy) / ib;
    const double q = 1.0 - dy * dy;
    if (q < 0) continue;
    const double hw = ia * std::sqrt(q);
    const double left = cx - hw - 0.5, right = cx + hw - 0.5;
    if (NearWhole(left) || NearWhole(right)) {
      s.kind[std::size_t(y)] = EllipseInnerSpans::kCompute;
      continue;
    }
    const int x0 = int(std::ceil(left)), x1 = int(std::floor(right));
    if (x0 > x1) continue;
    s.x0[std::size_t(y)] = x0;
    s.x1[std::size_t(y)] = x1;
    s.kind[std::size_t(y)] = EllipseInnerSpans::kSpan;
  }
  return cache.emplace(key, std::move(s)).first->second;
}

void NotXorPixels(std::uint8_t* p, std::size_t n, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  // ~(c ^ v) == v ^ ~c: four pixels are twelve bytes, a 64-bit and a 32-bit word of the
  // repeated ~c.
  const std::uint8_t k[3] = {std::uint8_t(~b), std::uint8_t(~g), std::uint8_t(~r)};
  std::uint8_t pattern[12];
  for (int i = 0; i < 12; ++i) pattern[i] = k[i % 3];
  std::uint64_t k8;
  std::uint32_t k4;
  std::memcpy(&k8, pattern, 8);
  std::memcpy(&k4, pattern + 8, 4);
  for (; n >= 4; n -= 4, p += 12) {
    std::uint64_t v8;
    std::uint32_t v4;
    std::memcpy(&v8, p, 8);
    std::memcpy(&v4, p + 8, 4);
    v8 ^= k8;
    v4 ^= k4;
    std::memcpy(p, &v8, 8);
    std::memcpy(p + 8, &v4, 4);
  }
  for (; n > 0; --n, p += 3) {
    p[0] ^= k[0];
    p[1] ^= k[1];
    p[2] ^= k[2];
  }
}

}  // namespace zevo::gfx
