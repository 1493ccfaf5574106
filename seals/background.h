#pragma once

#include <memory>
#include <string>

#include "base/result.h"
#include "gfx/bitmap24.h"

namespace zevo::seals {

// Background mode: white paper, a repeating texture or one image.
inline constexpr int kBackgroundNone = 0;
inline constexpr int kBackgroundTexture = 1;
inline constexpr int kBackgroundImage = 2;

// Placement of a background image; any other value places it as kFitLeftTop does.
inline constexpr int kFitPaper = 0;
inline constexpr int kFitFull = 1;
inline constexpr int kFitCentre = 2;
inline constexpr int kFitLeftTop = 3;

// What the page builders, the sheet picture and printing read of the background state.
struct BackgroundView {
  const gfx::Bitmap24* bitmap = nullptr;
  int mode = kBackgroundNone;
  int fit = kFitPaper;

  bool IsTexture() const { return Present() && mode == kBackgroundTexture; }
  bool IsImage() const { return Present() && mode == kBackgroundImage; }
  bool Present() const {
    return bitmap != nullptr && !bitmap->Empty() &&
           (mode == kBackgroundTexture || mode == kBackgroundImage);
  }
};

// The main window's background: the texture tile or the (lightened) image, its mode and fit.
struct BackgroundState {
  std::unique_ptr<gfx::Bitmap24> bitmap;
  int mode = kBackgroundNone;
  int fit = kFitPaper;

  BackgroundView View() const { return {bitmap.get(), mode, fit}; }
  void Release() {
    bitmap.reset();
    mode = kBackgroundNone;
  }
};

// A texture or background file: ".BMP" (compared in upper case) is read as a Windows
// bitmap, anything else is decoded as JPEG.
Result<gfx::Bitmap24> LoadBackgroundFile(const std::string& path);

// The "Transparent" choice of the background dialog.
inline constexpr int kLightenNone = 0;
inline constexpr int kLighten50 = 1;
inline constexpr int kLighten75 = 2;

// Lightens every channel: index 1 maps b to (b >> 1) + 127, index 2 to (b >> 2) + 191;
// index 0 and any other value leave the image as it is. Pure white becomes 254.
void LightenBackground(gfx::Bitmap24& image, int index);

}  // namespace zevo::seals
