#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/bitmap24.h"
#include "gfx/bmp_file.h"

namespace zevo::gfx {

// PNG files through libpng: written only (the picture export).

// 72 dpi, what the BMP writer records too.
inline constexpr std::uint32_t kDefaultPixelsPerMetre = 2835;

// Pixels per metre for a resolution in dots per inch, rounded.
inline std::uint32_t PixelsPerMetre(std::uint32_t dpi) {
  return std::uint32_t((std::uint64_t(dpi) * 10000 + 127) / 254);
}

struct PngOptions {
  // The resolution recorded in the pHYs chunk; 0 leaves the chunk out.
  std::uint32_t pixels_per_metre = kDefaultPixelsPerMetre;
  // Ink alone on a transparent background: white becomes transparent and every other pixel
  // the colour and opacity that, laid over white, give it back (RGBA instead of RGB).
  bool white_transparent = false;
};

// Writes an 8-bit RGB (or RGBA) non-interlaced PNG. An empty bitmap cannot be a PNG: nothing is
// written, false.
bool WritePng(const Bitmap24& bitmap, const ByteSink& sink, const PngOptions& options = {});
// Empty when the bitmap is empty.
std::vector<std::uint8_t> EncodePng(const Bitmap24& bitmap, const PngOptions& options = {});
// Replaced atomically, as SaveBmpFile does; false with *error set on failure.
bool SavePngFile(const Bitmap24& bitmap, const std::string& path, std::string* error,
                 const PngOptions& options = {});

// The RGBA pixel that, laid over white, gives the colour (r, g, b): its alpha is the largest
// distance of a channel from white.
struct Rgba {
  std::uint8_t r, g, b, a;
};
Rgba WhiteToAlpha(std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace zevo::gfx
