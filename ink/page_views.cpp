#include "ink/page_views.h"

#include "gfx/canvas.h"

namespace zevo::ink {

PageViews::PageViews(int page_width, int page_height, int overview_width, int overview_height)
    : page_(page_width, page_height, gfx::kWhite),
      overview_(overview_width, overview_height, gfx::kWhite),
      view_(std::make_unique<BrushRenderer>(page_)),
      overview_r_(std::make_unique<BrushRenderer>(overview_)) {
  view_->ClearWhite();
  overview_r_->ClearWhite();
}

void PageViews::SetTransform(PageView v) {
  transform_ = v;
  view_map_ = ViewMapping(v);
}

void PageViews::ToPaper(float vx, float vy, float& px, float& py) const {
  if (transform_.z == 1.0f) {
    px = vx;
    py = vy;
    return;
  }
  px = vx / transform_.z + transform_.ox;
  py = vy / transform_.z + transform_.oy;
}

namespace {

// Adds the part of a renderer's segment rectangle that lies on its bitmap.
void AddChange(gfx::Rect& change, const gfx::Rect& segment, const gfx::Bitmap24& target) {
  change = change.United(segment.Intersected({0, 0, target.Width(), target.Height()}));
}

}  // namespace

StrokeSample PageViews::PenSample(ViewPoint p, bool begin, bool contour) {
  // The first sample draws into the work bitmap only; each next one shows its segment.
  if (begin) {
    if (contour)
      view_->BeginAtWithContour(p.x, p.y, p.radius);
    else
      view_->BeginAt(p.x, p.y, p.radius);
  } else {
    AddChange(pen_change_.page, view_->SegmentRect(p.x, p.y, p.radius), page_);
    if (contour)
      view_->LineToWithContour(p.x, p.y, p.radius);
    else
      view_->LineTo(p.x, p.y, p.radius);
  }
  StrokeSample s;
  ToPaper(p.x, p.y, s.x, s.y);
  s.radius = p.radius / transform_.z;
  float ox, oy, orad;
  overview_map_.Sample(s, ox, oy, orad);
  if (begin) {
    overview_r_->BeginAt(ox, oy, orad);
  } else {
    AddChange(pen_change_.overview, overview_r_->SegmentRect(ox, oy, orad), overview_);
    overview_r_->LineTo(ox, oy, orad);
  }
  return s;
}

StrokeSample PageViews::BeginStroke(ViewPoint p, gfx::Color color, bool contour) {
  view_->SetColor(color);
  overview_r_->SetColor(color);
  return PenSample(p, true, contour);
}

StrokeSample PageViews::ContinueStroke(ViewPoint p, bool contour) {
  return PenSample(p, false, contour);
}

void PageViews::FillAt(float paper_x, float paper_y, gfx::Color color) {
  Stroke fill;
  fill.kind = StrokeKind::Fill;
  fill.value = color;
  fill.x = paper_x;
  fill.y = paper_y;
  DrawEntry(fill);
  pending_ = true;
}

void PageViews::BeginSample(const StrokeSample& s, gfx::Color color) {
  view_->SetColor(color);
  overview_r_->SetColor(color);
  float x, y, r;
  view_map_.Sample(s, x, y, r);
  view_->BeginAt(x, y, r);
  overview_map_.Sample(s, x, y, r);
  overview_r_->BeginAt(x, y, r);
}

ViewPoint PageViews::ContinueSample(const StrokeSample& s) {
  float x, y, r;
  overview_map_.Sample(s, x, y, r);
  overview_r_->LineTo(x, y, r);
  ViewPoint v;
  view_map_.Sample(s, v.x, v.y, v.radius);
  view_->LineTo(v.x, v.y, v.radius);
  pending_ = true;
  return v;
}

void PageViews::DrawEntry(const Stroke& entry) {
  EntryPainter view(*view_, view_map_);
  view.Draw(entry);
  view.Flush();
  EntryPainter overview(*overview_r_, overview_map_);
  overview.Draw(entry);
  overview.Flush();
}

void PageViews::ShowBlank(const gfx::Bitmap24* page, const gfx::Bitmap24* overview) {
  if (page != nullptr && overview != nullptr) {
    gfx::Canvas(page_).Draw(0, 0, *page);
    gfx::Canvas(overview_).Draw(0, 0, *overview);
    view_->LoadFromTarget();
    overview_r_->LoadFromTarget();
  } else {
    view_->ClearWhite();
    overview_r_->ClearWhite();
  }
  changed_ = true;
}

}  // namespace zevo::ink
