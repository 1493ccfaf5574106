#pragma once

#include <string>

#include "gfx/bitmap24.h"

namespace zevo::platform {

struct TextStyle {
  gfx::Color color = gfx::kBlack;  // 0x00BBGGRR
  bool bold = false;
  int pixel_size = 12;  // the font's pixel height
};

struct TextSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const TextSize&, const TextSize&) = default;
};

// Text on a Bitmap24, as the program writes labels on its pictures: the text box's top-left
// corner at (x, y), transparent background, clipped to the bitmap. Text is UTF-8.
class TextPainter {
 public:
  virtual ~TextPainter() = default;

  virtual void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                        const TextStyle& style) = 0;
  // The size of the box DrawText fills for this text and style.
  virtual TextSize MeasureText(const std::string& text, const TextStyle& style) = 0;
};

}  // namespace zevo::platform
