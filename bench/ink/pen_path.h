#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "ink/stroke_document.h"

namespace zevo::bench {

// Simulated pen strokes: smooth curved paths at tablet rate, pressure rising after the
// pen-down, holding, and falling towards the lift, ending in the pen-up sample.
inline std::vector<std::vector<ink::StrokeSample>> SimulatePenStrokes(int strokes, int samples,
                                                                      float brush, int width,
                                                                      int height,
                                                                      unsigned seed = 1) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(0, 1);
  std::vector<std::vector<ink::StrokeSample>> out(strokes);
  for (auto& s : out) {
    float x = 40 + u(rng) * (width - 80), y = 40 + u(rng) * (height - 80);
    float heading = u(rng) * 6.2832f, turn = (u(rng) - 0.5f) * 0.12f;
    const float speed = 1.5f + u(rng) * 3.0f;
    for (int i = 0; i < samples - 1; ++i) {
      const float t = float(i) / float(samples - 1);
      const float p = std::sin(3.1416f * std::pow(t, 0.8f)) * (0.75f + 0.25f * u(rng));
      s.push_back({x, y, std::max(p, 0.05f) * brush});
      heading += turn + (u(rng) - 0.5f) * 0.05f;
      x += std::cos(heading) * speed;
      y += std::sin(heading) * speed;
      if (x < 10 || x > width - 10) heading = 3.1416f - heading;
      if (y < 10 || y > height - 10) heading = -heading;
    }
    s.push_back({x + std::cos(heading) * speed, y + std::sin(heading) * speed, 0});
  }
  return out;
}

}  // namespace zevo::bench
