#pragma once

// A mouse or touchpad held down as a soft brush. The mouse reports no pressure and its events
// are sparse (60-125 a second), so the brush makes both: the pressure follows the speed (slow
// and deliberate presses the full brush down, fast thins it), the stroke swells in at pen-down,
// and the path between the sparse samples is filled in along a smooth curve. Free of any
// toolkit: positions are screen pixels, times milliseconds, pressure 0..1.

#include <cstdint>
#include <vector>

namespace zevo::platform {

// One point of the brush's path.
struct BrushPoint {
  double x = 0, y = 0;  // screen pixels
  double pressure = 0;  // 0..1
  double time_ms = 0;   // never decreasing within a stroke
  friend bool operator==(const BrushPoint&, const BrushPoint&) = default;
};

// The path is a centripetal Catmull-Rom curve through the mouse samples, cut into steps of at
// most kMaxStepPx. A segment is drawn once the sample after its end is known (its tangent
// there depends on it), so the points trail the mouse by one sample; the release draws the
// rest. The same samples (positions and times) always give the same points.
class MouseBrush {
 public:
  // Consecutive points lie at most this far apart.
  static constexpr double kMaxStepPx = 2.0;
  // Samples nearer than this to the last one add no point of the curve; they still count
  // for the speed and the time.
  static constexpr double kMinSpacingPx = 0.5;

  // The pressure at a speed (screen pixels per millisecond, smoothed): full up to
  // kSlowSpeed, kFastPressure from kFastSpeed on, and a smoothstep between them.
  static constexpr double kSlowSpeed = 0.15;  // 150 px/s
  static constexpr double kFastSpeed = 1.2;   // 1200 px/s
  static constexpr double kFastPressure = 0.4;
  // The speed is smoothed exponentially with this time constant.
  static constexpr double kSpeedSmoothingMs = 40.0;

  // The entry: for the first kEntryMs after pen-down the pressure is scaled by
  //   kEntryStart + (1 - kEntryStart) * sin(pi/2 * elapsed / kEntryMs),
  // a quarter sine, so the tip lands small, spreads quickly and rounds off into the full
  // width without a kink.
  static constexpr double kEntryMs = 50.0;
  static constexpr double kEntryStart = 0.3;

  static double SpeedPressure(double speed_px_per_ms);
  static double EntryScale(double elapsed_ms);

  // Pen-down: starts a stroke (dropping one in progress) and gives its first point.
  BrushPoint Down(double x, double y, std::int64_t time_ms);
  // A sample while the button is held: appends the points of the path now settled.
  void Move(double x, double y, std::int64_t time_ms, std::vector<BrushPoint>& out);
  // The release at (x, y): appends the rest of the path; the last point is the release point.
  void Up(double x, double y, std::int64_t time_ms, std::vector<BrushPoint>& out);
  // Ends the stroke at the last sample (the release was not seen): appends the rest.
  void Finish(std::vector<BrushPoint>& out);
  // Drops the stroke and whatever of it is still pending.
  void Cancel();

  bool Active() const { return active_; }
  // The last point given out (the stroke's end so far).
  const BrushPoint& LastPoint() const { return last_out_; }

 private:
  struct Knot {
    double x = 0, y = 0;
    double time_ms = 0;
    double speed_pressure = 1;
  };

  // Takes a sample into the speed and the curve.
  void Sample(double x, double y, std::int64_t time_ms);
  // Appends the segment from start_ to ahead_[0], with before_ and `after` as its neighbours
  // (a missing neighbour is the mirror image of the far end), and moves on by one knot.
  void EmitSegment(const Knot* after, std::vector<BrushPoint>& out);
  void Flush(std::vector<BrushPoint>& out);
  BrushPoint PointAt(const Knot& k) const;

  bool active_ = false;
  double down_ms_ = 0;
  // The last raw sample, for the speed.
  double raw_x_ = 0, raw_y_ = 0, raw_ms_ = 0;
  double unclocked_px_ = 0;  // distance covered by samples that came with no time step
  double speed_ = 0;         // smoothed, px/ms
  // The curve's knots around the next segment: the one before it (none at the stroke's
  // beginning), its start (already given out) and up to two ahead of it.
  bool have_before_ = false;
  Knot before_;
  Knot start_;
  std::vector<Knot> ahead_;
  BrushPoint last_out_;
};

}  // namespace zevo::platform
