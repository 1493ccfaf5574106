#include "output/print_sheet.h"
#include "base/truncate.h"

#include <algorithm>
#include <memory>
#include <new>

#include "gfx/bitmap_turn.h"
#include "seals/grid_pages.h"

namespace zevo::output {

namespace {

// Paper (x, y) to print pixels (x * ps, y * ps): the sheet's top along the page's top.
class UprightMapping final : public SheetMapping {
 public:
  explicit UprightMapping(const PrintLayout& l) : ps_(l.ps), ps4_(l.ps4) {}
  void Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const override {
    x = s.x * ps_;
    y = s.y * ps_;
    r = s.radius * ps_;
  }
  gfx::Point FillSeed(float x, float y) const override {
    return {base::TruncToInt(x * ps4_), base::TruncToInt(y * ps4_)};
  }
  gfx::Rect PictureRect(const ink::Stroke& e) const override {
    const double x = e.px, y = e.py, w = e.bitmap->Width(), h = e.bitmap->Height();
    return {base::TruncToInt(x * ps4_), base::TruncToInt(y * ps4_),
            base::TruncToInt((x + w) * ps4_), base::TruncToInt((y + h) * ps4_)};
  }
  gfx::Rect StampRect(const ink::Stroke& e) const override {
    return {base::TruncToInt(e.x * ps4_), base::TruncToInt(e.y * ps4_),
            base::TruncToInt((e.x + e.width) * ps4_), base::TruncToInt((e.y + e.height) * ps4_)};
  }

 private:
  float ps_, ps4_;
};

// Paper (x, y) to print pixels (y * ps, (PPW - x) * ps): the sheet's top along the page's
// left edge, its left edge along the page's bottom.
class TurnedMapping final : public SheetMapping {
 public:
  explicit TurnedMapping(const PrintLayout& l) : ps_(l.ps), ps4_(l.ps4), ppw_(l.paper_width) {}
  void Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const override {
    x = s.y * ps_;
    y = (float(ppw_) - s.x) * ps_;
    r = s.radius * ps_;
  }
  gfx::Point FillSeed(float x, float y) const override {
    return {base::TruncToInt(y * ps4_), base::TruncToInt((float(ppw_) - x) * ps4_)};
  }
  gfx::Rect PictureRect(const ink::Stroke& e) const override {
    return TurnedRect(e.px, e.py, e.bitmap->Width(), e.bitmap->Height());
  }
  gfx::Rect StampRect(const ink::Stroke& e) const override {
    return TurnedRect(e.x, e.y, e.width, e.height);
  }
  void StretchPicture(gfx::Canvas& work, const gfx::Bitmap24& picture,
                      const gfx::Rect& to) const override {
    // White is the transparent colour of pictures and stamps in every layout.
    work.StretchDrawTransparent(to, gfx::TurnQuarterCounterClockwise(picture), gfx::kWhite);
  }

 private:
  gfx::Rect TurnedRect(double x, double y, double w, double h) const {
    return {base::TruncToInt(y * ps4_), base::TruncToInt((ppw_ - x - w) * ps4_),
            base::TruncToInt((y + h) * ps4_), base::TruncToInt((ppw_ - x) * ps4_)};
  }
  float ps_, ps4_;
  int ppw_;
};

void DrawUprightBackground(ink::BrushRenderer& r, const seals::BackgroundView& bg,
                           const PrintLayout& l, const SheetInputs& in) {
  const gfx::Bitmap24& b = *bg.bitmap;
  const int bw = b.Width(), bh = b.Height(), g = l.g;
  const int ww = r.Work().Width(), wh = r.Work().Height();
  gfx::Canvas& c = r.WorkCanvas();
  if (bg.IsTexture()) {
    const int tw = std::max(bw * g, 1), th = std::max(bh * g, 1);
    const std::optional<gfx::Bitmap24> tile = MakeTile(b, tw, th, ww, wh);
    if (!tile) return;
    for (long long ty = 0; ty < wh; ty += th)
      for (long long tx = 0; tx < ww; tx += tw)
        CopyTile(c, gfx::Rect{int(tx), int(ty), int(tx + tw), int(ty + th)}, *tile, tw, th);
    return;
  }
  const int dw = in.live ? in.live->PaperWidth() : l.paper_width;
  const int dh = in.live ? in.live->PaperHeight() : l.paper_height;
  gfx::Rect dest;
  switch (bg.fit) {
    case seals::kFitPaper: {
      const bool by_width = double(bw) / bh > double(ww) / wh;
      const double num = by_width ? ww : wh, den = by_width ? bw : bh;
      dest = {0, 0, base::TruncToInt(bw * num / den), base::TruncToInt(bh * num / den)};
      break;
    }
    case seals::kFitFull:
      dest = {0, 0, ww, wh};
      break;
    case seals::kFitCentre: {
      const long long x0 = (dw - bw) >> 1, y0 = (dh - bh) >> 1;
      dest = {base::TruncToInt(double(x0) * g), base::TruncToInt(double(y0) * g),
              base::TruncToInt(double(bw + x0) * g), base::TruncToInt(double(bh + y0) * g)};
      break;
    }
    default:
      dest = {0, 0, base::TruncToInt(double(bw) * g), base::TruncToInt(double(bh) * g)};
      break;
  }
  c.StretchCopy(dest, b);
}

void DrawTurnedBackground(ink::BrushRenderer& r, const seals::BackgroundView& bg,
                          const PrintLayout& l, const SheetInputs& in) {
  const gfx::Bitmap24 b = gfx::TurnQuarterCounterClockwise(*bg.bitmap);  // BH wide, BW high
  const int bw = bg.bitmap->Width(), bh = bg.bitmap->Height(), g = l.g;
  const int ww = r.Work().Width(), wh = r.Work().Height();  // 4wb x 4W
  gfx::Canvas& c = r.WorkCanvas();
  if (bg.IsTexture()) {
    // Laid from the bottom edge upward, as the sheet's left edge runs along the bottom.
    const int tw = std::max(bh * g, 1), th = std::max(bw * g, 1);
    const std::optional<gfx::Bitmap24> tile = MakeTile(b, tw, th, ww, wh);
    if (!tile) return;
    for (long long tx = 0; tx < ww; tx += tw)
      for (long long ty = 0; ty < wh; ty += th)
        CopyTile(c, gfx::Rect{int(tx), int(wh - ty - th), int(tx + tw), int(wh - ty)}, *tile, tw,
                 th);
    return;
  }
  const int dw = in.live ? in.live->PaperWidth() : l.paper_width;
  const int dh = in.live ? in.live->PaperHeight() : l.paper_height;
  gfx::Rect dest;
  switch (bg.fit) {
    case seals::kFitPaper: {
      const bool by_height = double(bw) / bh > double(wh) / ww;
      const double num = by_height ? wh : ww, den = by_height ? bw : bh;
      dest = {0, base::TruncToInt(wh - bw * num / den), base::TruncToInt(bh * num / den), wh};
      break;
    }
    case seals::kFitFull:
      dest = {0, 0, ww, wh};
      break;
    case seals::kFitCentre: {
      const long long y0 = (dh - bh) >> 1, x0 = (dw - bw) >> 1;
      dest = {base::TruncToInt(double(y0) * g), base::TruncToInt(double(x0) * g),
              base::TruncToInt(double(bh + y0) * g), base::TruncToInt(double(bw + x0) * g)};
      break;
    }
    default:
      dest = {0, base::TruncToInt(wh - double(bw) * g), base::TruncToInt(double(bh) * g), wh};
      break;
  }
  c.StretchCopy(dest, b);
}

void DrawGrid(ink::BrushRenderer& r, const seals::GridLayout& g, const PrintLayout& l) {
  const long long w = l.sheet_width, a = l.paper_width;
  auto scale = [&](int v) { return std::clamp<long long>(w * v / a, -(1LL << 40), 1LL << 40); };
  const long long cw = scale(g.cell_width), ch = scale(g.cell_height);
  const long long gl = scale(g.left), gt = scale(g.top);
  const long long gr = cw * g.column_count + gl, gb = ch * g.row_count + gt;
  gfx::Canvas& c = r.WorkCanvas();
  c.pen = gfx::Pen{seals::kGridColor, std::max(int(l.ps4), 1), gfx::PenMode::Copy};
  if (!l.turned) {
    for (int i = 0; i <= g.column_count; ++i) {
      const long long x = 4 * (i * cw + gl);
      seals::DrawGridLine(c, {x, 4 * gt, x, 4 * gb});
    }
    for (int j = 0; j <= g.row_count; ++j) {
      const long long y = 4 * (j * ch + gt);
      seals::DrawGridLine(c, {4 * gl, y, 4 * gr, y});
    }
  } else {
    const long long sw = l.sheet_width;
    for (int j = 0; j <= g.row_count; ++j) {
      const long long x = 4 * (j * ch + gt);
      seals::DrawGridLine(c, {x, 4 * (sw - gl), x, 4 * (sw - gr)});
    }
    for (int i = 0; i <= g.column_count; ++i) {
      const long long y = 4 * (sw - i * cw - gl);
      seals::DrawGridLine(c, {4 * gt, y, 4 * gb, y});
    }
  }
  c.pen = gfx::Pen{r.GetColor(), 1, gfx::PenMode::Copy};
}

}  // namespace

Result<PrintedSheet> RenderPrintSheet(const PrintLayout& l, const SheetInputs& in,
                                      base::ProgressDisplay* progress) {
  using R = Result<PrintedSheet>;
  if (const std::string why = CheckWorkBitmapSize(l.bitmap_width, l.bitmap_height); !why.empty())
    return R::Error("cannot print: " + why);
  std::optional<gfx::Bitmap24> bitmap = gfx::Bitmap24::TryCreate(l.bitmap_width, l.bitmap_height);
  if (!bitmap) return R::Error("not enough memory for the print bitmap");
  std::unique_ptr<ink::BrushRenderer> renderer;
  try {
    // The work bitmap goes to the printer as it is: made white once, and drawn at once (a band
    // of the bitmap's height). The target only gives the renderer its size.
    renderer = std::make_unique<ink::BrushRenderer>(*bitmap, l.bitmap_height);
    ink::BrushRenderer& r = *renderer;
    if (in.background.Present()) {
      if (l.turned)
        DrawTurnedBackground(r, in.background, l, in);
      else
        DrawUprightBackground(r, in.background, l, in);
    }
    if (in.grid_shown) DrawGrid(r, in.grid, l);
    const UprightMapping upright(l);
    const TurnedMapping turned(l);
    const SheetMapping& map = l.turned ? static_cast<const SheetMapping&>(turned) : upright;
    if (in.trace_shown && in.trace_model != nullptr &&
        !DrawTraceModelLayer(r, *in.trace_model, map, progress))
      return R::Error(std::string("The trace model cannot be printed: ") + kTooMuchDrawing);
    if (in.live != nullptr && !DrawHistoryLayer(r, *in.live, map, progress))
      return R::Error(std::string("The sheet cannot be printed: ") + kTooMuchDrawing);
  } catch (const std::bad_alloc&) {
    return R::Error("not enough memory to print the sheet");
  }
  PrintedSheet out{std::move(renderer->Work()), l.page};
  return out;
}

}  // namespace zevo::output
