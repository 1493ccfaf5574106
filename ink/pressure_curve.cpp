#include "ink/pressure_curve.h"

#include <algorithm>
#include <cmath>

namespace zevo::ink {

PressureCurve::PressureCurve() {
  for (int i = 0; i < kPressureLevels; ++i) entries_[std::size_t(i)] = float(i);
}

void PressureCurve::Build(std::int32_t minimum, std::int32_t maximum, std::int32_t gamma) {
  const std::int64_t lo = std::clamp<std::int64_t>(minimum, 0, kPressureLevels);
  const std::int64_t hi = std::clamp<std::int64_t>(maximum, 0, kPressureLevels);
  const std::int64_t n = std::int64_t(maximum) - minimum;

  for (std::int64_t k = 0; k < lo; ++k) entries_[std::size_t(k)] = 0.0f;
  if (n > 0) {
    const double step = 1023.0 / double(n);
    const double e = std::pow(1.002, double(gamma));
    for (std::int64_t k = lo; k < hi; ++k) {
      const std::int64_t i = k - minimum;
      entries_[std::size_t(k)] =
          gamma != 0 ? float(std::pow(double(i) / double(n), e) * 1023.0) : float(double(i) * step);
    }
  }
  for (std::int64_t k = hi; k < kPressureLevels; ++k) entries_[std::size_t(k)] = kFullPressure;
}

BrushExtension BrushExtension::FromSettings(std::int32_t ex_ratio, std::int32_t ex_max) {
  BrushExtension x;
  x.full = float(1.0 + double(ex_ratio) * 0.0002);
  x.half = (x.full - 1.0f) * 0.5f + 1.0f;
  if (ex_max > 0) x.maximum = std::min(float(1.0 + double(ex_max) * 0.01), kDefaultMaximum);
  return x;
}

float BrushGain::Update(float p, float pp, float x, float y, float xp, float yp,
                        const BrushExtension& ext) {
  const float dp = p - pp;
  const float step2 = (xp - x) * (xp - x) + (yp - y) * (yp - y);
  const int tp = trend_;
  int t = 0;
  if (tp == -1) {
    t = dp < 0 ? -1 : 0;
  } else if (tp == 1) {
    t = dp > 0 ? 1 : 0;
  } else if (previous_step2_ > step2 && dp > 0) {
    t = 1;  // pressing harder while slowing down
  } else if (step2 > previous_step2_ && dp < 0) {
    t = -1;  // lifting while speeding up
  }

  if (t == 1) {
    gain_ *= tp != 0 ? ext.full : ext.half;
  } else if (t == -1) {
    gain_ /= tp != 0 ? ext.full : ext.half;
  } else {
    // Back towards 1 at the half rate.
    if (dp > 0 && gain_ < 1.0f && tp != -1) gain_ *= ext.half;
    if (dp < 0 && gain_ > 1.0f && tp != 1) gain_ /= ext.half;
  }
  // A brush must not swell or shrink without limit; the bound also keeps odd factors
  // (a negative or zero ratio from a hand-edited store) from giving an infinite or
  // negative radius.
  if (!(gain_ <= ext.maximum)) gain_ = ext.maximum;
  if (!(gain_ >= 1.0f / ext.maximum)) gain_ = 1.0f / ext.maximum;

  previous_step2_ = step2;
  trend_ = t;
  return gain_;
}

}  // namespace zevo::ink
