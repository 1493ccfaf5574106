#include "output/sheet_picture.h"
#include "base/truncate.h"

#include <algorithm>
#include <memory>
#include <new>

#include "seals/grid_pages.h"
#include "seals/trace_pages.h"

namespace zevo::output {

namespace {

// The texture in tiles at the picture's scale over the paper area; the last tile of a row or
// column may reach past the paper's edge. Each tile is copied from one tile bitmap, the whole
// background stretched to the first tile's size. A small tile bitmap is made once; a large one
// (a texture as large as the paper, say) is made for each band and row of tiles, only the rows
// the band copies, so that its memory does not grow with the picture.
class TextureTiles {
 public:
  static std::optional<TextureTiles> Make(const gfx::Bitmap24& bg, const SheetFit& f, int pw,
                                          int ph, int width, int height) {
    TextureTiles t;
    t.bg_ = &bg;
    t.f_ = f;
    // A texture that scales below one pixel still covers the paper, one pixel per tile.
    t.tw_ = std::max(base::TruncToInt(bg.Width() * f.s), 1);
    t.th_ = std::max(base::TruncToInt(bg.Height() * f.s), 1);
    t.paper_w_ = pw * f.s;
    t.paper_h_ = ph * f.s;
    t.first_ = {base::TruncToInt(4 * f.ox), base::TruncToInt(4 * f.oy),
                base::TruncToInt(4 * (t.tw_ + f.ox)), base::TruncToInt(4 * (t.th_ + f.oy))};
    // The tile bitmap keeps at most the whole work bitmap's size (MakeTile).
    t.kept_w_ = std::clamp(t.first_.Width(), 1, std::max(4 * width, 1));
    t.kept_h_ = std::clamp(t.first_.Height(), 1, std::max(4 * height, 1));
    if (std::uint64_t(gfx::Bitmap24::StrideFor(t.kept_w_)) * std::uint64_t(t.kept_h_) <=
        kWholeTileBytes) {
      t.tile_ = MakeTile(bg, t.first_.Width(), t.first_.Height(), 4 * width, 4 * height);
      if (!t.tile_) return std::nullopt;
    }
    return t;
  }

  // The tiles' part in the renderer's band; false when a tile's rows cannot be allocated.
  bool Draw(ink::BrushRenderer& r) const {
    gfx::Canvas& c = r.WorkCanvas();
    const long long band_top = 4LL * r.BandTop(), band_bottom = 4LL * r.BandBottom();
    const int tile_w = first_.Width(), tile_h = first_.Height();
    for (long long ty = 0; ty < paper_h_; ty += th_) {
      const int top = base::TruncToInt(4 * (ty + f_.oy)),
                bottom = base::TruncToInt(4 * (ty + th_ + f_.oy));
      if (top < bottom && (bottom <= band_top || top >= band_bottom)) continue;
      const gfx::Bitmap24* from = tile_ ? &*tile_ : nullptr;
      gfx::Rect src{0, 0, tile_w, tile_h};
      std::optional<gfx::Bitmap24> part;
      if (!from) {
        if (top >= bottom) continue;  // never for a tile of positive size
        // The tile rows the band's rows of this row of tiles take, as StretchCopy picks them.
        const long long dh = bottom - top, sh = tile_h;
        auto pick = [&](long long y) {
          return int(std::clamp<long long>(((2 * (y - top) + 1) * sh) / (2 * dh), 0, kept_h_ - 1));
        };
        const int a = pick(std::max<long long>(top, band_top));
        const int b = pick(std::min<long long>(bottom, band_bottom) - 1) + 1;
        part = gfx::Bitmap24::TryCreate(kept_w_, b - a);
        if (!part) return false;
        gfx::Canvas(*part).StretchCopy(gfx::Rect{0, -a, tile_w, tile_h - a}, *bg_);
        from = &*part;
        src = {0, -a, tile_w, tile_h - a};
      }
      for (long long tx = 0; tx < paper_w_; tx += tw_) {
        const gfx::Rect dest{base::TruncToInt(4 * (tx + f_.ox)), top,
                             base::TruncToInt(4 * (tx + tw_ + f_.ox)), bottom};
        c.StretchCopy(dest, *from, src);
      }
    }
    return true;
  }

 private:
  static constexpr std::uint64_t kWholeTileBytes = std::uint64_t(8) << 20;
  const gfx::Bitmap24* bg_ = nullptr;
  SheetFit f_;
  int tw_ = 1, th_ = 1;
  float paper_w_ = 0, paper_h_ = 0;
  gfx::Rect first_;
  int kept_w_ = 1, kept_h_ = 1;
  std::optional<gfx::Bitmap24> tile_;
};

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

// What every band of a sheet draws, in order: background, grid, trace model, live history.
class SheetDrawer {
 public:
  SheetDrawer(ink::BrushRenderer& r, const SheetInputs& in, int width, int height)
      : r_(r),
        in_(in),
        width_(width),
        height_(height),
        size_text_(std::to_string(width) + " x " + std::to_string(height)),
        f_(FitSheet(width, height, in.paper_width, in.paper_height)),
        map_(f_) {}

  // Empty on success, else the reason.
  std::string Prepare() {
    const seals::BackgroundView& bg = in_.background;
    if (bg.IsTexture()) {
      texture_ =
          TextureTiles::Make(*bg.bitmap, f_, in_.paper_width, in_.paper_height, width_, height_);
      if (!texture_) return "not enough memory for the texture of a " + size_text_ + " picture";
    }
    if (in_.trace_shown && in_.trace_model != nullptr)
      trace_painter_.emplace(r_, map_, ink::EntryStyle{seals::kTraceColor, true});
    if (in_.live != nullptr && in_.live->Position() > 0) live_painter_.emplace(r_, map_);
    return {};
  }

  // Draws the renderer's band; drawn becomes the target rectangle drawn on. Empty on success,
  // else the reason.
  std::string DrawBand(gfx::Rect& drawn) {
    const seals::BackgroundView& bg = in_.background;
    const int pw = in_.paper_width, ph = in_.paper_height;
    const gfx::Rect whole{0, 0, width_, height_};
    try {
      if (texture_) {
        if (!texture_->Draw(r_))
          return "not enough memory for the texture of a " + size_text_ + " picture";
        drawn = whole;
      } else if (bg.IsImage()) {
        r_.WorkCanvas().StretchCopy(
            ImageFitRect(bg.fit, bg.bitmap->Width(), bg.bitmap->Height(), f_, pw, ph), *bg.bitmap);
        drawn = whole;
      }
      if (in_.grid_shown) {
        DrawGrid(r_, in_.grid, width_, pw);
        drawn = whole;
      }
      if (trace_painter_) {
        trace_painter_->BeginBand();
        PaintTraceModel(*trace_painter_, *in_.trace_model, nullptr);
        drawn = drawn.United(trace_painter_->EndBand());
        if (trace_painter_->EntriesLeftOut())
          return std::string("The trace model cannot be drawn: ") + kTooMuchDrawing;
      }
      if (live_painter_) {
        live_painter_->BeginBand();
        PaintHistory(*live_painter_, *in_.live, nullptr);
        drawn = drawn.United(live_painter_->EndBand());
        if (live_painter_->EntriesLeftOut())
          return std::string("The sheet cannot be drawn: ") + kTooMuchDrawing;
      }
    } catch (const std::bad_alloc&) {
      return "not enough memory to draw a " + size_text_ + " picture";
    }
    return {};
  }

 private:
  ink::BrushRenderer& r_;
  const SheetInputs& in_;
  int width_, height_;
  std::string size_text_;
  SheetFit f_;
  PictureMapping map_;
  std::optional<TextureTiles> texture_;
  std::optional<ink::EntryPainter> trace_painter_, live_painter_;
};

}  // namespace

void PictureMapping::Sample(const ink::StrokeSample& s, float& x, float& y, float& r) const {
  x = s.x * f_.s + f_.ox;
  y = s.y * f_.s + f_.oy;
  r = s.radius * f_.s;
}

gfx::Point PictureMapping::FillSeed(float x, float y) const {
  return {base::TruncToInt(4 * (x * f_.s + f_.ox)), base::TruncToInt(4 * (y * f_.s + f_.oy))};
}

gfx::Rect PictureMapping::PictureRect(const ink::Stroke& e) const {
  const int x = base::TruncToInt(e.px * f_.s + f_.ox), y = base::TruncToInt(e.py * f_.s + f_.oy);
  const int w = base::TruncToInt(e.bitmap->Width() * f_.s),
            h = base::TruncToInt(e.bitmap->Height() * f_.s);
  return {4 * x, 4 * y, 4 * (x + w), 4 * (y + h)};
}

gfx::Rect PictureMapping::StampRect(const ink::Stroke& e) const {
  const float x = e.x * f_.s + f_.ox, y = e.y * f_.s + f_.oy;
  const float w = e.width * f_.s, h = e.height * f_.s;
  return {base::TruncToInt(4 * x), base::TruncToInt(4 * y), base::TruncToInt(4 * (x + w)),
          base::TruncToInt(4 * (y + h))};
}

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

int SheetBandRows(int width) {
  const std::ptrdiff_t row_bytes = 4 * gfx::Bitmap24::StrideFor(4 * std::max(width, 1));
  return int(std::clamp<std::ptrdiff_t>(kBandWorkBytes / row_bytes, 1, 1 << 20));
}

Result<gfx::Bitmap24> RenderSheetPicture(int width, int height, const SheetInputs& in) {
  return RenderSheetPictureInBands(width, height, in, SheetBandRows(width));
}

Result<gfx::Bitmap24> RenderSheetPictureInBands(int width, int height, const SheetInputs& in,
                                                int band_rows) {
  using R = Result<gfx::Bitmap24>;
  const std::string size_text = std::to_string(width) + " x " + std::to_string(height);
  if (const std::string why = CheckWorkBitmapSize(width, height); !why.empty())
    return R::Error("cannot render a picture of " + size_text + ": " + why);
  if (in.paper_width <= 0 || in.paper_height <= 0)
    return R::Error("cannot render a picture: the paper size is empty");
  const bool trace = in.trace_shown && in.trace_model != nullptr;
  // A flood fill spreads over whatever the whole picture holds: a sheet with one is drawn at once.
  if ((trace && TraceModelHoldsFill(*in.trace_model)) ||
      (in.live != nullptr && HistoryHoldsFill(*in.live)))
    band_rows = height;
  band_rows = std::clamp(band_rows, 1, height);
  const bool banded = band_rows < height;
  // White once: the bands write every row of the picture, the work bitmap is made white and
  // made white again where a band drew.
  std::optional<gfx::Bitmap24> picture = gfx::Bitmap24::TryCreateFilled(width, height, gfx::kWhite);
  if (!picture) return R::Error("not enough memory for a picture of " + size_text);
  std::unique_ptr<ink::BrushRenderer> renderer;
  try {
    renderer = std::make_unique<ink::BrushRenderer>(*picture, band_rows);
  } catch (const std::bad_alloc&) {
    return R::Error("not enough memory for the work bitmap of a " + size_text + " picture");
  }
  ink::BrushRenderer& r = *renderer;

  SheetDrawer drawer(r, in, width, height);
  if (std::string why = drawer.Prepare(); !why.empty()) return R::Error(why);
  for (int top = 0; top < height; top += band_rows) {
    r.SetBand(top);
    // The target rectangle the band drew on; the rest of its rows stays white.
    gfx::Rect drawn;
    if (std::string why = drawer.DrawBand(drawn); !why.empty()) return R::Error(why);
    if (!banded) {
      r.DownsampleAll();
      break;
    }
    drawn = drawn.Intersected({0, r.BandTop(), width, r.BandBottom()});
    if (drawn.Empty()) continue;
    r.DownsampleRect(drawn.left, drawn.top, drawn.right, drawn.bottom);
    r.ClearWhiteRect(drawn.left, drawn.top, drawn.right, drawn.bottom);
  }
  return std::move(*picture);
}

std::string DrawSheetAtOnce(ink::BrushRenderer& r, const SheetInputs& in) {
  if (in.paper_width <= 0 || in.paper_height <= 0)
    return "cannot render a picture: the paper size is empty";
  SheetDrawer drawer(r, in, r.Width(), r.Height());
  gfx::Rect drawn;
  std::string why = drawer.Prepare();
  if (why.empty()) why = drawer.DrawBand(drawn);
  if (why.empty()) r.DownsampleAll();
  return why;
}

}  // namespace zevo::output
