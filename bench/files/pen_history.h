#pragma once

#include <cstdint>
#include <vector>

namespace zevo::bench {

struct PenSample {
  float x = 0;
  float y = 0;
  float radius = 0;
};
using PenStroke = std::vector<PenSample>;

// A history written with a pen as the tablet delivers it: smooth strokes with slow starts and
// ends, positions at the tablet's 1/1024-pixel precision with a little sensor jitter, raw
// pressure 0..1023 rising and falling, through the identity curve, radius = P x brush size
// (10) — about 130 packets a second. Each stroke ends with its pen-up sample (radius 0).
// The same seed gives the same history.
std::vector<PenStroke> SimulatePenHistory(int strokes, int samples_per_stroke,
                                          std::uint32_t seed = 1);

// The plain "Zvr3" layout of those strokes (black ink, paper 1024 x 718, no author), built
// directly from the byte layout.
std::vector<std::uint8_t> PlainLayoutOf(const std::vector<PenStroke>& strokes);

}  // namespace zevo::bench
