#pragma once

#include "gfx/bitmap24.h"

namespace zevo::ink {

// The ways of averaging 4 x 4 blocks; every one gives the same bytes.
enum class DownsamplePath {
  kScalar,  // plain C++, runs everywhere
  kAvx2,    // x86 AVX2, chosen when the processor has it
};

// Whether this build on this processor can run the path (kScalar always can).
bool DownsamplePathRuns(DownsamplePath path);
// The fastest path that runs here, found once.
DownsamplePath BestDownsamplePath();

// Each target pixel of the rectangle becomes the mean of its 4 x 4 block of work pixels,
// channel by channel, rounded down: (sum of the 16 bytes) >> 4. The work bitmap is exactly
// four times the target in each direction, or (a band) holds the four work rows of each target
// row from `band_top` on; the rectangle (target pixels, right and bottom exclusive) must lie
// inside the target and the band and not be empty. A path that does not run here falls back
// to kScalar.
void Downsample4x4(const gfx::Bitmap24& work, gfx::Bitmap24& target, int left, int top, int right,
                   int bottom, DownsamplePath path, int band_top = 0);
inline void Downsample4x4(const gfx::Bitmap24& work, gfx::Bitmap24& target, int left, int top,
                          int right, int bottom, int band_top = 0) {
  Downsample4x4(work, target, left, top, right, bottom, BestDownsamplePath(), band_top);
}

}  // namespace zevo::ink
