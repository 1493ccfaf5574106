#pragma once

#include "gfx/bitmap24.h"

namespace zevo::gfx {

// Turned copies of a w x h bitmap. They throw std::bad_alloc like the Bitmap24 constructor.

// Source pixel (x, y) goes to (y, w - 1 - x) of an h x w copy.
Bitmap24 TurnQuarterCounterClockwise(const Bitmap24& source);
// Source pixel (x, y) goes to (w - 1 - x, h - 1 - y) of a w x h copy.
Bitmap24 TurnHalf(const Bitmap24& source);
// Source pixel (x, y) goes to (h - 1 - y, x) of an h x w copy.
Bitmap24 TurnQuarterClockwise(const Bitmap24& source);

}  // namespace zevo::gfx
