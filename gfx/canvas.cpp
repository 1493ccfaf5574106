#include "gfx/canvas.h"
#include "gfx/ellipse_outline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace zevo::gfx {

namespace {

// The columns of row y (pixel centres at y + 0.5) inside the ellipse inscribed in the box;
// false when the row misses it.
bool EllipseSpan(double cx, double cy, double a, double b, int y, int& x0, int& x1) {
  if (a <= 0 || b <= 0) return false;
  const double dy = (y + 0.5 - cy) / b;
  const double q = 1.0 - dy * dy;
  if (q < 0) return false;
  const double hw = a * std::sqrt(q);
  x0 = int(std::ceil(cx - hw - 0.5));
  x1 = int(std::floor(cx + hw - 0.5));
  return x0 <= x1;
}

// The spans of the ellipse inscribed in a W x H box depend on W and H alone: offsets from the
// box's left edge per row, -1 / -2 for a row that misses the ellipse. Discs of the same box
// size recur all through a history, so the spans are computed once per size.
struct EllipseSpans {
  std::vector<std::int32_t> x0, x1;
};

const EllipseSpans& SpansFor(int w, int h) {
  thread_local std::unordered_map<std::uint64_t, EllipseSpans> cache;
  const std::uint64_t key = (std::uint64_t(std::uint32_t(w)) << 32) | std::uint32_t(h);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 4096) cache.clear();
  EllipseSpans spans;
  spans.x0.resize(std::size_t(h));
  spans.x1.resize(std::size_t(h));
  for (int y = 0; y < h; ++y) {
    int a, b;
    if (!EllipseSpan(w * 0.5, h * 0.5, w * 0.5, h * 0.5, y, a, b)) a = -1, b = -2;
    spans.x0[std::size_t(y)] = a;
    spans.x1[std::size_t(y)] = b;
  }
  return cache.emplace(key, std::move(spans)).first->second;
}

}  // namespace

void Canvas::PlotSpan(int y, int x0, int x1, Color c, PenMode mode) {
  Bitmap24& bm = *target_;
  if (y < ClipTop() || y >= ClipEnd()) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, bm.Width() - 1);
  if (x0 > x1) return;
  pixels_written_ += std::size_t(x1 - x0 + 1);
  if (batching_) {
    if (mode == PenMode::Copy && c == batch_color_) {
      BatchSpan(y, x0, x1);
      return;
    }
    FlushSpanBatch();
  }
  if (mode == PenMode::NotXor) {
    std::uint8_t* p = RowOf(y) + x0 * 3;
    const std::uint8_t b = BlueOf(c), g = GreenOf(c), r = RedOf(c);
    for (int i = x0; i <= x1; ++i, p += 3) {
      p[0] = std::uint8_t(~(b ^ p[0]));
      p[1] = std::uint8_t(~(g ^ p[1]));
      p[2] = std::uint8_t(~(r ^ p[2]));
    }
    return;
  }
  FillSpan(y, x0, x1, c);
}

void Canvas::FillSpan(int y, int x0, int x1, Color c) {
  std::uint8_t* p = RowOf(y) + x0 * 3;
  const std::size_t n = std::size_t(x1 - x0 + 1);
  const std::uint8_t b = BlueOf(c), g = GreenOf(c), r = RedOf(c);
  if (b == g && g == r) {
    std::memset(p, b, n * 3);
    return;
  }
  for (std::size_t i = 0; i < n; ++i, p += 3) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
}

void Canvas::SetRows(int first_row, int full_height) {
  FlushSpanBatch();
  row0_ = first_row;
  full_height_ = full_height;
  end_row_ = std::min(row0_ + target_->Height(), full_height_);
  clipped_ = false;
}

void Canvas::SetClipRows(int top, int bottom) {
  FlushSpanBatch();
  clip_top_ = std::max(top, row0_);
  clip_end_ = std::max(std::min(bottom, EndRow()), clip_top_);
  clipped_ = true;
}

void Canvas::BeginSpanBatch(Color c) {
  FlushSpanBatch();
  batching_ = true;
  batch_color_ = c;
  if (batch_rows_.size() != std::size_t(target_->Height())) {
    batch_rows_.assign(std::size_t(target_->Height()), {});
    batch_last_.assign(std::size_t(target_->Height()), {0, -1});
  }
}

void Canvas::EndSpanBatch() {
  FlushSpanBatch();
  batching_ = false;
}

void Canvas::FlushSpanBatch() {
  for (const int y : batch_touched_) {
    std::pair<int, int>& last = batch_last_[std::size_t(y - row0_)];
    auto& row = batch_rows_[std::size_t(y - row0_)];
    if (row.empty()) {
      FillSpan(y, last.first, last.second, batch_color_);
      last = {0, -1};
      continue;
    }
    row.push_back(last);
    last = {0, -1};
    std::sort(row.begin(), row.end());
    int a = row.front().first, b = row.front().second;
    for (std::size_t i = 1; i < row.size(); ++i) {
      if (row[i].first <= b + 1) {
        b = std::max(b, row[i].second);
      } else {
        FillSpan(y, a, b, batch_color_);
        a = row[i].first;
        b = row[i].second;
      }
    }
    FillSpan(y, a, b, batch_color_);
    row.clear();
  }
  batch_touched_.clear();
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right == left || bottom == top) return;
  // Boxes far larger than any bitmap are clipped rows; their spans are computed directly.
  const bool cached = right - left <= 8192 && bottom - top <= 8192;
  const double cx = (left + right) * 0.5, cy = (top + bottom) * 0.5;
  const double a = (right - left) * 0.5, b = (bottom - top) * 0.5;
  const EllipseSpans* outer = cached ? &SpansFor(right - left, bottom - top) : nullptr;
  auto outer_span = [&](int y, int& x0, int& x1) {
    if (!outer) return EllipseSpan(cx, cy, a, b, y, x0, x1);
    x0 = outer->x0[std::size_t(y - top)];
    x1 = outer->x1[std::size_t(y - top)];
    if (x0 > x1) return false;
    x0 += left;
    x1 += left;
    return true;
  };
  const int w = std::max(pen.width, 1);
  const bool solid = brush.style == BrushStyle::Solid;
  const int y0 = std::max(top, ClipTop()), y1 = std::min(bottom, ClipEnd());
  // A pen of the brush's colour in copy mode is indistinguishable from the fill: one span a row.
  if (solid && pen.mode == PenMode::Copy && pen.color == brush.color) {
    for (int y = y0; y < y1; ++y) {
      int ox0, ox1;
      if (outer_span(y, ox0, ox1)) PlotSpan(y, ox0, ox1, brush.color, PenMode::Copy);
    }
    return;
  }
  const double ia = a - w, ib = b - w;
  // The inner edge, like the outer, per box size (and pen); boxes far from the origin compute
  // it row by row.
  constexpr int kFar = 1 << 23;
  const EllipseInnerSpans* inner = cached && left > -kFar && right < kFar
                                       ? &InnerSpansFor(right - left, bottom - top, w)
                                       : nullptr;
  auto inner_span = [&](int y, int& x0, int& x1) {
    if (inner) {
      const std::size_t row = std::size_t(y - top);
      if (inner->kind[row] == EllipseInnerSpans::kNone) return false;
      if (inner->kind[row] == EllipseInnerSpans::kSpan) {
        x0 = inner->x0[row] + left;
        x1 = inner->x1[row] + left;
        return true;
      }
    }
    return EllipseSpan(cx, cy, ia, ib, y, x0, x1);
  };
  // The inverting pen (the brush tip's outline) writes its short spans itself, outside a batch.
  auto plot = [&](int y, int x0, int x1, Color c) {
    if (pen.mode != PenMode::NotXor || batching_) return PlotSpan(y, x0, x1, c, pen.mode);
    x0 = std::max(x0, 0);
    x1 = std::min(x1, target_->Width() - 1);
    if (x0 > x1) return;
    pixels_written_ += std::size_t(x1 - x0 + 1);
    NotXorPixels(RowOf(y) + x0 * 3, std::size_t(x1 - x0 + 1), BlueOf(c), GreenOf(c), RedOf(c));
  };
  for (int y = y0; y < y1; ++y) {
    int ox0, ox1;
    if (!outer_span(y, ox0, ox1)) continue;
    int ix0, ix1;
    if (!inner_span(y, ix0, ix1)) {
      plot(y, ox0, ox1, pen.color);
      continue;
    }
    ix0 = std::max(ix0, ox0);
    ix1 = std::min(ix1, ox1);
    plot(y, ox0, ix0 - 1, pen.color);
    plot(y, ix1 + 1, ox1, pen.color);
    if (solid) plot(y, ix0, ix1, brush.color);
  }
}

namespace {

// True for a triangle or a quadrilateral that turns one way only (degenerate ones included).
bool SmallConvex(std::span<const Point> p) {
  const std::size_t n = p.size();
  if (n < 3 || n > 4) return false;
  int pos = 0, neg = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& a = p[i];
    const Point& b = p[(i + 1) % n];
    const Point& c = p[(i + 2) % n];
    const long long cross =
        (long long)(b.x - a.x) * (c.y - b.y) - (long long)(b.y - a.y) * (c.x - b.x);
    pos += cross > 0;
    neg += cross < 0;
  }
  return pos == 0 || neg == 0;
}

}  // namespace

namespace {

// The brush renderer's joining quadrilaterals: each row gets the span of the polygon within
// half a pixel of the row, which covers both the inside and the 1-pixel outline in one pass.
class ConvexSpans {
 public:
  explicit ConvexSpans(std::span<const Point> points) : n_(points.size()) {
    ymin_ = ymax_ = points[0].y;
    for (std::size_t i = 0; i < n_; ++i) {
      const Point& p = points[i];
      const Point& q = points[(i + 1) % n_];
      ymin_ = std::min(ymin_, p.y);
      ymax_ = std::max(ymax_, p.y);
      Edge& e = edges_[i];
      e.flat = p.y == q.y;
      const Point& lo = p.y <= q.y ? p : q;
      const Point& hi = p.y <= q.y ? q : p;
      e.y0 = float(lo.y);
      e.y1 = float(hi.y);
      e.x0 = float(lo.x);
      e.slope = e.flat ? 0.0f : float(hi.x - lo.x) / float(hi.y - lo.y);
      e.xa = float(std::min(p.x, q.x));
      e.xb = float(std::max(p.x, q.x));
    }
  }
  int Top() const { return ymin_; }
  int Bottom() const { return ymax_; }  // inclusive
  // The extremes Row takes, for rows first..last at once: edge by edge, each row boundary's
  // crossing worked out once for the two rows that share it (the same float expression, so
  // the same values). A row no edge reaches gets xmin > xmax.
  void Rows(int first, int last, float* xmin, float* xmax) const {
    const std::size_t count = std::size_t(last - first + 1);
    std::fill(xmin, xmin + count, 1e30f);
    std::fill(xmax, xmax + count, -1e30f);
    for (std::size_t i = 0; i < n_; ++i) {
      const Edge& e = edges_[i];
      // The rows whose band [y - 0.5, y + 0.5] meets the edge; its ends are whole numbers.
      const int ra = std::max(int(e.y0), first), rb = std::min(int(e.y1), last);
      if (ra > rb) continue;
      float* mn = xmin - first;
      float* mx = xmax - first;
      if (e.flat) {
        for (int r = ra; r <= rb; ++r) {
          mn[r] = std::min(mn[r], std::min(e.xa, e.xb));
          mx[r] = std::max(mx[r], std::max(e.xa, e.xb));
        }
        continue;
      }
      float prev = e.x0 + (std::max(e.y0, float(ra) - 0.5f) - e.y0) * e.slope;
      for (int r = ra; r <= rb; ++r) {
        const float next = e.x0 + (std::min(e.y1, float(r) + 0.5f) - e.y0) * e.slope;
        mn[r] = std::min(mn[r], std::min(prev, next));
        mx[r] = std::max(mx[r], std::max(prev, next));
        prev = next;
      }
    }
  }
  bool Row(int y, int& x0, int& x1) const {
    const float lo = float(y) - 0.5f, hi = float(y) + 0.5f;
    float xmin = 1e30f, xmax = -1e30f;
    for (std::size_t i = 0; i < n_; ++i) {
      const Edge& e = edges_[i];
      if (e.y1 < lo || e.y0 > hi) continue;
      float xa = e.xa, xb = e.xb;
      if (!e.flat) {
        // The part of the edge inside the band [lo, hi].
        xa = e.x0 + (std::max(e.y0, lo) - e.y0) * e.slope;
        xb = e.x0 + (std::min(e.y1, hi) - e.y0) * e.slope;
      }
      xmin = std::min(xmin, std::min(xa, xb));
      xmax = std::max(xmax, std::max(xa, xb));
    }
    if (xmin > xmax) return false;
    x0 = int(std::floor(xmin + 0.5f));
    x1 = int(std::floor(xmax + 0.5f));
    return true;
  }

 private:
  struct Edge {
    float y0, y1, x0, slope;
    float xa, xb;  // a horizontal edge's ends
    bool flat;
  };
  std::size_t n_;
  Edge edges_[4];
  int ymin_, ymax_;
};

}  // namespace

void Canvas::ConvexPolygon(std::span<const Point> points) {
  const ConvexSpans spans(points);
  const int y0 = std::max(spans.Top(), ClipTop()), y1 = std::min(spans.Bottom(), ClipEnd() - 1);
  for (int y = y0; y <= y1; ++y) {
    int a, b;
    if (spans.Row(y, a, b)) PlotSpan(y, a, b, brush.color, pen.mode);
  }
}

void Canvas::EllipseAndPolygon(int left, int top, int right, int bottom,
                               std::span<const Point> points) {
  const bool one_colour =
      brush.style == BrushStyle::Solid && pen.mode == PenMode::Copy && pen.color == brush.color;
  if (!one_colour || left >= right || top >= bottom || right - left > 8192 || bottom - top > 8192 ||
      !SmallConvex(points)) {
    Ellipse(left, top, right, bottom);
    Polygon(points);
    return;
  }
  // One colour: where the disc's and the quadrilateral's spans of a row touch, one span.
  const EllipseSpans& disc = SpansFor(right - left, bottom - top);
  const ConvexSpans quad(points);
  const int y0 = std::max(std::min(top, quad.Top()), ClipTop());
  const int y1 = std::min(std::max(bottom - 1, quad.Bottom()), ClipEnd() - 1);
  if (y0 > y1) return;
  thread_local std::vector<float> quad_rows;
  quad_rows.resize(2 * std::size_t(y1 - y0 + 1));
  float* const qmin = quad_rows.data();
  float* const qmax = qmin + (y1 - y0 + 1);
  quad.Rows(y0, y1, qmin, qmax);
  const Color c = brush.color;
  const bool batched = batching_ && c == batch_color_;
  const int last_x = target_->Width() - 1;
  auto span = [&](int y, int a, int b) {
    if (!batched) {
      PlotSpan(y, a, b, c, PenMode::Copy);
      return;
    }
    a = std::max(a, 0);
    b = std::min(b, last_x);
    if (a > b) return;
    pixels_written_ += std::size_t(b - a + 1);
    BatchSpan(y, a, b);
  };
  for (int y = y0; y <= y1; ++y) {
    int da = 0, db = -1;
    if (y >= top && y < bottom) {
      da = disc.x0[std::size_t(y - top)] + left;
      db = disc.x1[std::size_t(y - top)] + left;
    }
    const bool has_disc = da <= db;
    const float xmin = qmin[y - y0], xmax = qmax[y - y0];
    const bool has_quad = xmin <= xmax;
    int qa = 0, qb = -1;
    if (has_quad) {
      qa = int(std::floor(xmin + 0.5f));
      qb = int(std::floor(xmax + 0.5f));
    }
    if (has_disc && has_quad && qa <= db + 1 && da <= qb + 1) {
      span(y, std::min(da, qa), std::max(db, qb));
      continue;
    }
    if (has_disc) span(y, da, db);
    if (has_quad) span(y, qa, qb);
  }
}

void Canvas::Polygon(std::span<const Point> points) {
  const std::size_t n = points.size();
  if (n < 2) return;
  // One colour for fill and outline, copy mode: the single-pass path gives the same cover.
  if (brush.style == BrushStyle::Solid && pen.mode == PenMode::Copy && pen.color == brush.color &&
      SmallConvex(points)) {
    ConvexPolygon(points);
    return;
  }
  if (brush.style == BrushStyle::Solid && n >= 3) {
    // Edges that cross some row, with their inverse slopes; reused between calls.
    struct Edge {
      double y_lo, y_hi, x_at, slope;
    };
    thread_local std::vector<Edge> edges;
    thread_local std::vector<double> xs;
    edges.clear();
    int ymin = points[0].y, ymax = points[0].y;
    for (std::size_t i = 0; i < n; ++i) {
      const Point& p = points[i];
      const Point& q = points[(i + 1) % n];
      ymin = std::min(ymin, p.y);
      ymax = std::max(ymax, p.y);
      if (p.y == q.y) continue;
      const double slope = double(q.x - p.x) / double(q.y - p.y);
      edges.push_back(
          {double(std::min(p.y, q.y)), double(std::max(p.y, q.y)), p.x - p.y * slope, slope});
    }
    ymin = std::max(ymin, ClipTop());
    ymax = std::min(ymax, ClipEnd() - 1);
    for (int y = ymin; y <= ymax; ++y) {
      const double sy = y + 0.5;
      xs.clear();
      for (const Edge& e : edges)
        if (sy >= e.y_lo && sy < e.y_hi) xs.push_back(e.x_at + sy * e.slope);
      // Few crossings per row: insertion sort beats the general one.
      for (std::size_t i = 1; i < xs.size(); ++i)
        for (std::size_t j = i; j > 0 && xs[j - 1] > xs[j]; --j) std::swap(xs[j - 1], xs[j]);
      for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
        const int x0 = int(std::ceil(xs[k] - 0.5));
        const int x1 = int(std::ceil(xs[k + 1] - 0.5)) - 1;
        PlotSpan(y, x0, x1, brush.color, pen.mode);
      }
    }
  }
  // The closed outline covers every vertex: each edge leaves out its end point, which the
  // next edge starts from.
  const Pen saved = pen;
  pen.width = 1;
  MoveTo(points[0].x, points[0].y);
  for (std::size_t i = 1; i <= n; ++i) LineTo(points[i % n].x, points[i % n].y);
  pen = saved;
}

void Canvas::FillRect(Rect r) {
  r = r.Intersected({0, ClipTop(), target_->Width(), ClipEnd()});
  if (r.Empty()) return;
  for (int y = r.top; y < r.bottom; ++y)
    PlotSpan(y, r.left, r.right - 1, brush.color, PenMode::Copy);
}

void Canvas::PenDot(int x, int y) {
  // Written directly: gathered spans of another colour or mode go first.
  if (batching_ && !(pen.mode == PenMode::Copy && pen.color == batch_color_)) FlushSpanBatch();
  if (pen.width <= 1) {
    if (x < 0 || x >= target_->Width() || y < ClipTop() || y >= ClipEnd()) return;
    std::uint8_t* p = RowOf(y) + x * 3;
    const Color c = pen.color;
    if (pen.mode == PenMode::NotXor) {
      p[0] = std::uint8_t(~(BlueOf(c) ^ p[0]));
      p[1] = std::uint8_t(~(GreenOf(c) ^ p[1]));
      p[2] = std::uint8_t(~(RedOf(c) ^ p[2]));
    } else {
      p[0] = BlueOf(c);
      p[1] = GreenOf(c);
      p[2] = RedOf(c);
    }
    return;
  }
  const int x0 = x - pen.width / 2, y0 = y - pen.width / 2;
  for (int yy = y0; yy < y0 + pen.width; ++yy)
    PlotSpan(yy, x0, x0 + pen.width - 1, pen.color, pen.mode);
}

namespace {

// Clips the segment (x0, y0) -> (x1, y1) to the box [lo_x, hi_x] x [lo_y, hi_y] (Liang-Barsky);
// false when no part of it lies inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double lo_x, double lo_y,
                 double hi_x, double hi_y) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!edge(-dx, x0 - lo_x) || !edge(dx, hi_x - x0) || !edge(-dy, y0 - lo_y) ||
      !edge(dy, hi_y - y0))
    return false;
  const double sx = x0, sy = y0;
  x0 = sx + t0 * dx;
  y0 = sy + t0 * dy;
  x1 = sx + t1 * dx;
  y1 = sy + t1 * dy;
  return true;
}

}  // namespace

void Canvas::LineTo(int x, int y) {
  int x0 = pos_.x, y0 = pos_.y;
  pos_ = {x, y};
  const int w = std::max(pen.width, 1);
  // A line that reaches far outside the bitmap is first cut to the part near it, so that its
  // cost does not grow with how far away its ends lie.
  const int m = w + 2;
  const Rect near{-m, -m, target_->Width() + m, FullHeight() + m};
  if (!near.Contains(x0, y0) || !near.Contains(x, y)) {
    double ax = x0, ay = y0, bx = x, by = y;
    if (!ClipSegment(ax, ay, bx, by, near.left, near.top, near.right, near.bottom)) return;
    x0 = int(std::lround(ax));
    y0 = int(std::lround(ay));
    const int ex = int(std::lround(bx)), ey = int(std::lround(by));
    if (ex == x0 && ey == y0) {
      PenDot(x0, y0);
      return;
    }
    x = ex;
    y = ey;
  }
  if ((y0 == y) != (x0 == x)) {
    // Horizontal or vertical: the square pen swept along the path is one rectangle.
    const int off = w > 1 ? w / 2 : 0;
    auto path = [](int from, int to, int& lo, int& hi) {  // the end point is left out
      const int last = to < from ? to + 1 : to - 1;
      lo = std::min(from, last);
      hi = std::max(from, last);
    };
    int x_lo = x, x_hi = x, y_lo = y, y_hi = y;
    if (y0 == y)
      path(x0, x, x_lo, x_hi);
    else
      path(y0, y, y_lo, y_hi);
    for (int yy = y_lo - off; yy <= y_hi - off + w - 1; ++yy)
      PlotSpan(yy, x_lo - off, x_hi - off + w - 1, pen.color, pen.mode);
    return;
  }
  const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  while (x0 != x || y0 != y) {
    PenDot(x0, y0);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

std::size_t Canvas::FloodFill(int x, int y) {
  FlushSpanBatch();
  Bitmap24& bm = *target_;
  if (full_height_ >= 0 || clipped_ || !bm.Contains(x, y)) return 0;
  const Color surface = bm.Pixel(x, y);
  const Color fill = brush.color & 0x00FFFFFF;
  if (surface == fill) return 0;
  std::size_t filled = 0;
  const std::uint8_t sb = BlueOf(surface), sg = GreenOf(surface), sr = RedOf(surface);
  auto is_surface = [&](const std::uint8_t* row, int px) {
    const std::uint8_t* p = row + px * 3;
    return p[0] == sb && p[1] == sg && p[2] == sr;
  };
  const int w = bm.Width(), h = bm.Height();
  // Pending seeds: one per run of surface pixels found next to a filled span.
  std::vector<Point> seeds;
  seeds.push_back({x, y});
  while (!seeds.empty()) {
    const Point s = seeds.back();
    seeds.pop_back();
    std::uint8_t* row = bm.Row(s.y);
    if (!is_surface(row, s.x)) continue;
    int l = s.x, r = s.x;
    while (l > 0 && is_surface(row, l - 1)) --l;
    while (r + 1 < w && is_surface(row, r + 1)) ++r;
    PlotSpan(s.y, l, r, fill, PenMode::Copy);
    filled += std::size_t(r - l + 1);
    for (int ny : {s.y - 1, s.y + 1}) {
      if (ny < 0 || ny >= h) continue;
      const std::uint8_t* nrow = bm.Row(ny);
      int px = l;
      while (px <= r) {
        if (!is_surface(nrow, px)) {
          ++px;
          continue;
        }
        seeds.push_back({px, ny});
        while (px <= r && is_surface(nrow, px)) ++px;
      }
    }
  }
  return filled;
}

void Canvas::StretchCopy(Rect dest, const Bitmap24& src, Rect srcRect) {
  StretchImpl(dest, src, srcRect, false, 0);
}

void Canvas::StretchDrawTransparent(Rect dest, const Bitmap24& src, Color transparent) {
  StretchImpl(dest, src, Rect{0, 0, src.Width(), src.Height()}, true, transparent);
}

void Canvas::StretchImpl(Rect dest, const Bitmap24& src, Rect s, bool transparent, Color key) {
  FlushSpanBatch();
  if (src.Empty()) return;
  bool mirror_x = false, mirror_y = false;
  if (dest.right < dest.left) {
    std::swap(dest.left, dest.right);
    mirror_x = !mirror_x;
  }
  if (dest.bottom < dest.top) {
    std::swap(dest.top, dest.bottom);
    mirror_y = !mirror_y;
  }
  if (s.right < s.left) {
    std::swap(s.left, s.right);
    mirror_x = !mirror_x;
  }
  if (s.bottom < s.top) {
    std::swap(s.top, s.bottom);
    mirror_y = !mirror_y;
  }
  const long long dw = dest.Width(), dh = dest.Height();
  const long long sw = s.Width(), sh = s.Height();
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
  Bitmap24& bm = *target_;
  const int cx0 = std::max(dest.left, 0), cx1 = std::min(dest.right, bm.Width());
  const int cy0 = std::max(dest.top, ClipTop()), cy1 = std::min(dest.bottom, ClipEnd());
  if (cx0 >= cx1 || cy0 >= cy1) return;
  // Nearest source pixel for each destination column: the one under the column's centre.
  auto map = [](long long i, long long d, long long sn, long long s0, bool mirror, int limit) {
    if (mirror) i = d - 1 - i;
    long long v = s0 + ((2 * i + 1) * sn) / (2 * d);
    return int(std::clamp<long long>(v, 0, limit - 1));
  };
  std::vector<int> xmap(std::size_t(cx1 - cx0));
  for (int x = cx0; x < cx1; ++x)
    xmap[std::size_t(x - cx0)] = map(x - dest.left, dw, sw, s.left, mirror_x, src.Width()) * 3;
  const std::uint8_t kb = BlueOf(key), kg = GreenOf(key), kr = RedOf(key);
  const bool same_width = !mirror_x && dw == sw && s.left >= 0 && s.right <= src.Width();
  for (int y = cy0; y < cy1; ++y) {
    const int sy = map(y - dest.top, dh, sh, s.top, mirror_y, src.Height());
    const std::uint8_t* srow = src.Row(sy);
    std::uint8_t* drow = RowOf(y) + cx0 * 3;
    if (same_width && !transparent) {
      std::memcpy(drow, srow + xmap[0], std::size_t(cx1 - cx0) * 3);
      continue;
    }
    for (std::size_t i = 0; i < xmap.size(); ++i, drow += 3) {
      const std::uint8_t* p = srow + xmap[i];
      if (transparent && p[0] == kb && p[1] == kg && p[2] == kr) continue;
      drow[0] = p[0];
      drow[1] = p[1];
      drow[2] = p[2];
    }
  }
}

}  // namespace zevo::gfx
