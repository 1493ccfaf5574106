#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/mouse_brush.h"
#include "platform/virtual_tablet.h"

using namespace zevo::platform;

namespace {

constexpr int kScreenW = 1024, kScreenH = 768;

// A recorded mouse sample: screen pixels and the event's timestamp.
struct Sample {
  double x, y;
  std::int64_t t;
};

MouseInput Mouse(PointerPhase phase, const Sample& s, bool left = true) {
  MouseInput in;
  in.phase = phase;
  in.screen_x = s.x;
  in.screen_y = s.y;
  in.left_button = left;
  in.timestamp_ms = s.t;
  return in;
}

// The packets a recorded gesture gives: press at the first sample, moves, release at the last.
std::vector<TabletPacket> Write(const std::vector<Sample>& path) {
  PointerPacketSource src{VirtualTabletGeometry(kScreenW, kScreenH)};
  std::vector<TabletPacket> got;
  auto take = [&](const std::vector<TabletPacket>& v) {
    got.insert(got.end(), v.begin(), v.end());
  };
  take(src.OnMouse(Mouse(PointerPhase::Press, path.front())));
  for (std::size_t i = 1; i + 1 < path.size(); ++i)
    take(src.OnMouse(Mouse(PointerPhase::Move, path[i])));
  take(src.OnMouse(Mouse(PointerPhase::Release, path.back())));
  return got;
}

double Px(std::int32_t counts) {
  return double(counts) / kCountsPerPixel;
}
double ScreenY(const TabletPacket& p) {
  return kScreenH - Px(p.y);
}
double Step(const TabletPacket& a, const TabletPacket& b) {
  return std::hypot(Px(b.x - a.x), Px(b.y - a.y));
}

// A straight line to the right at `speed` px/ms, sampled every `every` ms.
std::vector<Sample> Line(double speed, std::int64_t every, std::int64_t duration) {
  std::vector<Sample> path;
  for (std::int64_t t = 0; t <= duration; t += every)
    path.push_back({100.0 + std::round(speed * double(t)), 300.0, 1000 + t});
  return path;
}

// The largest turn, in degrees, between consecutive steps of the contact packets.
double SharpestTurn(const std::vector<TabletPacket>& got) {
  double sharpest = 0;
  for (std::size_t i = 2; i + 1 < got.size(); ++i) {
    const double ax = Px(got[i - 1].x - got[i - 2].x), ay = Px(got[i - 1].y - got[i - 2].y);
    const double bx = Px(got[i].x - got[i - 1].x), by = Px(got[i].y - got[i - 1].y);
    const double turn = std::fabs(std::atan2(ax * by - ay * bx, ax * bx + ay * by));
    sharpest = std::max(sharpest, turn * 180 / std::numbers::pi);
  }
  return sharpest;
}

}  // namespace

TEST(MouseBrush, SlowWritesAsWideAsTheBrushAndFastThinner) {
  // 100 px/s: after the entry the brush is pressed fully down, the width the preview shows.
  const auto slow = Write(Line(0.1, 10, 600));
  std::size_t full = 0, contact = 0;
  for (std::size_t i = 1; i + 1 < slow.size(); ++i) {
    ++contact;
    if (slow[i].normal_pressure == kMaxPressure) ++full;
  }
  EXPECT_GT(full, contact * 8 / 10);

  // 2000 px/s: the brush thins to the floor once the speed has built up.
  const auto fast = Write(Line(2.0, 8, 400));
  const std::uint32_t floor = PressureCounts(MouseBrush::kFastPressure);
  EXPECT_EQ(fast[fast.size() - 2].normal_pressure, floor);
  // Resting before letting go leaves the end as thin as the stroke was going.
  auto rested = Line(2.0, 8, 400);
  rested.push_back({rested.back().x, rested.back().y, rested.back().t + 300});
  const auto end = Write(rested);
  EXPECT_EQ(end[end.size() - 2].normal_pressure, floor);
  // Past the entry it never goes below the floor.
  for (std::size_t i = 0; i + 1 < fast.size(); ++i)
    if (Px(fast[i].x) > 100 + 2.0 * MouseBrush::kEntryMs) {
      EXPECT_GE(fast[i].normal_pressure, floor);
    }

  // Speeding up steadily from slow to fast: the pressure only falls once the entry is over.
  // The speed is 2.5 px/ms * (t / 600 ms)^2: slow for the first 150 ms, 2500 px/s at the end.
  std::vector<Sample> accel;
  for (std::int64_t t = 0; t <= 600; t += 10) {
    const double s = double(t);
    accel.push_back({100 + 2.5 * s * s * s / (3 * 600.0 * 600.0), 400, 5000 + t});
  }
  const auto got = Write(accel);
  std::uint32_t peak = 0, last = 0;
  bool falling = false;
  for (std::size_t i = 0; i + 1 < got.size(); ++i) {
    const std::uint32_t p = got[i].normal_pressure;
    if (p < last) falling = true;
    if (falling) {
      EXPECT_LE(p, last + 2) << "packet " << i;  // monotone within rounding
    }
    peak = std::max(peak, p);
    last = p;
  }
  EXPECT_EQ(peak, kMaxPressure);
  EXPECT_LT(last, PressureCounts(0.5));
}

TEST(MouseBrush, TheStrokeSwellsInOverTheEntry) {
  EXPECT_DOUBLE_EQ(MouseBrush::EntryScale(0), MouseBrush::kEntryStart);
  EXPECT_DOUBLE_EQ(MouseBrush::EntryScale(-5), MouseBrush::kEntryStart);  // clock trouble
  EXPECT_DOUBLE_EQ(MouseBrush::EntryScale(MouseBrush::kEntryMs), 1.0);
  EXPECT_DOUBLE_EQ(MouseBrush::EntryScale(1e9), 1.0);
  // Rising, fastest at the start and flat where it meets the full width.
  double prev = MouseBrush::EntryScale(0);
  for (int ms = 5; ms <= 50; ms += 5) {
    const double e = MouseBrush::EntryScale(ms);
    EXPECT_GT(e, prev);
    prev = e;
  }
  EXPECT_GT(MouseBrush::EntryScale(5) - MouseBrush::EntryScale(0),
            4 * (MouseBrush::EntryScale(50) - MouseBrush::EntryScale(45)));

  // On a slow stroke the packets rise from the landing to the full brush without a dip.
  const auto got = Write(Line(0.1, 10, 300));
  EXPECT_EQ(got.front().normal_pressure, PressureCounts(MouseBrush::kEntryStart));
  std::size_t i = 1;
  for (; i + 1 < got.size() && got[i].normal_pressure < kMaxPressure; ++i)
    EXPECT_GE(got[i].normal_pressure, got[i - 1].normal_pressure);
  EXPECT_LT(Px(got[i].x - got.front().x), 0.1 * (MouseBrush::kEntryMs + 10) + 1);
}

TEST(MouseBrush, SparseSamplesAreJoinedDenselyWithoutCorners) {
  // A hexagon of radius 80 px drawn at about 600 px/s with one sample every 16 ms, the corners
  // falling between samples: the raw samples turn 60 degrees at once.
  std::vector<Sample> path;
  const double r = 80, perimeter = 6 * r, speed = 0.6;
  for (std::int64_t t = 0;; t += 16) {
    const double d = std::min(speed * double(t), perimeter);
    const int side = std::min(int(d / r), 5);
    const double u = (d - side * r) / r;
    const double a0 = side * std::numbers::pi / 3, a1 = (side + 1) * std::numbers::pi / 3;
    const double x0 = 500 + r * std::cos(a0), y0 = 400 + r * std::sin(a0);
    const double x1 = 500 + r * std::cos(a1), y1 = 400 + r * std::sin(a1);
    path.push_back({std::round(x0 + (x1 - x0) * u), std::round(y0 + (y1 - y0) * u), 2000 + t});
    if (d >= perimeter) break;
  }
  const auto got = Write(path);

  double widest = 0;
  for (std::size_t i = 1; i < got.size(); ++i) widest = std::max(widest, Step(got[i - 1], got[i]));
  EXPECT_LE(widest, MouseBrush::kMaxStepPx + 0.01);
  EXPECT_GT(got.size(), std::size_t(perimeter / MouseBrush::kMaxStepPx));

  // Every sample lies on the curve: it passes through where the mouse was.
  for (const Sample& s : path) {
    const bool hit = std::any_of(got.begin(), got.end(), [&](const TabletPacket& p) {
      return std::hypot(Px(p.x) - s.x, ScreenY(p) - s.y) < 0.01;
    });
    EXPECT_TRUE(hit) << s.x << "," << s.y;
  }

  // The raw samples turn 60 degrees at a corner; the packets' path spreads that turn over
  // several steps of its own, none turning more than a fraction of it.
  std::vector<TabletPacket> raw;
  const VirtualTabletGeometry g(kScreenW, kScreenH);
  for (const Sample& s : path) {
    auto [x, y] = g.ToCounts(s.x, s.y);
    raw.push_back({kCursorMouse, 0, x, y, 1});
  }
  raw.push_back(raw.back());
  EXPECT_GT(SharpestTurn(raw), 50.0);
  EXPECT_LT(SharpestTurn(got), 25.0);
}

TEST(MouseBrush, TheSameRecordedPathGivesTheSamePackets) {
  std::vector<Sample> path;
  for (std::int64_t i = 0; i < 60; ++i)
    path.push_back({300 + 120 * std::sin(double(i) * 0.11), 300 + 90 * std::cos(double(i) * 0.07),
                    777 + i * 9 + (i % 3)});
  const auto a = Write(path);
  const auto b = Write(path);
  EXPECT_EQ(a, b);

  // The brush alone, sample for sample, gives the same points each time.
  auto points = [&] {
    MouseBrush brush;
    std::vector<BrushPoint> out{brush.Down(path[0].x, path[0].y, path[0].t)};
    for (std::size_t i = 1; i + 1 < path.size(); ++i)
      brush.Move(path[i].x, path[i].y, path[i].t, out);
    brush.Up(path.back().x, path.back().y, path.back().t, out);
    return out;
  };
  EXPECT_EQ(points(), points());
}

TEST(MouseBrush, EqualAndBackwardTimestampsAreTakenAsTheSameMoment) {
  // Events in one burst share a timestamp, and a clock may step back; the path and the width
  // stay sane: dense, finite, within the pressure range, and the time never runs back.
  std::vector<Sample> path{{100, 100, 500}, {110, 100, 500}, {120, 102, 500}, {130, 104, 490},
                           {140, 110, 520}, {150, 120, 400}, {160, 120, 540}, {170, 120, 560}};
  const auto got = Write(path);
  ASSERT_GE(got.size(), 30u);
  for (std::size_t i = 1; i < got.size(); ++i) EXPECT_LE(Step(got[i - 1], got[i]), 2.01);
  for (std::size_t i = 0; i + 1 < got.size(); ++i) {
    EXPECT_GE(got[i].normal_pressure,
              PressureCounts(MouseBrush::kEntryStart * MouseBrush::kFastPressure));
    EXPECT_LE(got[i].normal_pressure, kMaxPressure);
  }

  MouseBrush brush;
  std::vector<BrushPoint> out{brush.Down(path[0].x, path[0].y, path[0].t)};
  for (std::size_t i = 1; i + 1 < path.size(); ++i)
    brush.Move(path[i].x, path[i].y, path[i].t, out);
  brush.Up(path.back().x, path.back().y, path.back().t, out);
  for (std::size_t i = 1; i < out.size(); ++i) {
    EXPECT_GE(out[i].time_ms, out[i - 1].time_ms);
    EXPECT_TRUE(std::isfinite(out[i].x) && std::isfinite(out[i].y));
  }

  // All at one moment: nothing to tell the speed by, so the stroke is written slowly.
  std::vector<Sample> burst;
  for (int i = 0; i < 10; ++i) burst.push_back({200.0 + 10 * i, 200, 42});
  const auto b = Write(burst);
  ASSERT_GE(b.size(), 40u);
  EXPECT_EQ(b[b.size() - 2].normal_pressure, PressureCounts(MouseBrush::kEntryStart));
}

TEST(MouseBrush, ThePathTrailsByOneSampleAndTheReleaseClosesIt) {
  PointerPacketSource src{VirtualTabletGeometry(kScreenW, kScreenH)};
  ASSERT_EQ(src.OnMouse(Mouse(PointerPhase::Press, {100, 100, 0})).size(), 1u);
  // The segment to the first sample waits for the next one, which settles its tangent.
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, {120, 100, 16})).empty());
  const auto first = src.OnMouse(Mouse(PointerPhase::Move, {140, 110, 32}));
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.back().x, 120 * 1024);
  EXPECT_EQ(first.back().y, (kScreenH - 100) * 1024);
  // A sample that barely moves adds nothing (it only takes the time on).
  EXPECT_TRUE(src.OnMouse(Mouse(PointerPhase::Move, {140.2, 110, 40})).empty());
  // The release, away from the last sample, draws through it to the release point.
  const auto rest = src.OnMouse(Mouse(PointerPhase::Release, {150, 130, 60}));
  ASSERT_GE(rest.size(), 3u);
  EXPECT_TRUE(std::any_of(rest.begin(), rest.end(), [](const TabletPacket& p) {
    return p.x == 140 * 1024 && p.y == (kScreenH - 110) * 1024;
  }));
  const TabletPacket& contact = rest[rest.size() - 2];
  const TabletPacket& lift = rest.back();
  EXPECT_EQ(std::make_pair(contact.x, contact.y),
            std::make_pair(150 * 1024, (kScreenH - 130) * 1024));
  EXPECT_GT(contact.normal_pressure, 0u);
  EXPECT_EQ(std::make_pair(lift.x, lift.y), std::make_pair(contact.x, contact.y));
  EXPECT_EQ(lift.normal_pressure, 0u);
  EXPECT_EQ(lift.buttons, TBN_UP << 16);
  for (std::size_t i = 1; i < rest.size(); ++i) EXPECT_LE(Step(rest[i - 1], rest[i]), 2.01);
}

TEST(MouseBrush, PenPacketsAreAsThePenReportedThem) {
  // Pen input goes straight through, one packet per event, whatever the mouse did before.
  PointerPacketSource src{VirtualTabletGeometry(kScreenW, kScreenH)};
  src.OnMouse(Mouse(PointerPhase::Press, {10, 10, 0}));
  src.OnMouse(Mouse(PointerPhase::Release, {40, 10, 50}));
  const std::int64_t t0 = 50 + PointerPacketSource::kPenQuietMs;
  std::vector<TabletPacket> got;
  const double xs[] = {200, 260, 261, 400};
  const double ps[] = {0.2, 0.9, 0.5, 0.6};
  for (int i = 0; i < 4; ++i) {
    PenInput in;
    in.phase = i == 0 ? PointerPhase::Press : i == 3 ? PointerPhase::Release : PointerPhase::Move;
    in.screen_x = xs[i];
    in.screen_y = 300;
    in.pressure = ps[i];
    in.timestamp_ms = t0 + i * 40;  // far apart and fast: still untouched
    got.push_back(*src.OnPen(in));
  }
  const std::int32_t y = (kScreenH - 300) * 1024;
  EXPECT_EQ(got[0], (TabletPacket{kCursorPen, TBN_DOWN << 16, 200 * 1024, y, 205}));
  EXPECT_EQ(got[1], (TabletPacket{kCursorPen, 0, 260 * 1024, y, 921}));
  EXPECT_EQ(got[2], (TabletPacket{kCursorPen, 0, 261 * 1024, y, 512}));
  EXPECT_EQ(got[3], (TabletPacket{kCursorPen, TBN_UP << 16, 400 * 1024, y, 0}));
}
