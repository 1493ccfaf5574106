#include "workspace/dirty_area.h"

#include <limits>
#include <utility>

namespace zevo::workspace {

namespace {

bool OverlapOrTouch(const gfx::Rect& a, const gfx::Rect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

long long Area(const gfx::Rect& r) {
  return (long long)r.Width() * r.Height();
}

}  // namespace

void DirtyArea::Add(const gfx::Rect& r) {
  if (r.Empty()) return;
  gfx::Rect merged = r;
  // A union may reach rectangles the new one did not: merge until none is met.
  for (bool met = true; met;) {
    met = false;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
      if (!OverlapOrTouch(merged, rects_[i])) continue;
      merged = merged.United(rects_[i]);
      rects_.erase(rects_.begin() + std::ptrdiff_t(i));
      met = true;
      break;
    }
  }
  rects_.push_back(merged);
  if (rects_.size() <= kMaxRects) return;
  // Too many apart: the pair whose union adds the least area becomes one.
  std::size_t bi = 0, bj = 1;
  long long best = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < rects_.size(); ++i)
    for (std::size_t j = i + 1; j < rects_.size(); ++j) {
      const long long grow = Area(rects_[i].United(rects_[j])) - Area(rects_[i]) - Area(rects_[j]);
      if (grow < best) {
        best = grow;
        bi = i;
        bj = j;
      }
    }
  const gfx::Rect pair = rects_[bi].United(rects_[bj]);
  rects_.erase(rects_.begin() + std::ptrdiff_t(bj));
  rects_.erase(rects_.begin() + std::ptrdiff_t(bi));
  Add(pair);
}

std::vector<gfx::Rect> DirtyArea::Take() {
  return std::exchange(rects_, {});
}

}  // namespace zevo::workspace
