#include "seals/paper_pages.h"
#include "base/truncate.h"

#include "gfx/canvas.h"

namespace zevo::seals {

namespace {

void DrawTiles(gfx::Bitmap24& page, const gfx::Bitmap24& tile) {
  gfx::Canvas canvas(page);
  for (int y = 0; y < page.Height(); y += tile.Height())
    for (int x = 0; x < page.Width(); x += tile.Width()) canvas.Draw(x, y, tile);
}

}  // namespace

BackgroundImagePlacement PlaceBackgroundImage(int fit, int bw, int bh, PageView view,
                                              int page_width, int page_height) {
  const int w = page_width, h = page_height;
  const float z = view.z, ox = view.ox, oy = view.oy;
  const bool unzoomed = z == 1.0f;
  BackgroundImagePlacement p;
  // The stretched rectangle at the zoom, its top-left at (l, t) in view pixels.
  auto zoomed = [&](int l, int t, double width, double height) {
    return gfx::Rect{l, t, base::TruncToInt(width * z + l), base::TruncToInt(height * z + t)};
  };
  switch (fit) {
    case kFitPaper: {
      // Scale to the paper's width when the image is relatively wider, else to its height.
      // Products of the scale are taken as one quotient so that the fitted side comes out
      // exactly as the page's side.
      const double qi = double(bw) / bh, qp = double(w) / h;
      const bool by_width = qi > qp;
      const double num = by_width ? w : h, den = by_width ? bw : bh;
      const double fw = bw * num / den, fh = bh * num / den;
      p.overview = {0, 0, base::TruncToInt(fw * ink::kOverviewScale),
                    base::TruncToInt(fh * ink::kOverviewScale)};
      if (unzoomed)
        p.page = {0, 0, base::TruncToInt(fw), base::TruncToInt(fh)};
      else
        p.page = zoomed(base::TruncToInt(-z * ox), base::TruncToInt(-oy * z), fw, fh);
      break;
    }
    case kFitFull:
      p.overview = {0, 0, w >> 2, h >> 2};
      if (unzoomed)
        p.page = {0, 0, w, h};
      else
        p.page = zoomed(base::TruncToInt(-z * ox), base::TruncToInt(-oy * z), w, h);
      break;
    case kFitCentre: {
      const int cx = (w - bw) >> 1, cy = (h - bh) >> 1;
      p.overview = {cx >> 2, cy >> 2, (cx + bw) >> 2, (cy + bh) >> 2};
      if (unzoomed)
        p.page = {cx, cy, cx + bw, cy + bh};
      else
        p.page = zoomed(base::TruncToInt(z * (cx - ox)), base::TruncToInt((cy - oy) * z), bw, bh);
      break;
    }
    default:
      p.overview = {0, 0, bw >> 2, bh >> 2};
      if (unzoomed)
        p.page = {0, 0, bw, bh};
      else
        p.page = zoomed(base::TruncToInt(-z * ox), base::TruncToInt(-oy * z), bw, bh);
      break;
  }
  return p;
}

void BuildPaperPages(const BackgroundView& background, PageView view, gfx::Bitmap24& paper_page,
                     gfx::Bitmap24& paper_overview) {
  paper_page.Fill(gfx::kWhite);
  paper_overview.Fill(gfx::kWhite);
  if (!background.Present()) return;
  const gfx::Bitmap24& bg = *background.bitmap;
  if (background.IsTexture()) {
    DrawTiles(paper_page, bg);
    DrawTiles(paper_overview, bg);
    return;
  }
  const BackgroundImagePlacement p = PlaceBackgroundImage(
      background.fit, bg.Width(), bg.Height(), view, paper_page.Width(), paper_page.Height());
  gfx::Canvas(paper_overview).StretchCopy(p.overview, bg);
  gfx::Canvas(paper_page).StretchCopy(p.page, bg);
}

}  // namespace zevo::seals
