#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/bitmap24.h"

namespace zevo::gfx::testing {

// Every pixel differs from every other, and within a pixel red, green and blue differ, so
// colour-order, flip and transposition mistakes cannot pass. The formulas are the ones of
// tests/data/bmp/make_fixtures.py (for 7 x 5).
inline Color AsymmetricColor(int x, int y) {
  return Rgb(std::uint8_t(10 + 30 * x + 2 * y), std::uint8_t(5 + 40 * y + 3 * x),
             std::uint8_t(251 - 20 * x - 11 * y));
}

inline Bitmap24 AsymmetricPicture(int width = 7, int height = 5) {
  Bitmap24 b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, AsymmetricColor(x, y));
  }
  return b;
}

// Largest difference of one channel between two colours.
inline int ChannelDistance(Color a, Color b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  }
  return d;
}

inline std::string Hex(Color c) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", unsigned(c));
  return text;
}

// Compares all pixels, failing with the first pixel that is off by more than tolerance.
template <class Expected>
::testing::AssertionResult PixelsNear(const Bitmap24& b, int width, int height, Expected expected,
                                      int tolerance = 0) {
  if (b.Width() != width || b.Height() != height) {
    return ::testing::AssertionFailure() << "size " << b.Width() << " x " << b.Height()
                                         << ", expected " << width << " x " << height;
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Color want = expected(x, y);
      if (ChannelDistance(b.Pixel(x, y), want) > tolerance) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                             << Hex(b.Pixel(x, y)) << ", expected " << Hex(want);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace zevo::gfx::testing
