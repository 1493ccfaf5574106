#pragma once

// Reads PNG files back in tests with libpng itself, so that what the writer promises is
// checked by the reference decoder.

#include <png.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace zevo::test {

struct PngPicture {
  int width = 0;
  int height = 0;
  bool has_alpha = false;
  // RGBA, rows top-down, no padding (alpha 255 when the file has none).
  std::vector<std::uint8_t> rgba;
  std::uint8_t At(int x, int y, int channel) const {
    return rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4 + std::size_t(channel)];
  }
};

inline std::optional<PngPicture> DecodePngForTest(const std::vector<std::uint8_t>& bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  PngPicture p;
  p.width = int(image.width);
  p.height = int(image.height);
  p.has_alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  p.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, p.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return p;
}

// The pixels per metre of the pHYs chunk (x, y) when it is there in metres.
struct PngResolution {
  std::uint32_t x = 0, y = 0;
};
inline std::optional<PngResolution> PngPixelsPerMetre(const std::vector<std::uint8_t>& bytes) {
  auto u32 = [&](std::size_t at) {
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
  };
  for (std::size_t at = 8; at + 8 <= bytes.size();) {
    const std::uint32_t length = u32(at);
    if (std::memcmp(&bytes[at + 4], "pHYs", 4) == 0 && length == 9 && at + 17 <= bytes.size() &&
        bytes[at + 16] == 1)
      return PngResolution{u32(at + 8), u32(at + 12)};
    at += 12 + std::size_t(length);
  }
  return std::nullopt;
}

}  // namespace zevo::test
