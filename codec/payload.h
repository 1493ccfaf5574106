#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zevo::codec {

// How the plain bytes are stored inside a container.
enum class Method : std::uint8_t {
  Stored = 0,        // as they are
  Zstd = 1,          // one zstd frame
  StrokePlanes = 2,  // the stroke layout taken apart (stroke_planes.h), each part a zstd frame
};

// The compressor level of the default mode. On pen-written histories of 100 to 10 000 strokes
// level 1 encodes two to three times as fast as level 6 and the result is as small (within
// 0.02 %, mostly smaller); picture and stamp bodies come out about a fifth larger than at 6.
// The level is not stored: a file written at any level reads the same way.
inline constexpr int kDefaultLevel = 1;
inline constexpr int kMaxLevel = 22;

// Compresses plain with the given compressor level (0 = store). Chooses the method: stroke
// planes where the layout allows, plain zstd otherwise, storing when compression does not pay.
// The payload is never longer than plain. False only when memory or the compressor fails.
bool BuildPayload(std::span<const std::uint8_t> plain, int level, Method& method,
                  std::vector<std::uint8_t>& payload);

// Gives back exactly out.size() plain bytes; false when the payload does not make them.
bool ExpandPayload(Method method, std::span<const std::uint8_t> payload,
                   std::span<std::uint8_t> out);

}  // namespace zevo::codec
