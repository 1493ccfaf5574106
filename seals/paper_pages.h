#pragma once

#include "gfx/bitmap24.h"
#include "seals/background.h"

namespace zevo::seals {

inline constexpr int kPaperPageWidth = 1024;
inline constexpr int kPaperPageHeight = 718;
inline constexpr int kOverviewPageWidth = 256;
inline constexpr int kOverviewPageHeight = 180;

// The view of the main page: zoom factor z (1, 2, 4, 8) and the paper point (ox, oy) shown at
// the view's top-left corner.
struct PageView {
  float z = 1;
  float ox = 0;
  float oy = 0;
};

// Where a background image of bw x bh lands on the paper page (page_width x page_height, at
// the view's zoom) and on the quarter-scale overview, for one fit.
struct BackgroundImagePlacement {
  gfx::Rect page;
  gfx::Rect overview;
};
BackgroundImagePlacement PlaceBackgroundImage(int fit, int bw, int bh, PageView view,
                                              int page_width = kPaperPageWidth,
                                              int page_height = kPaperPageHeight);

// Rebuilds the blank paper page and the paper overview page from the background: white, then
// texture tiles at natural size (whatever the zoom) or the image placed by its fit.
// The pages keep their sizes; the page's size is the sheet's.
void BuildPaperPages(const BackgroundView& background, PageView view, gfx::Bitmap24& paper_page,
                     gfx::Bitmap24& paper_overview);

}  // namespace zevo::seals
