#include "output/animation.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "base/truncate.h"
#include "output/sheet_picture.h"

namespace zevo::output {

namespace {

using R = Result<AnimationTotals>;

// Puts the live document back where it stood.
class PositionKept {
 public:
  explicit PositionKept(ink::StrokeDocument& doc) : doc_(doc), position_(doc.Position()) {}
  ~PositionKept() { doc_.ShowFirst(position_); }
  PositionKept(const PositionKept&) = delete;
  PositionKept& operator=(const PositionKept&) = delete;

 private:
  ink::StrokeDocument& doc_;
  int position_;
};

// The smallest rectangle within r (clipped to the bitmaps) holding every pixel where a and b
// differ; empty when none does.
gfx::Rect DifferingBox(const gfx::Bitmap24& a, const gfx::Bitmap24& b, gfx::Rect r) {
  r = r.Intersected({0, 0, a.Width(), a.Height()});
  gfx::Rect box;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* pa = a.Row(y) + 3 * r.left;
    const std::uint8_t* pb = b.Row(y) + 3 * r.left;
    const std::size_t n = std::size_t(3) * std::size_t(r.Width());
    if (std::memcmp(pa, pb, n) == 0) continue;
    int first = 0, last = r.Width() - 1;
    while (std::memcmp(pa + 3 * first, pb + 3 * first, 3) == 0) ++first;
    while (std::memcmp(pa + 3 * last, pb + 3 * last, 3) == 0) --last;
    box = box.United({r.left + first, y, r.left + last + 1, y + 1});
  }
  return box;
}

void CopyRect(gfx::Bitmap24& to, const gfx::Bitmap24& from, const gfx::Rect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    std::memcpy(to.Row(y) + 3 * r.left, from.Row(y) + 3 * r.left,
                std::size_t(3) * std::size_t(r.Width()));
}

// The target pixels a disc of radius r at (x, y) may have written in the work bitmap.
gfx::Rect DiscTargetBox(float x, float y, float r) {
  const float m = r < 0 ? -r : r;
  return {base::TruncToInt(x - m) - 1, base::TruncToInt(y - m) - 1, base::TruncToInt(x + m) + 2,
          base::TruncToInt(y + m) + 2};
}

// Draws the ticks of one animation.
class Animator {
 public:
  Animator(ink::BrushRenderer& r, gfx::Bitmap24& picture, gfx::Bitmap24& shown,
           const SheetMapping& map, const AnimationOptions& o, AnimationSink& sink)
      : r_(r),
        picture_(picture),
        shown_(shown),
        map_(map),
        o_(o),
        sink_(sink),
        painter_(r, map),
        written_at_start_(r.WorkCanvas().PixelsWritten()) {}

  // Each returns empty text on success, else the reason.
  std::string Entry(const ink::Stroke& e) {
    if (e.kind != ink::StrokeKind::Ink) {
      painter_.Draw(e);
      painter_.Flush();
      if (painter_.EntriesLeftOut() || OverBudget()) return TooMuch();
      touched_ = {0, 0, picture_.Width(), picture_.Height()};
      return EndTick();
    }
    // The tick that begins the stroke draws its first disc into the work bitmap alone.
    const std::size_t n = e.samples.size();
    float x = 0, y = 0, rad = 0;
    gfx::Rect first_disc;
    r_.SetColor(e.value);
    if (n > 0) {
      map_.Sample(e.samples[0], x, y, rad);
      r_.BeginAt(x, y, rad);
      first_disc = DiscTargetBox(x, y, rad);
    }
    if (std::string why = EndTick(); !why.empty()) return why;
    const std::size_t per_tick = std::size_t(o_.samples_per_frame);
    for (std::size_t i = 1; i < n;) {
      for (const std::size_t end = std::min(n, i + per_tick); i < end; ++i) {
        ClearTip();
        map_.Sample(e.samples[i], x, y, rad);
        touched_ = touched_.United(r_.SegmentRect(x, y, rad));
        r_.LineTo(x, y, rad);
        if (OverBudget()) return TooMuch();
        if (o_.tip) DrawTip(x, y, rad);
      }
      if (std::string why = EndTick(); !why.empty()) return why;
    }
    // The tick that finds the stroke ended takes the tip away and shows a stroke of one sample,
    // whose disc no segment averaged.
    ClearTip();
    r_.DownsampleRect(first_disc.left, first_disc.top, first_disc.right, first_disc.bottom);
    touched_ = touched_.United(first_disc);
    return EndTick();
  }

  int Ticks() const { return tick_; }
  int Frames() const { return frames_; }

 private:
  // Shows what the tick drew as a frame, unless it changed nothing.
  std::string EndTick() {
    ++tick_;
    const gfx::Rect changed = DifferingBox(picture_, shown_, touched_);
    touched_ = {};
    if (changed.Empty()) return {};
    CopyRect(shown_, picture_, changed);
    ++frames_;
    return sink_.Frame(picture_, changed, TickTimeMs(tick_, o_.fps));
  }

  // The inverting circle around the brush tip, on the picture itself.
  void DrawTip(float x, float y, float rad) {
    gfx::Canvas c(picture_);
    c.pen = {gfx::kBlack, 1, gfx::PenMode::NotXor};
    c.brush = {gfx::kWhite, gfx::BrushStyle::Clear};
    gfx::Rect box{base::TruncToInt(x - rad), base::TruncToInt(y - rad), base::TruncToInt(x + rad),
                  base::TruncToInt(y + rad)};
    c.Ellipse(box.left, box.top, box.right, box.bottom);
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    tip_ = gfx::Rect{box.left, box.top, box.right + 1, box.bottom + 1};
    touched_ = touched_.United(*tip_);
  }
  // Its pixels averaged again from the work bitmap.
  void ClearTip() {
    if (!tip_) return;
    r_.DownsampleRect(tip_->left, tip_->top, tip_->right, tip_->bottom);
    touched_ = touched_.United(*tip_);
    tip_.reset();
  }

  bool OverBudget() const {
    return r_.WorkCanvas().PixelsWritten() - written_at_start_ >
           std::uint64_t(ink::EntryPainter::kWorkPerPixel) * r_.WorkArea();
  }
  static std::string TooMuch() {
    return std::string("The sheet cannot be drawn: ") + kTooMuchDrawing;
  }

  ink::BrushRenderer& r_;
  gfx::Bitmap24& picture_;
  gfx::Bitmap24& shown_;  // the last frame given to the sink
  const SheetMapping& map_;
  const AnimationOptions& o_;
  AnimationSink& sink_;
  // Pictures, seals and fills; one for the whole animation, so that the work its fills may
  // spend counts across all of them, as in the sheet picture.
  ink::EntryPainter painter_;
  std::uint64_t written_at_start_;
  gfx::Rect touched_;
  std::optional<gfx::Rect> tip_;
  int tick_ = 0;
  int frames_ = 1;
};

}  // namespace

std::int64_t ReplayTicks(const ink::StrokeDocument& doc, int from, int to, int samples_per_frame) {
  std::int64_t ticks = 0;
  const std::int64_t per = std::max(samples_per_frame, 1);
  for (int i = std::max(from, 0); i < std::min(to, doc.Count()); ++i) {
    const ink::Stroke& e = *doc.Entry(i);
    if (e.kind != ink::StrokeKind::Ink) {
      ++ticks;
      continue;
    }
    const std::int64_t after_first = std::max<std::int64_t>(e.SampleCount() - 1, 0);
    ticks += 2 + (after_first + per - 1) / per;
  }
  return ticks;
}

Result<AnimationTotals> RenderAnimation(const SheetInputs& in, const AnimationOptions& o,
                                        AnimationSink& sink, const AnimationProgress& progress) {
  if (in.live == nullptr) return R::Error("there is no history to animate");
  ink::StrokeDocument& doc = *in.live;
  if (o.samples_per_frame < 1) return R::Error("the samples per frame must be 1 or more");
  if (o.fps < 1) return R::Error("the frame rate must be 1 or more");
  if (o.pause_ms < 0) return R::Error("the pause must be 0 or more");
  if (o.from < 0 || o.from > o.to || o.to > doc.Count())
    return R::Error("the positions must lie within 0.." + std::to_string(doc.Count()) +
                    ", the first not after the last");
  const int w = o.width, h = o.height;
  const std::string size_text = std::to_string(w) + " x " + std::to_string(h);
  if (const std::string why = CheckWorkBitmapSize(w, h); !why.empty())
    return R::Error("cannot render a picture of " + size_text + ": " + why);
  if (in.paper_width <= 0 || in.paper_height <= 0)
    return R::Error("cannot render a picture: the paper size is empty");

  std::optional<gfx::Bitmap24> picture = gfx::Bitmap24::TryCreateFilled(w, h, gfx::kWhite);
  std::optional<gfx::Bitmap24> shown = gfx::Bitmap24::TryCreate(w, h);
  if (!picture || !shown) return R::Error("not enough memory for frames of " + size_text);
  std::unique_ptr<ink::BrushRenderer> renderer;
  try {
    // One band of the whole height: a white work bitmap, drawn at once.
    renderer = std::make_unique<ink::BrushRenderer>(*picture, h);
  } catch (const std::bad_alloc&) {
    return R::Error("not enough memory for the work bitmap of a " + size_text + " picture");
  }
  ink::BrushRenderer& r = *renderer;

  const PositionKept kept(doc);
  doc.ShowFirst(o.from);
  if (std::string why = DrawSheetAtOnce(r, in); !why.empty()) return R::Error(why);
  CopyRect(*shown, *picture, {0, 0, w, h});
  if (std::string why = sink.Frame(*picture, {0, 0, w, h}, 0); !why.empty()) return R::Error(why);

  const PictureMapping map(FitSheet(w, h, in.paper_width, in.paper_height));
  Animator animator(r, *picture, *shown, map, o, sink);
  const int count = o.to - o.from;
  try {
    for (int i = o.from; i < o.to; ++i) {
      if (std::string why = animator.Entry(*doc.Entry(i)); !why.empty()) return R::Error(why);
      if (progress && !progress(i + 1 - o.from, count)) return R::Error(kAnimationCancelled);
    }
  } catch (const std::bad_alloc&) {
    return R::Error("not enough memory to draw a " + size_text + " picture");
  }
  AnimationTotals totals;
  totals.ticks = animator.Ticks();
  totals.frames = animator.Frames();
  // The last tick is shown for its whole time, then held for the pause.
  totals.duration_ms = TickTimeMs(totals.ticks + 1, o.fps) + o.pause_ms;
  if (std::string why = sink.End(totals.duration_ms); !why.empty()) return R::Error(why);
  return totals;
}

}  // namespace zevo::output
