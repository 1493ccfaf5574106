#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zevo::codec {

// A plain stroke layout taken apart for compression. The 16-byte samples of the ink records
// (x, y, radius, reserved word) are pulled out as four 32-bit fields; each field is replaced by
// the zig-zagged residual of a predictor over its bit patterns and split into four byte
// planes, so that the compressor sees the slowly changing high bytes apart from the noisy low
// ones. Everything else (header, record heads, picture and stamp bodies) stays in order in
// `rest`.
struct StrokePlanes {
  static constexpr int kFields = 4;
  static constexpr int kPlanes = kFields * 4;  // field f, byte b (0 = lowest): f * 4 + b

  std::vector<std::uint8_t> rest;
  std::uint32_t sample_count = 0;
  // Predictor order per field: 0 the value itself, 1 the previous value, 2 a straight line
  // through the two previous values.
  std::array<std::uint8_t, kFields> orders{};
  std::array<std::vector<std::uint8_t>, kPlanes> planes;
};

// Takes a "Zvrn", "Zvr2" or "Zvr3" layout apart. False for anything else, and for a layout
// whose records do not fit its length; such data is compressed as plain bytes instead.
bool SplitStrokeLayout(std::span<const std::uint8_t> plain, StrokePlanes& out);

// Puts a layout of out.size() bytes back together. False when the planes do not describe
// exactly that many bytes (damaged data never writes outside out).
bool JoinStrokeLayout(const StrokePlanes& planes, std::span<std::uint8_t> out);

}  // namespace zevo::codec
