#pragma once

#include <cstddef>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::workspace {

// Rectangles of the window (client pixels, right and bottom exclusive) to repaint at once,
// gathered until the view takes them. Rectangles that overlap or touch become one; beyond a
// few, the two whose union grows least are merged, so the view never has more than a handful
// to repaint.
class DirtyArea {
 public:
  static constexpr std::size_t kMaxRects = 4;

  // An empty rectangle adds nothing.
  void Add(const gfx::Rect& r);
  bool Empty() const { return rects_.empty(); }
  const std::vector<gfx::Rect>& Rects() const { return rects_; }
  // The rectangles gathered, leaving none.
  std::vector<gfx::Rect> Take();

 private:
  std::vector<gfx::Rect> rects_;
};

}  // namespace zevo::workspace
