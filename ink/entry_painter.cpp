#include "ink/entry_painter.h"

#include <cmath>

#include "base/truncate.h"

namespace zevo::ink {

namespace {

using base::TruncToInt;

// The target box a disc of radius r at (x, y) can touch, with the renderer's margin.
gfx::Rect DiscBox(float x, float y, float r) {
  const double m = std::fabs(double(r)) + 3.0;
  return {TruncToInt(std::floor(double(x) - m)), TruncToInt(std::floor(double(y) - m)),
          TruncToInt(std::ceil(double(x) + m)), TruncToInt(std::ceil(double(y) + m))};
}

// Work pixels to the target pixels that hold them: four to one, outwards.
int FloorQuarter(int v) {
  return v >= 0 ? v / 4 : -((3 - v) / 4);
}
int CeilQuarter(int v) {
  return -FloorQuarter(-v);
}

}  // namespace

void ViewMapping::Sample(const StrokeSample& s, float& x, float& y, float& r) const {
  if (v_.z == 1.0f) {
    // At 100 % the view origin is (0, 0): the recorded values are the page's.
    x = s.x;
    y = s.y;
    r = s.radius;
    return;
  }
  x = float((double(s.x) - v_.ox) * v_.z);
  y = float((double(s.y) - v_.oy) * v_.z);
  r = float(double(s.radius) * v_.z);
}

gfx::Point ViewMapping::FillSeed(float x, float y) const {
  return {TruncToInt((double(x) - v_.ox) * v_.z * 4), TruncToInt((double(y) - v_.oy) * v_.z * 4)};
}

gfx::Rect ViewMapping::PictureRect(const Stroke& e) const {
  const double z = v_.z;
  const int vx = TruncToInt((double(e.px) - v_.ox) * z),
            vy = TruncToInt((double(e.py) - v_.oy) * z);
  const int vw = TruncToInt(e.bitmap->Width() * z), vh = TruncToInt(e.bitmap->Height() * z);
  return {4 * vx, 4 * vy, 4 * (vx + vw), 4 * (vy + vh)};
}

gfx::Rect ViewMapping::StampRect(const Stroke& e) const {
  const float z = v_.z;
  const float x = (e.x - v_.ox) * z, y = (e.y - v_.oy) * z;
  const float w = e.width * z, h = e.height * z;
  return {TruncToInt(4.0f * x), TruncToInt(4.0f * y), TruncToInt(4.0f * (x + w)),
          TruncToInt(4.0f * (y + h))};
}

void OverviewMapping::Sample(const StrokeSample& s, float& x, float& y, float& r) const {
  x = s.x * kOverviewScale;
  y = s.y * kOverviewScale;
  r = s.radius * kOverviewScale;
}

gfx::Point OverviewMapping::FillSeed(float x, float y) const {
  // Four work pixels to an overview pixel: the work bitmap is the paper itself.
  return {TruncToInt(x), TruncToInt(y)};
}

gfx::Rect OverviewMapping::PictureRect(const Stroke& e) const {
  const int x = TruncToInt(e.px), y = TruncToInt(e.py);
  return {x, y, x + e.bitmap->Width(), y + e.bitmap->Height()};
}

gfx::Rect OverviewMapping::StampRect(const Stroke& e) const {
  return {TruncToInt(e.x), TruncToInt(e.y), TruncToInt(e.x + e.width), TruncToInt(e.y + e.height)};
}

void EntryPainter::TouchWork(const gfx::Rect& w) {
  Touch({FloorQuarter(w.left), FloorQuarter(w.top), CeilQuarter(w.right) + 1,
         CeilQuarter(w.bottom) + 1});
}

void EntryPainter::Draw(const Stroke& e, const Stroke* next) {
  if (style_.strokes_and_fills_only && e.kind != StrokeKind::Ink && e.kind != StrokeKind::Fill)
    return;
  const gfx::Color color = style_.color.value_or(e.value);
  if (e.kind == StrokeKind::Fill) {
    DrawFill(e, color, next);
    return;
  }
  Finish();
  if (!WithinWork(kWorkPerPixel, r_.WorkCanvas().PixelsWritten() - written_at_start_)) return;
  switch (e.kind) {
    case StrokeKind::Ink: {
      if (e.samples.empty()) return;
      r_.SetColor(color);
      // The stroke's discs and joins overlap along its length: each row's union is written
      // once, when the stroke is done.
      gfx::Canvas& canvas = r_.WorkCanvas();
      canvas.BeginSpanBatch(canvas.brush.color);
      float x, y, rad;
      for (std::size_t i = 0; i < e.samples.size(); ++i) {
        // One stroke may hold a file's worth of samples: its work is checked as it goes.
        if (i % 64 == 63 &&
            !WithinWork(kWorkPerPixel, r_.WorkCanvas().PixelsWritten() - written_at_start_))
          break;
        map_.Sample(e.samples[i], x, y, rad);
        if (i == 0)
          r_.BeginAt(x, y, rad);
        else
          r_.DrawSegment(x, y, rad);
        Touch(DiscBox(x, y, rad));
      }
      canvas.EndSpanBatch();
      break;
    }
    case StrokeKind::Picture:
    case StrokeKind::Stamp: {
      if (!e.bitmap || e.bitmap->Empty()) return;
      const gfx::Rect to = e.kind == StrokeKind::Picture ? map_.PictureRect(e) : map_.StampRect(e);
      map_.StretchPicture(r_.WorkCanvas(), *e.bitmap, to);
      TouchWork(to);
      break;
    }
    case StrokeKind::Fill:
      break;
  }
}

void EntryPainter::DrawFill(const Stroke& e, gfx::Color color, const Stroke* next) {
  r_.SetColor(color);
  Touch({0, 0, r_.Width(), r_.Height()});
  const gfx::Point seed = map_.FillSeed(e.x, e.y);
  if (holding_ && held_.Contains(seed.x, seed.y) && !held_.Borders(held_color_)) {
    held_color_ = color;
    return;
  }
  Finish();
  if (!WithinWork(kFillWorkPerPixel, fill_work_) ||
      !WithinWork(kWorkPerPixel, r_.WorkCanvas().PixelsWritten() - written_at_start_))
    return;
  if (next == nullptr || next->kind != StrokeKind::Fill) {
    fill_work_ += r_.WorkCanvas().FloodFill(seed.x, seed.y);
    return;
  }
  if (!held_.Find(r_.Work(), seed.x, seed.y)) return;
  fill_work_ += 2 * held_.Area();
  held_color_ = color;
  holding_ = true;
}

bool EntryPainter::WithinWork(std::size_t per_pixel, std::uint64_t spent) {
  const std::uint64_t allowed = std::uint64_t(per_pixel) * std::uint64_t(r_.Work().Width()) *
                                std::uint64_t(r_.Work().Height());
  if (spent < allowed) return true;
  left_out_ = true;
  return false;
}

void EntryPainter::Finish() {
  if (!holding_) return;
  holding_ = false;
  held_.Paint(r_.Work(), held_color_);
}

void EntryPainter::Flush() {
  Finish();
  if (!dirty_.Empty()) r_.DownsampleRect(dirty_.left, dirty_.top, dirty_.right, dirty_.bottom);
  dirty_ = {};
}

}  // namespace zevo::ink
