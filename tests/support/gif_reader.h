#pragma once

// Reads animated GIF files back in tests with giflib, frame by frame as a viewer shows them.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::test {

struct DecodedAnimation {
  std::vector<gfx::Bitmap24> frames;  // whole frames after each step
  std::vector<int> delays;            // GIF: hundredths; WebP: end times in milliseconds
  std::vector<gfx::Color> palette;
};

// Every frame drawn over the one before (a pixel of the transparent index keeps what was
// there), on white.
inline DecodedAnimation DecodeGifForTest(const std::string& path) {
  DecodedAnimation d;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  EXPECT_NE(gif, nullptr) << path;
  if (gif == nullptr) return d;
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  const ColorMapObject* map = gif->SColorMap;
  for (int i = 0; i < map->ColorCount; ++i)
    d.palette.push_back(gfx::Rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
  gfx::Bitmap24 canvas(gif->SWidth, gif->SHeight, gfx::kWhite);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& im = gif->SavedImages[i];
    GraphicsControlBlock gcb;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const GifImageDesc& r = im.ImageDesc;
    for (int y = 0; y < r.Height; ++y)
      for (int x = 0; x < r.Width; ++x) {
        const int index = im.RasterBits[y * r.Width + x];
        if (index != gcb.TransparentColor)
          canvas.SetPixel(r.Left + x, r.Top + y, d.palette[std::size_t(index)]);
      }
    d.frames.push_back(canvas);
    d.delays.push_back(gcb.DelayTime);
  }
  DGifCloseFile(gif, &error);
  return d;
}

}  // namespace zevo::test
