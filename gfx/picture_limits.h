#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/bitmap24.h"

namespace zevo::gfx {

// A few bytes of RLE or JPEG can declare a picture of gigabytes. Every decoded picture (a BMP
// or JPEG file, a stroke file's pictures and stamps) is a Bitmap24 of at most this many bytes,
// checked from the declared size before anything is allocated for it.
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(256) << 20;

// What every refusal over a memory limit says, so that callers can tell it from damage.
inline constexpr std::string_view kTooLargeText = "too large for Zevo 3";

// The bytes a Bitmap24 of width x height holds (rows padded to 4 bytes).
inline std::uint64_t PictureBytes(int width, int height) {
  return std::uint64_t(Bitmap24::StrideFor(width)) * std::uint64_t(height);
}

// True when a loader's error text is a refusal over a memory limit rather than damage.
inline bool IsTooLarge(std::string_view error_text) {
  return error_text.find(kTooLargeText) != std::string_view::npos;
}

}  // namespace zevo::gfx
