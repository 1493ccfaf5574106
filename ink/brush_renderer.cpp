#include "ink/brush_renderer.h"
#include "base/truncate.h"
#include "ink/downsample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zevo::ink {

BrushRenderer::BrushRenderer(gfx::Bitmap24& target)
    : width_(target.Width()),
      height_(target.Height()),
      band_rows_(target.Height()),
      target_(&target),
      own_work_(target.Width() * 4, target.Height() * 4),
      work_(&own_work_),
      canvas_(own_work_) {
  RestoreDrawingState();
}

BrushRenderer::BrushRenderer(gfx::Bitmap24& target, int band_rows)
    : width_(target.Width()),
      height_(target.Height()),
      band_rows_(std::clamp(band_rows, 1, std::max(target.Height(), 1))),
      target_(&target),
      own_work_(target.Width() * 4, band_rows_ * 4, gfx::kWhite),
      work_(&own_work_),
      canvas_(own_work_) {
  if (Banded()) canvas_.SetRows(0, 4 * height_);
  RestoreDrawingState();
}

BrushRenderer::BrushRenderer(BrushRenderer& whole, int top, int bottom)
    : x_(whole.x_),
      y_(whole.y_),
      radius_(whole.radius_),
      width_(whole.width_),
      height_(whole.height_),
      color_(whole.color_),
      target_(whole.target_),
      work_(whole.work_),
      canvas_(*whole.work_) {
  band_top_ = std::clamp(top, 0, std::max(height_ - 1, 0));
  band_rows_ = std::max(std::min(bottom, height_) - band_top_, 1);
  work_row0_ = whole.work_row0_;
  canvas_.SetRows(whole.canvas_.FirstRow(), whole.canvas_.FullHeight());
  canvas_.SetClipRows(4 * band_top_, 4 * (band_top_ + band_rows_));
  RestoreDrawingState();
}

void BrushRenderer::FollowPart(const BrushRenderer& part) {
  x_ = part.x_;
  y_ = part.y_;
  radius_ = part.radius_;
  SetColor(part.color_);
}

void BrushRenderer::SetBand(int top) {
  band_top_ = top;
  work_row0_ = top;
  if (Banded()) canvas_.SetRows(4 * top, 4 * height_);
}

void BrushRenderer::ClearWhiteRect(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, BandTop());
  right = std::min(right, width_);
  bottom = std::min(bottom, BandBottom());
  if (left >= right || top >= bottom) return;
  const int row0 = 4 * work_row0_;
  work_->FillRect({4 * left, 4 * top - row0, 4 * right, 4 * bottom - row0}, gfx::kWhite);
}

bool BrushRenderer::SegmentMissesBand(float x1, float y1, float r1) const {
  if (!Banded()) return false;
  // Both discs and the quadrilateral between them lie within the larger radius of the two
  // centres' rows; values this program never makes are drawn whatever they reach.
  constexpr float kSane = float(1 << 20);
  const float v[6] = {x_, y_, radius_, x1, y1, r1};
  for (const float a : v)
    if (!(std::fabs(a) < kSane)) return false;
  const float r = std::max(std::fabs(radius_), std::fabs(r1));
  const float top = 4 * (std::min(y_, y1) - r), bottom = 4 * (std::max(y_, y1) + r);
  return bottom + 8 < float(4 * BandTop()) || top - 8 > float(4 * BandBottom());
}

void BrushRenderer::RestoreDrawingState() {
  canvas_.pen = gfx::Pen{color_, 1, gfx::PenMode::Copy};
  canvas_.brush = gfx::Brush{color_, gfx::BrushStyle::Solid};
}

void BrushRenderer::SetColor(gfx::Color color) {
  color_ = color & 0x00FFFFFF;
  RestoreDrawingState();
}

void BrushRenderer::DrawDisc(float x, float y, float r) {
  canvas_.Ellipse(base::TruncToInt((x - r) * 4), base::TruncToInt((y - r) * 4),
                  base::TruncToInt((x + r) * 4), base::TruncToInt((y + r) * 4));
}

void BrushRenderer::DrawContour(float x, float y, float r) {
  canvas_.pen = gfx::Pen{gfx::kBlack, 4, gfx::PenMode::NotXor};
  canvas_.brush = gfx::Brush{gfx::kWhite, gfx::BrushStyle::Clear};
  DrawDisc(x, y, r);
  RestoreDrawingState();
}

void BrushRenderer::BeginAt(float x, float y, float radius) {
  x_ = x;
  y_ = y;
  radius_ = radius;
  const int left = base::TruncToInt((x - radius) * 4), top = base::TruncToInt((y - radius) * 4);
  const int right = base::TruncToInt((x + radius) * 4), bottom = base::TruncToInt((y + radius) * 4);
  if (4 * width_ >= left && right >= 0 && 4 * height_ >= top && bottom >= 0)
    canvas_.Ellipse(left, top, right, bottom);
}

void BrushRenderer::BeginAtWithContour(float x, float y, float radius) {
  x_ = x;
  y_ = y;
  radius_ = radius;
  DrawDisc(x, y, radius);
  DrawContour(x, y, radius);
}

BrushRenderer::Box BrushRenderer::SegmentBox(float x1, float y1, float r1) const {
  const float x0 = x_, y0 = y_, r0 = radius_;
  const float m = float(r0 > r1 ? base::TruncToInt(r0 + 2) : base::TruncToInt(r1 + 2));
  Box b;
  if (x1 < x0) {
    b.left = base::TruncToInt(x1 - m);
    b.right = base::TruncToInt(m + x0);
  } else {
    b.left = base::TruncToInt(x0 - m);
    b.right = base::TruncToInt(x1 + m);
  }
  if (y1 < y0) {
    b.top = base::TruncToInt(y1 - m);
    b.bottom = base::TruncToInt(m + y0);
  } else {
    b.top = base::TruncToInt(y0 - m);
    b.bottom = base::TruncToInt(y1 + m);
  }
  return b;
}

void BrushRenderer::DrawSegment(float x1, float y1, float r1) {
  const Box box = SegmentBox(x1, y1, r1);
  const bool misses_band = SegmentMissesBand(x1, y1, r1);
  const float x0 = x_, y0 = y_, r0 = radius_;
  x_ = x1;
  y_ = y1;
  radius_ = r1;
  if (box.left > width_ || box.right < 0 || box.top > height_ || box.bottom < 0) return;
  if (misses_band) return;

  const float dr = r0 - r1;
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const float d2 = dx * dx + dy * dy;
  const float d = std::sqrt(d2);

  // The disc at the old point was drawn when that point was reached. One disc inside the
  // other: nothing joins them.
  if (std::fabs(dr) > d) {
    DrawDisc(x1, y1, r1);
    return;
  }

  float k = 0, t = 0;
  if (d > 0.5f) {
    k = dr / d2;
    t = k * d;
  }
  // Where the two outer common tangents touch the disc (px, py, r).
  auto tangents = [&](float px, float py, float r, gfx::Point& minus, gfx::Point& plus) {
    const float a = r * t;
    float h2 = r * r - a * a;
    if (h2 < 0) h2 = 0;
    const float m = r * k;
    const float bx = px + m * dx;
    const float by = py + m * dy;
    if (d2 < 0.005f) {
      minus = plus = {base::TruncToInt(bx * 4), base::TruncToInt(by * 4)};
      return;
    }
    const float s = std::sqrt(h2 / d2);
    minus = {base::TruncToInt((bx - dy * s) * 4), base::TruncToInt((by + dx * s) * 4)};
    plus = {base::TruncToInt((bx + dy * s) * 4), base::TruncToInt((by - dx * s) * 4)};
  };
  gfx::Point q[4];
  tangents(x0, y0, r0, q[0], q[3]);
  tangents(x1, y1, r1, q[1], q[2]);
  canvas_.EllipseAndPolygon(base::TruncToInt((x1 - r1) * 4), base::TruncToInt((y1 - r1) * 4),
                            base::TruncToInt((x1 + r1) * 4), base::TruncToInt((y1 + r1) * 4), q);
}

void BrushRenderer::LineTo(float x, float y, float radius) {
  const Box box = SegmentBox(x, y, radius);
  DrawSegment(x, y, radius);
  DownsampleRect(box.left, box.top, box.right, box.bottom);
}

void BrushRenderer::LineToWithContour(float x, float y, float radius) {
  DrawContour(x_, y_, radius_);
  const Box box = SegmentBox(x, y, radius);
  DrawSegment(x, y, radius);
  // At pen-up the outline is gone.
  if (radius != 0) DrawContour(x, y, radius);
  DownsampleRect(box.left, box.top, box.right, box.bottom);
}

void BrushRenderer::DownsampleRect(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, BandTop());
  right = std::min(right, width_);
  bottom = std::min(bottom, BandBottom());
  if (left >= right || top >= bottom) return;
  Downsample4x4(*work_, *target_, left, top, right, bottom, work_row0_);
}

void BrushRenderer::DownsampleAll() {
  DownsampleRect(0, 0, width_, height_);
}

void BrushRenderer::ClearWhite() {
  std::memset(target_->Data(), 0xFF, target_->ByteSize());
  std::memset(work_->Data(), 0xFF, work_->ByteSize());
}

void BrushRenderer::LoadFromTarget() {
  const std::size_t row_bytes = std::size_t(work_->Width()) * 3;
  for (int j = 0; j < height_; ++j) {
    const std::uint8_t* t = target_->Row(j);
    std::uint8_t* w = work_->Row(4 * j);
    for (int i = 0; i < width_; ++i) {
      for (int u = 0; u < 4; ++u) std::memcpy(w + (4 * i + u) * 3, t + i * 3, 3);
    }
    for (int v = 1; v < 4; ++v) std::memcpy(work_->Row(4 * j + v), w, row_bytes);
  }
}

}  // namespace zevo::ink
