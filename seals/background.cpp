#include "seals/background.h"

#include <array>
#include <cstdint>

#include "gfx/jpeg_file.h"

namespace zevo::seals {

Result<gfx::Bitmap24> LoadBackgroundFile(const std::string& path) {
  return gfx::LoadPictureFile(path);
}

void LightenBackground(gfx::Bitmap24& image, int index) {
  if (index != kLighten50 && index != kLighten75) return;
  std::array<std::uint8_t, 256> map{};
  for (int b = 0; b < 256; ++b)
    map[std::size_t(b)] = std::uint8_t(index == kLighten50 ? (b >> 1) + 127 : (b >> 2) + 191);
  const std::size_t n = std::size_t(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* p = image.Row(y);
    for (std::size_t i = 0; i < n; ++i) p[i] = map[p[i]];
  }
}

}  // namespace zevo::seals
