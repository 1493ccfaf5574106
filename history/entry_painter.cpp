#include "history/entry_painter.h"

#include <algorithm>
#include <cmath>

#include "gfx/canvas.h"

namespace zevo::history {

namespace {

constexpr gfx::Color kTransparent = gfx::kWhite;

// The target box a disc of radius r at (x, y) can touch, with the renderer's margin.
void DiscBox(float x, float y, float r, int& l, int& t, int& rr, int& b) {
  const double m = std::fabs(double(r)) + 3.0;
  l = TruncCoord(std::floor(double(x) - m));
  t = TruncCoord(std::floor(double(y) - m));
  rr = TruncCoord(std::ceil(double(x) + m));
  b = TruncCoord(std::ceil(double(y) + m));
}

}  // namespace

int TruncCoord(double v) {
  constexpr double kLimit = 1 << 26;
  if (!(v > -kLimit)) return -(1 << 26);  // NaN too
  if (v > kLimit) return 1 << 26;
  return int(v);
}

void EntryPainter::Dirty::Add(int l, int t, int r, int b) {
  if (r <= l || b <= t) return;
  if (!any) {
    left = l, top = t, right = r, bottom = b;
    any = true;
    return;
  }
  left = std::min(left, l);
  top = std::min(top, t);
  right = std::max(right, r);
  bottom = std::max(bottom, b);
}

void EntryPainter::ToView(const ink::StrokeSample& s, float& x, float& y, float& r) const {
  if (z_.z == 1.0f) {
    // At 100 % the view origin is (0, 0): the recorded values are the page's.
    x = s.x;
    y = s.y;
    r = s.radius;
    return;
  }
  x = float((double(s.x) - z_.ox) * z_.z);
  y = float((double(s.y) - z_.oy) * z_.z);
  r = float(double(s.radius) * z_.z);
}

void EntryPainter::Draw(ink::Stroke& e) {
  switch (e.kind) {
    case ink::StrokeKind::Ink:
      DrawInk(e);
      break;
    case ink::StrokeKind::Picture:
      DrawPicture(e);
      break;
    case ink::StrokeKind::Stamp:
      DrawStamp(e);
      break;
    case ink::StrokeKind::Fill:
      DrawFill(e);
      break;
    default:
      break;
  }
}

void EntryPainter::DrawInk(ink::Stroke& e) {
  // The samples are read by index, not with the entry's cursor, so that two painters may
  // walk one entry at the same time.
  if (e.samples.empty()) return;
  float x, y, r;
  int l, t, rr, b;
  if (draw_view_) {
    view_.SetColor(e.value);
    for (std::size_t i = 0; i < e.samples.size(); ++i) {
      ToView(e.samples[i], x, y, r);
      if (i == 0)
        view_.BeginAt(x, y, r);
      else
        view_.DrawSegment(x, y, r);
      DiscBox(x, y, r, l, t, rr, b);
      view_dirty_.Add(l, t, rr, b);
    }
  }
  if (draw_overview_) {
    overview_.SetColor(e.value);
    for (std::size_t i = 0; i < e.samples.size(); ++i) {
      const ink::StrokeSample& s = e.samples[i];
      const float ox = s.x * 0.25f, oy = s.y * 0.25f, orad = s.radius * 0.25f;
      if (i == 0)
        overview_.BeginAt(ox, oy, orad);
      else
        overview_.DrawSegment(ox, oy, orad);
      DiscBox(ox, oy, orad, l, t, rr, b);
      overview_dirty_.Add(l, t, rr, b);
    }
  }
}

void EntryPainter::DrawPicture(const ink::Stroke& e) {
  if (!e.bitmap || e.bitmap->Empty()) return;
  const gfx::Bitmap24& p = *e.bitmap;
  const double z = z_.z;
  const int vx = TruncCoord((double(e.px) - z_.ox) * z),
            vy = TruncCoord((double(e.py) - z_.oy) * z);
  const int vw = TruncCoord(p.Width() * z), vh = TruncCoord(p.Height() * z);
  if (draw_view_) {
    view_.WorkCanvas().StretchDrawTransparent({4 * vx, 4 * vy, 4 * (vx + vw), 4 * (vy + vh)}, p,
                                              kTransparent);
    view_dirty_.Add(vx, vy, vx + vw, vy + vh);
  }
  const int x = TruncCoord(e.px), y = TruncCoord(e.py);
  if (draw_overview_) {
    overview_.WorkCanvas().StretchDrawTransparent({x, y, x + p.Width(), y + p.Height()}, p,
                                                  kTransparent);
    overview_dirty_.Add(x / 4, y / 4, (x + p.Width()) / 4, (y + p.Height()) / 4);
  }
}

void EntryPainter::DrawStamp(const ink::Stroke& e) {
  if (!e.bitmap || e.bitmap->Empty()) return;
  const gfx::Bitmap24& b = *e.bitmap;
  const float z = z_.z;
  const float X = (e.x - z_.ox) * z, Y = (e.y - z_.oy) * z;
  const float Wz = e.width * z, Hz = e.height * z;
  if (draw_view_) {
    view_.WorkCanvas().StretchDrawTransparent(
        {TruncCoord(4.0f * X), TruncCoord(4.0f * Y), TruncCoord(4.0f * (X + Wz)),
         TruncCoord(4.0f * (Y + Hz))},
        b, kTransparent);
    view_dirty_.Add(TruncCoord(X), TruncCoord(Y), TruncCoord(X + Wz + 1), TruncCoord(Y + Hz + 1));
  }
  if (!draw_overview_) return;
  overview_.WorkCanvas().StretchDrawTransparent(
      {TruncCoord(e.x), TruncCoord(e.y), TruncCoord(e.x + e.width), TruncCoord(e.y + e.height)}, b,
      kTransparent);
  overview_dirty_.Add(TruncCoord(e.x * 0.25f), TruncCoord(e.y * 0.25f),
                      TruncCoord((e.x + e.width + 1) * 0.25f),
                      TruncCoord((e.y + e.height + 1) * 0.25f));
}

void EntryPainter::DrawFill(const ink::Stroke& e) {
  if (draw_view_) {
    view_.SetColor(e.value);
    view_.WorkCanvas().FloodFill(TruncCoord((double(e.x) - z_.ox) * z_.z * 4),
                                 TruncCoord((double(e.y) - z_.oy) * z_.z * 4));
    view_dirty_.Add(0, 0, view_.Width(), view_.Height());
  }
  if (!draw_overview_) return;
  overview_.SetColor(e.value);
  overview_.WorkCanvas().FloodFill(TruncCoord(e.x), TruncCoord(e.y));
  overview_dirty_.Add(0, 0, overview_.Width(), overview_.Height());
}

void EntryPainter::Flush() {
  if (view_dirty_.any)
    view_.DownsampleRect(view_dirty_.left, view_dirty_.top, view_dirty_.right, view_dirty_.bottom);
  if (overview_dirty_.any)
    overview_.DownsampleRect(overview_dirty_.left, overview_dirty_.top, overview_dirty_.right,
                             overview_dirty_.bottom);
  view_dirty_ = {};
  overview_dirty_ = {};
}

}  // namespace zevo::history
