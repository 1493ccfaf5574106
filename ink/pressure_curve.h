#pragma once

#include <array>
#include <cstdint>

namespace zevo::ink {

inline constexpr int kPressureLevels = 1024;
inline constexpr float kFullPressure = 1023.0f;

// The response curve from raw tablet pressure to mapped pressure 0..1023.
class PressureCurve {
 public:
  // The identity (entry i = i) until the first Build.
  PressureCurve();

  // Entries below `minimum` give 0, entries from `maximum` on give 1023, and between them a
  // rising curve: linear when gamma is 0, else (i / n) ^ (1.002 ^ gamma) with n = max - min.
  // With minimum >= maximum the curve is a step from 0 to 1023 at the maximum. Values outside
  // 0..1023 only move the part of the curve that lies in the table.
  void Build(std::int32_t minimum, std::int32_t maximum, std::int32_t gamma);

  // A raw pressure above 1023 is full pressure and one below 0 is no pressure: drivers with a
  // wider range saturate instead of reading outside the table.
  float Mapped(std::int32_t raw) const { return entries_[ClampRaw(raw)]; }
  // The pen touches when the mapped pressure truncates to a non-zero value.
  bool Contact(std::int32_t raw) const { return std::int32_t(Mapped(raw)) != 0; }
  // Mapped pressure scaled to 0..1.
  float Normalised(std::int32_t raw) const { return Mapped(raw) * (1.0f / kFullPressure); }

  const std::array<float, kPressureLevels>& Entries() const { return entries_; }

  static std::int32_t ClampRaw(std::int32_t raw) {
    return raw < 0 ? 0 : (raw >= kPressureLevels ? kPressureLevels - 1 : raw);
  }

 private:
  std::array<float, kPressureLevels> entries_;
};

// How far the brush swells and gathers, from Pen_ExRatio and Pen_ExMax.
struct BrushExtension {
  // The bound on the gain when Pen_ExMax is 0 ("not chosen") and the highest bound any value
  // gives: the dialog's largest choice, 200 %.
  static constexpr float kDefaultMaximum = 3.0f;

  float full = 1.0f;                // F1 = 1 + ratio * 0.0002
  float half = 1.0f;                // F2 = (F1 - 1) * 0.5 + 1
  float maximum = kDefaultMaximum;  // the gain stays within [1 / maximum, maximum]

  static BrushExtension FromSettings(std::int32_t ex_ratio, std::int32_t ex_max);
};

// The per-stroke gain: set at pen-down, updated for each accepted moving packet.
class BrushGain {
 public:
  void Reset() { *this = BrushGain(); }

  // Updates trend and gain from the new normalised pressure `p`, the previous sample's `pp`
  // and the new and previous positions in screen pixels; returns the new gain.
  float Update(float p, float pp, float x, float y, float xp, float yp,
               const BrushExtension& extension);

  float Gain() const { return gain_; }
  int Trend() const { return trend_; }

 private:
  float gain_ = 1.0f;
  int trend_ = 0;
  float previous_step2_ = 0.0f;
};

// Radius at pen-down: normalised pressure times brush size.
inline float PenDownRadius(float p, float brush_size) {
  return p * brush_size;
}

// Radius while moving, after the gain update; the gain is not used when F1 is 0.
inline float MovingRadius(float p, float brush_size, const BrushGain& gain,
                          const BrushExtension& extension) {
  return extension.full == 0.0f ? p * brush_size : p * brush_size * gain.Gain();
}

}  // namespace zevo::ink
