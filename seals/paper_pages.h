#pragma once

#include "gfx/bitmap24.h"
#include "ink/page_views.h"
#include "seals/background.h"

namespace zevo::seals {

inline constexpr int kPaperPageWidth = ink::kPageWidth;
inline constexpr int kPaperPageHeight = ink::kPageHeight;
inline constexpr int kOverviewPageWidth = ink::kOverviewWidth;
inline constexpr int kOverviewPageHeight = ink::kOverviewHeight;

using ink::PageView;

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
