#include "output/sheet_picture.h"
#include "base/truncate.h"

#include <algorithm>
#include <memory>
#include <new>

#include "seals/grid_pages.h"
#include "seals/trace_pages.h"

namespace zevo::output {

namespace {

class ExportMapping final : public SheetMapping {
 public:
  explicit ExportMapping(const SheetFit& f) : f_(f) {}

  void Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const override {
    x = s.x * f_.s + f_.ox;
    y = s.y * f_.s + f_.oy;
    r = s.radius * f_.s;
  }
  gfx::Point FillSeed(float x, float y) const override {
    return {base::TruncToInt(4 * (x * f_.s + f_.ox)), base::TruncToInt(4 * (y * f_.s + f_.oy))};
  }
  gfx::Rect PictureRect(const ink::Stroke& e) const override {
    const int x = base::TruncToInt(e.px * f_.s + f_.ox), y = base::TruncToInt(e.py * f_.s + f_.oy);
    const int w = base::TruncToInt(e.bitmap->Width() * f_.s),
              h = base::TruncToInt(e.bitmap->Height() * f_.s);
    return {4 * x, 4 * y, 4 * (x + w), 4 * (y + h)};
  }
  gfx::Rect StampRect(const ink::Stroke& e) const override {
    const float x = e.x * f_.s + f_.ox, y = e.y * f_.s + f_.oy;
    const float w = e.width * f_.s, h = e.height * f_.s;
    return {base::TruncToInt(4 * x), base::TruncToInt(4 * y), base::TruncToInt(4 * (x + w)),
            base::TruncToInt(4 * (y + h))};
  }

 private:
  SheetFit f_;
};

// Texture tiles at the picture's scale over the paper area; the last tile of a row or column
// may reach past the paper's edge.
bool DrawTexture(ink::BrushRenderer& r, const gfx::Bitmap24& bg, const SheetFit& f, int pw,
                 int ph) {
  // A texture that scales below one pixel still covers the paper, one pixel per tile.
  const int tw = std::max(base::TruncToInt(bg.Width() * f.s), 1);
  const int th = std::max(base::TruncToInt(bg.Height() * f.s), 1);
  gfx::Canvas& c = r.WorkCanvas();
  const gfx::Rect first{base::TruncToInt(4 * f.ox), base::TruncToInt(4 * f.oy),
                        base::TruncToInt(4 * (tw + f.ox)), base::TruncToInt(4 * (th + f.oy))};
  const std::optional<gfx::Bitmap24> tile =
      MakeTile(bg, first.Width(), first.Height(), r.Work().Width(), r.Work().Height());
  if (!tile) return false;
  const float paper_w = pw * f.s, paper_h = ph * f.s;
  for (long long ty = 0; ty < paper_h; ty += th) {
    for (long long tx = 0; tx < paper_w; tx += tw) {
      const gfx::Rect dest{base::TruncToInt(4 * (tx + f.ox)), base::TruncToInt(4 * (ty + f.oy)),
                           base::TruncToInt(4 * (tx + tw + f.ox)),
                           base::TruncToInt(4 * (ty + th + f.oy))};
      CopyTile(c, dest, *tile, first.Width(), first.Height());
    }
  }
  return true;
}

void DrawGrid(ink::BrushRenderer& r, const seals::GridLayout& g, int picture_width,
              int page_image_width) {
  // Scaled by the picture's width alone, not offset by the paper's placement.
  const long long wp = picture_width, a = page_image_width;
  seals::GridLayout s = g;
  auto scale = [&](int v) {
    return int(std::clamp<long long>(v * wp / a, -(1LL << 28), 1LL << 28));
  };
  s.cell_width = scale(g.cell_width);
  s.cell_height = scale(g.cell_height);
  s.left = scale(g.left);
  s.top = scale(g.top);
  gfx::Canvas& c = r.WorkCanvas();
  c.pen = gfx::Pen{seals::kGridColor, 4, gfx::PenMode::Copy};
  auto times4 = [](seals::GridLine l) {
    return seals::GridLine{4 * l.x0, 4 * l.y0, 4 * l.x1, 4 * l.y1};
  };
  for (int i = 0; i <= s.column_count; ++i)
    seals::DrawGridLine(c, times4(seals::VerticalGridLine(s, i)));
  for (int j = 0; j <= s.row_count; ++j)
    seals::DrawGridLine(c, times4(seals::HorizontalGridLine(s, j)));
  c.pen = gfx::Pen{r.GetColor(), 1, gfx::PenMode::Copy};
}

}  // namespace

SheetFit FitSheet(int w, int h, int pw, int ph) {
  SheetFit f;
  if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0) return f;
  // W / H >= PW / PH, compared without rounding.
  if (static_cast<long long>(w) * ph >= static_cast<long long>(pw) * h) {
    f.s = float(h) / float(ph);
    f.oy = 0;
    f.ox = (float(w) - float(pw) * f.s) * 0.5f;
  } else {
    f.s = float(w) / float(pw);
    f.ox = 0;
    f.oy = (float(h) - float(ph) * f.s) * 0.5f;
  }
  return f;
}

gfx::Rect ImageFitRect(int fit, int bw, int bh, const SheetFit& f, int pw, int ph) {
  const float s = f.s, ox = f.ox, oy = f.oy;
  switch (fit) {
    case seals::kFitPaper: {
      // k = PW / BW or PH / BH; BW * k and BH * k are taken as one quotient each so that the
      // fitted side is exactly the paper's.
      const bool by_width = double(bw) / bh > double(pw) / ph;
      const double num = by_width ? pw : ph, den = by_width ? bw : bh;
      const double fw = bw * num / den, fh = bh * num / den;
      return {base::TruncToInt(4 * ox), base::TruncToInt(4 * oy),
              base::TruncToInt(4 * (fw * s + ox)), base::TruncToInt(4 * (fh * s + oy))};
    }
    case seals::kFitFull:
      return {base::TruncToInt(4 * ox), base::TruncToInt(4 * oy),
              base::TruncToInt(4 * (pw * s + ox)), base::TruncToInt(4 * (ph * s + oy))};
    case seals::kFitCentre: {
      const int cx = (pw - bw) >> 1, cy = (ph - bh) >> 1;
      const int x0 = base::TruncToInt(cx * s + ox), y0 = base::TruncToInt(cy * s + oy);
      const int x1 = base::TruncToInt(bw * s + x0), y1 = base::TruncToInt(bh * s + y0);
      return {4 * x0, 4 * y0, 4 * x1, 4 * y1};
    }
    default:
      return {base::TruncToInt(4 * ox), base::TruncToInt(4 * oy),
              base::TruncToInt(4 * (bw * s + ox)), base::TruncToInt(4 * (bh * s + oy))};
  }
}

Result<gfx::Bitmap24> RenderSheetPicture(int width, int height, const SheetInputs& in) {
  using R = Result<gfx::Bitmap24>;
  const std::string size_text = std::to_string(width) + " x " + std::to_string(height);
  if (const std::string why = CheckWorkBitmapSize(width, height); !why.empty())
    return R::Error("cannot render a picture of " + size_text + ": " + why);
  if (in.paper_width <= 0 || in.paper_height <= 0)
    return R::Error("cannot render a picture: the paper size is empty");
  std::optional<gfx::Bitmap24> picture = gfx::Bitmap24::TryCreate(width, height);
  if (!picture) return R::Error("not enough memory for a picture of " + size_text);
  std::unique_ptr<ink::BrushRenderer> renderer;
  try {
    renderer = std::make_unique<ink::BrushRenderer>(*picture);
  } catch (const std::bad_alloc&) {
    return R::Error("not enough memory for the work bitmap of a " + size_text + " picture");
  }
  ink::BrushRenderer& r = *renderer;
  r.ClearWhite();

  const int pw = in.paper_width, ph = in.paper_height;
  const SheetFit f = FitSheet(width, height, pw, ph);
  const seals::BackgroundView& bg = in.background;
  if (bg.IsTexture()) {
    if (!DrawTexture(r, *bg.bitmap, f, pw, ph))
      return R::Error("not enough memory for the texture of a " + size_text + " picture");
  } else if (bg.IsImage()) {
    r.WorkCanvas().StretchCopy(
        ImageFitRect(bg.fit, bg.bitmap->Width(), bg.bitmap->Height(), f, pw, ph), *bg.bitmap);
  }
  if (in.grid_shown) DrawGrid(r, in.grid, width, pw);

  const ExportMapping map(f);
  if (in.trace_shown && in.trace_model != nullptr &&
      !DrawTraceModelLayer(r, *in.trace_model, map, nullptr))
    return R::Error(std::string("The trace model cannot be drawn: ") + kTooMuchDrawing);
  if (in.live != nullptr && !DrawHistoryLayer(r, *in.live, map, nullptr))
    return R::Error(std::string("The sheet cannot be drawn: ") + kTooMuchDrawing);

  r.DownsampleAll();
  renderer.reset();
  return std::move(*picture);
}

}  // namespace zevo::output
