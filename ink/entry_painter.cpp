#include "ink/entry_painter.h"

#include <algorithm>
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
  // A picture stretched onto a rectangle of negative extent is drawn mirrored.
  const int l = std::min(w.left, w.right), r = std::max(w.left, w.right);
  const int t = std::min(w.top, w.bottom), b = std::max(w.top, w.bottom);
  Touch({FloorQuarter(l), FloorQuarter(t), CeilQuarter(r) + 1, CeilQuarter(b) + 1});
}

const EntryPainter::StrokeBoxes& EntryPainter::BoxesOf(const Stroke& e, std::size_t index) {
  if (boxes_.size() <= index) boxes_.resize(index + 1);
  StrokeBoxes& b = boxes_[index];
  if (b.known) return b;
  b.known = true;
  // Anything a run reaches lies within the larger radius of its samples' centres; values this
  // program never makes give a box of everything, so that they are drawn in every band.
  constexpr double kSane = double(1 << 20);
  constexpr int kAll = 1 << 29;
  const gfx::Rect all{-kAll, -kAll, kAll, kAll};
  const std::size_t n = e.samples.size();
  b.runs.resize((n + kRun - 1) / kRun);
  for (std::size_t k = 0; k < b.runs.size(); ++k) {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    bool sane = true;
    const std::size_t first = k * kRun == 0 ? 0 : k * kRun - 1;
    const std::size_t end = std::min(n, (k + 1) * kRun);
    for (std::size_t i = first; i < end && sane; ++i) {
      float x, y, r;
      map_.Sample(e.samples[i], x, y, r);
      if (!(std::fabs(x) < kSane && std::fabs(y) < kSane && std::fabs(r) < kSane)) {
        sane = false;
        break;
      }
      const double m = std::fabs(double(r));
      x0 = std::min(x0, x - m);
      x1 = std::max(x1, x + m);
      y0 = std::min(y0, y - m);
      y1 = std::max(y1, y + m);
    }
    b.runs[k] = sane ? gfx::Rect{int(std::floor(4 * x0)) - 8, int(std::floor(4 * y0)) - 8,
                                 int(std::ceil(4 * x1)) + 9, int(std::ceil(4 * y1)) + 9}
                     : all;
    b.whole = b.whole.United(b.runs[k]);
  }
  return b;
}

bool EntryPainter::MissesBand(const gfx::Rect& w) const {
  return w.bottom <= 4 * r_.BandTop() || w.top >= 4 * r_.BandBottom() || w.right <= 0 ||
         w.left >= 4 * r_.Width();
}

void EntryPainter::BeginBand() {
  written_at_start_ = r_.WorkCanvas().PixelsWritten() - spent_before_band_;
  band_index_ = 0;
}

gfx::Rect EntryPainter::EndBand() {
  Finish();
  spent_before_band_ = r_.WorkCanvas().PixelsWritten() - written_at_start_;
  const gfx::Rect drawn = dirty_;
  dirty_ = {};
  return drawn;
}

void EntryPainter::Draw(const Stroke& e, const Stroke* next) {
  const std::size_t index = band_index_++;
  if (style_.strokes_and_fills_only && e.kind != StrokeKind::Ink && e.kind != StrokeKind::Fill)
    return;
  const gfx::Color color = style_.color.value_or(e.value);
  if (e.kind == StrokeKind::Fill) {
    DrawFill(e, color, next);
    return;
  }
  Finish();
  if (!WithinWork(kWorkPerPixel, Spent())) return;
  switch (e.kind) {
    case StrokeKind::Ink: {
      if (e.samples.empty()) return;
      const StrokeBoxes* boxes = r_.Banded() ? &BoxesOf(e, index) : nullptr;
      if (boxes != nullptr && MissesBand(boxes->whole)) return;
      r_.SetColor(color);
      // The stroke's discs and joins overlap along its length: each row's union is written
      // once, when the stroke is done.
      gfx::Canvas& canvas = r_.WorkCanvas();
      canvas.BeginSpanBatch(canvas.brush.color);
      float x, y, rad;
      for (std::size_t i = 0; i < e.samples.size(); ++i) {
        // One stroke may hold a file's worth of samples: its work is checked as it goes.
        if (i % 64 == 63 && !WithinWork(kWorkPerPixel, Spent())) break;
        if (boxes != nullptr && i % kRun == 0) {
          const gfx::Rect& run = boxes->runs[i / kRun];
          if (MissesBand(run)) {
            // Nothing of the run reaches the band: on to its last sample, with the check of
            // the work that would have fallen inside it.
            const std::size_t last = std::min(i + kRun, e.samples.size()) - 1;
            map_.Sample(e.samples[last], x, y, rad);
            r_.MoveTo(x, y, rad);
            const std::size_t check = i + (63 - i % 64);
            if (check > i && check <= last && !WithinWork(kWorkPerPixel, Spent())) break;
            i = last;
            continue;
          }
          TouchWork(run);
        }
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
  if (!WithinWork(kFillWorkPerPixel, fill_work_) || !WithinWork(kWorkPerPixel, Spent())) return;
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
  const std::uint64_t allowed = std::uint64_t(per_pixel) * r_.WorkArea();
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
