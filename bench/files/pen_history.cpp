#include "bench/files/pen_history.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace zevo::bench {
namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void PutF32(std::vector<std::uint8_t>& out, float f) {
  std::uint32_t v;
  std::memcpy(&v, &f, 4);
  PutU32(out, v);
}

}  // namespace

std::vector<PenStroke> SimulatePenHistory(int strokes, int samples_per_stroke, std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
  std::normal_distribution<> jitter(0.0, 0.03);  // pixels
  std::normal_distribution<> pressure_noise(0.0, 2.0);
  // The writing area's left top corner on the screen; paper = screen - origin at 100 %.
  const double origin_x = 0, origin_y = 24;
  const float inverse_1023 = 1.0f / 1023.0f;
  const float brush_size = 10.0f;

  std::vector<PenStroke> history;
  history.reserve(std::size_t(strokes));
  for (int s = 0; s < strokes; ++s) {
    // A cubic curve across part of the sheet; time runs with a slow start and end.
    double px[4], py[4];
    px[0] = uniform(60, 960);
    py[0] = uniform(60, 660);
    const double length = uniform(40, 260), angle = uniform(0, 6.283);
    for (int k = 1; k < 4; ++k) {
      px[k] = px[0] + std::cos(angle + uniform(-0.8, 0.8)) * length * k / 3.0;
      py[k] = py[0] + std::sin(angle + uniform(-0.8, 0.8)) * length * k / 3.0;
    }
    const double peak = uniform(450, 1000);
    PenStroke stroke;
    const int n = std::max(2, samples_per_stroke) - 1;
    for (int i = 0; i < n; ++i) {
      const double u = double(i) / double(n - 1 > 0 ? n - 1 : 1);
      const double t = u * u * (3 - 2 * u);
      const double a = 1 - t;
      double x =
          a * a * a * px[0] + 3 * a * a * t * px[1] + 3 * a * t * t * px[2] + t * t * t * px[3];
      double y =
          a * a * a * py[0] + 3 * a * a * t * py[1] + 3 * a * t * t * py[2] + t * t * t * py[3];
      x += jitter(rng);
      y += jitter(rng);
      // The tablet reports 1/1024 of a screen pixel.
      const double sx = std::round((x + origin_x) * 1024.0) / 1024.0;
      const double sy = std::round((y + origin_y) * 1024.0) / 1024.0;
      const double rise = std::min(1.0, u * 6.0), fall = std::min(1.0, (1 - u) * 3.0);
      int raw = int(std::lround(peak * std::sqrt(rise * fall) + pressure_noise(rng)));
      raw = std::clamp(raw, 1, 1023);
      const float mapped = float(raw);  // identity curve
      const float p = mapped * inverse_1023;
      stroke.push_back({float(sx - origin_x), float(sy - origin_y), p * brush_size});
    }
    // The tail the pen handler extrapolates at pen-up, drawn and recorded with radius 0.
    const PenSample& last = stroke.back();
    const PenSample& before = stroke[stroke.size() - 2];
    stroke.push_back({last.x + (last.x - before.x), last.y + (last.y - before.y), 0.0f});
    history.push_back(std::move(stroke));
  }
  return history;
}

std::vector<std::uint8_t> PlainLayoutOf(const std::vector<PenStroke>& strokes) {
  std::vector<std::uint8_t> out = {'Z', 'v', 'r', '3'};
  PutU32(out, 0x00010003);
  PutU32(out, 0);  // file size, patched below
  PutU32(out, std::uint32_t(strokes.size()));
  PutU32(out, 1024);
  PutU32(out, 718);
  out.resize(out.size() + 512, 0);  // author, password
  PutU32(out, 0xFFFFFFFFu);
  PutU32(out, 1);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (const PenStroke& s : strokes) {
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, std::uint32_t(s.size()));
    for (const PenSample& p : s) {
      PutF32(out, p.x);
      PutF32(out, p.y);
      PutF32(out, p.radius);
      PutU32(out, 0);
    }
  }
  const auto size = std::uint32_t(out.size());
  for (int i = 0; i < 4; ++i) out[8 + std::size_t(i)] = std::uint8_t(size >> (8 * i));
  return out;
}

}  // namespace zevo::bench
