#pragma once

#include <array>
#include <string>

#include "gfx/bitmap24.h"

namespace zevo::workspace {

// The skin bitmaps, in the order they are loaded from the skin folder.
enum SkinImage {
  kSkinControlPanel,   // "B_Gnd.bmp"
  kSkinToggleOff,      // "SelA.bmp"
  kSkinToggleOn,       // "SelB.bmp"
  kSkinZoomOff,        // "SelC.bmp"
  kSkinZoomOn,         // "SelD.bmp"
  kSkinCheckOff,       // "Sel2A.bmp"
  kSkinCheckOn,        // "Sel2B.bmp"
  kSkinPaletteBlack,   // "black.bmp"
  kSkinPaletteRed,     // "red.bmp"
  kSkinPaletteYellow,  // "yel.bmp"
  kSkinPlayPanel,      // "P_Gnd.bmp"
  kSkinTrackFilled,    // "PB1.bmp"
  kSkinTrackEmpty,     // "PB2.bmp"
  kSkinTrackKnob,      // "PB3.bmp"
  kSkinGridRow,        // "GridSelectA.bmp"
  kSkinGridRowChosen,  // "GridSelectB.bmp"
  kSkinGridTrack,      // "GridTrackA.bmp"
  kSkinGridThumb,      // "GridTrackB.bmp"
  kSkinZoomBody,       // "B_Zoom.bmp"
  kSkinZoomTopOpen,    // "B_ZoomTopA.bmp"
  kSkinZoomTopClosed,  // "B_ZoomTopB.bmp"
  kSkinGridPanel,      // "GridPanel.bmp"
  kSkinImageCount
};

extern const std::array<const char*, kSkinImageCount> kSkinFileNames;

struct Skin {
  std::array<gfx::Bitmap24, kSkinImageCount> images;

  const gfx::Bitmap24& operator[](SkinImage i) const { return images[i]; }

  // Loads the bitmaps from `folder` (with a trailing separator) in order; the first file that
  // cannot be loaded ends the loading, and it and the later images stay empty. Returns how
  // many were loaded; `problem` then names the file and says why (empty when all loaded).
  int Load(const std::string& folder);
  std::string problem;
};

}  // namespace zevo::workspace
