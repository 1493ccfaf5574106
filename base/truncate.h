#pragma once

namespace zevo::base {

// The largest magnitude a truncated coordinate, size or radius keeps: far beyond any bitmap
// side (4 x 32768), and small enough that 4 * (a + b) of two such values still fits in int.
inline constexpr int kTruncLimit = 1 << 27;

// Float to integer toward zero, the one conversion every coordinate, size and radius takes.
// Saturates at +-kTruncLimit so that whatever a damaged file holds, the arithmetic on the
// result stays defined; NaN gives 0.
constexpr int TruncToInt(double v) {
  if (v != v) return 0;
  if (v <= -kTruncLimit) return -kTruncLimit;
  if (v >= kTruncLimit) return kTruncLimit;
  return int(v);
}

}  // namespace zevo::base
