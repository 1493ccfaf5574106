#include "platform/mouse_brush.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zevo::platform {

namespace {

struct Vec {
  double x, y;
};

Vec Lerp(Vec a, Vec b, double ta, double tb, double t) {
  const double u = (t - ta) / (tb - ta);
  return {a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u};
}

// A centripetal Catmull-Rom segment from p1 to p2 (Barry and Goldman's pyramid): the knot
// intervals are the square roots of the chord lengths, which keeps the curve free of cusps
// and loops within a segment however unevenly the samples are spaced.
class Segment {
 public:
  Segment(Vec p0, Vec p1, Vec p2, Vec p3) : p_{p0, p1, p2, p3} {
    t_[0] = 0;
    for (int i = 1; i < 4; ++i) {
      const double d = std::hypot(p_[i].x - p_[i - 1].x, p_[i].y - p_[i - 1].y);
      // Coincident neighbours would give a zero interval; a tiny one keeps the curve finite.
      t_[i] = t_[i - 1] + std::max(std::sqrt(d), 1e-6);
    }
  }

  // s in [0, 1] runs from p1 to p2.
  Vec At(double s) const {
    if (s <= 0) return p_[1];
    if (s >= 1) return p_[2];
    const double t = t_[1] + (t_[2] - t_[1]) * s;
    const Vec a1 = Lerp(p_[0], p_[1], t_[0], t_[1], t);
    const Vec a2 = Lerp(p_[1], p_[2], t_[1], t_[2], t);
    const Vec a3 = Lerp(p_[2], p_[3], t_[2], t_[3], t);
    const Vec b1 = Lerp(a1, a2, t_[0], t_[2], t);
    const Vec b2 = Lerp(a2, a3, t_[1], t_[3], t);
    return Lerp(b1, b2, t_[1], t_[2], t);
  }

 private:
  Vec p_[4];
  double t_[4];
};

double Distance(double ax, double ay, double bx, double by) {
  return std::hypot(bx - ax, by - ay);
}

// No segment is cut into more steps than this (a jump across a large screen at 2 pixels).
constexpr int kMaxSteps = 8192;

}  // namespace

double MouseBrush::SpeedPressure(double speed) {
  if (!(speed > kSlowSpeed)) return 1.0;  // also NaN
  if (speed >= kFastSpeed) return kFastPressure;
  const double u = (speed - kSlowSpeed) / (kFastSpeed - kSlowSpeed);
  const double smooth = u * u * (3.0 - 2.0 * u);
  return 1.0 - (1.0 - kFastPressure) * smooth;
}

double MouseBrush::EntryScale(double elapsed_ms) {
  if (!(elapsed_ms > 0)) return kEntryStart;
  if (elapsed_ms >= kEntryMs) return 1.0;
  return kEntryStart + (1.0 - kEntryStart) * std::sin(std::numbers::pi / 2 * elapsed_ms / kEntryMs);
}

BrushPoint MouseBrush::Down(double x, double y, std::int64_t time_ms) {
  active_ = true;
  down_ms_ = raw_ms_ = double(time_ms);
  raw_x_ = x;
  raw_y_ = y;
  unclocked_px_ = 0;
  speed_ = 0;
  have_before_ = false;
  start_ = {x, y, down_ms_, SpeedPressure(0)};
  ahead_.clear();
  last_out_ = PointAt(start_);
  return last_out_;
}

void MouseBrush::Sample(double x, double y, std::int64_t time_ms) {
  // Time never runs backwards within a stroke; a sample that claims so is taken as coming
  // with the one before.
  const double t = std::max(double(time_ms), raw_ms_);
  const double d = Distance(raw_x_, raw_y_, x, y);
  const double dt = t - raw_ms_;
  if (dt > 0) {
    const double v = (unclocked_px_ + d) / dt;
    const double a = 1.0 - std::exp(-dt / kSpeedSmoothingMs);
    speed_ += a * (v - speed_);
    unclocked_px_ = 0;
  } else {
    unclocked_px_ += d;
  }
  raw_x_ = x;
  raw_y_ = y;
  raw_ms_ = t;

  const Knot k{x, y, t, SpeedPressure(speed_)};
  if (!ahead_.empty()) {
    Knot& last = ahead_.back();
    if (Distance(last.x, last.y, x, y) < kMinSpacingPx) {
      // Still near the pending knot: it takes the later time and the pressure of the speed now.
      last.time_ms = t;
      last.speed_pressure = k.speed_pressure;
      return;
    }
  } else if (Distance(start_.x, start_.y, x, y) < kMinSpacingPx) {
    return;  // the knot there is already drawn
  }
  ahead_.push_back(k);
}

void MouseBrush::Move(double x, double y, std::int64_t time_ms, std::vector<BrushPoint>& out) {
  if (!active_) return;
  Sample(x, y, time_ms);
  if (ahead_.size() == 2) EmitSegment(&ahead_[1], out);
}

void MouseBrush::Up(double x, double y, std::int64_t time_ms, std::vector<BrushPoint>& out) {
  if (!active_) return;
  Knot& end = ahead_.empty() ? start_ : ahead_.back();
  if (Distance(end.x, end.y, x, y) >= kMinSpacingPx) {
    Sample(x, y, time_ms);
  } else if (end.x != x || end.y != y) {
    // A release where the mouse stopped ends the path exactly there, as wide as it was going:
    // the moment the hand rests before letting go does not press the brush into a blot.
    if (ahead_.empty()) {
      ahead_.push_back({x, y, end.time_ms, end.speed_pressure});
    } else {
      end.x = x;
      end.y = y;
    }
  }
  Flush(out);
}

void MouseBrush::Finish(std::vector<BrushPoint>& out) {
  if (!active_) return;
  Flush(out);
}

void MouseBrush::Cancel() {
  active_ = false;
  have_before_ = false;
  ahead_.clear();
}

void MouseBrush::Flush(std::vector<BrushPoint>& out) {
  if (ahead_.size() == 2) EmitSegment(&ahead_[1], out);
  if (ahead_.size() == 1) EmitSegment(nullptr, out);
  active_ = false;
  have_before_ = false;
}

BrushPoint MouseBrush::PointAt(const Knot& k) const {
  return {k.x, k.y, k.speed_pressure * EntryScale(k.time_ms - down_ms_), k.time_ms};
}

void MouseBrush::EmitSegment(const Knot* after, std::vector<BrushPoint>& out) {
  const Knot a = start_, b = ahead_[0];
  const Vec p1{a.x, a.y}, p2{b.x, b.y};
  const Vec p0 = have_before_ ? Vec{before_.x, before_.y} : Vec{2 * a.x - b.x, 2 * a.y - b.y};
  const Vec p3 = after ? Vec{after->x, after->y} : Vec{2 * b.x - a.x, 2 * b.y - a.y};
  const Segment seg(p0, p1, p2, p3);

  // The number of steps: from the length of a coarse polyline of the curve, then more while
  // any step is still too long.
  constexpr int kProbe = 16;
  double length = 0;
  Vec prev = p1;
  for (int i = 1; i <= kProbe; ++i) {
    const Vec q = seg.At(double(i) / kProbe);
    length += std::hypot(q.x - prev.x, q.y - prev.y);
    prev = q;
  }
  int n = std::clamp(int(std::ceil(length * 1.05 / kMaxStepPx)), 1, kMaxSteps);
  std::vector<Vec> pts;
  for (;;) {
    pts.clear();
    double longest = 0;
    prev = p1;
    for (int i = 1; i <= n; ++i) {
      const Vec q = seg.At(double(i) / n);
      longest = std::max(longest, std::hypot(q.x - prev.x, q.y - prev.y));
      pts.push_back(q);
      prev = q;
    }
    if (longest <= kMaxStepPx || n == kMaxSteps) break;
    n = std::min(n + n / 4 + 1, kMaxSteps);
  }

  for (int i = 1; i <= n; ++i) {
    const double s = double(i) / n;
    const double t = a.time_ms + (b.time_ms - a.time_ms) * s;
    const double sp = a.speed_pressure + (b.speed_pressure - a.speed_pressure) * s;
    BrushPoint p{pts[std::size_t(i - 1)].x, pts[std::size_t(i - 1)].y,
                 sp * EntryScale(t - down_ms_), t};
    if (i == n) p = PointAt(b);  // the knot itself, exactly
    out.push_back(p);
  }
  last_out_ = out.back();

  have_before_ = true;
  before_ = a;
  start_ = b;
  ahead_.erase(ahead_.begin());
}

}  // namespace zevo::platform
