#pragma once

#include <algorithm>

namespace zevo::base {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Contains(Point p) const { return Contains(p.x, p.y); }
  Rect Translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  // The common part; empty (all zero) when there is none.
  Rect Intersected(const Rect& o) const {
    const Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                 std::min(bottom, o.bottom)};
    return r.Empty() ? Rect{} : r;
  }
  // The smallest rectangle holding both; an empty side does not count.
  Rect United(const Rect& o) const {
    if (o.Empty()) return *this;
    if (Empty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace zevo::base
