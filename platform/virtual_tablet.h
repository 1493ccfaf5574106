#pragma once

// The virtual tablet the platform presents when its tablet input is the window system's own
// pointer events: the whole primary screen at 1024 counts per pixel, origin lower left, y
// upwards, normal pressure 0..1023. Free of any toolkit so that it is tested with numbers.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "platform/mouse_brush.h"
#include "platform/tablet_driver.h"

namespace zevo::platform {

inline constexpr int kCountsPerPixel = 1024;
inline constexpr std::uint32_t kMaxPressure = 1023;

// Cursor numbers as tablet drivers report them.
inline constexpr std::uint32_t kCursorMouse = 0;
inline constexpr std::uint32_t kCursorPen = 1;
inline constexpr std::uint32_t kCursorEraser = 2;

// Relative button reports: button number in the low word, what happened in the high word.
inline constexpr std::uint32_t TBN_NONE = 0;
inline constexpr std::uint32_t TBN_UP = 1;
inline constexpr std::uint32_t TBN_DOWN = 2;

class VirtualTabletGeometry {
 public:
  VirtualTabletGeometry(int screen_width, int screen_height)
      : width_(std::max(screen_width, 1)), height_(std::max(screen_height, 1)) {}

  int ScreenWidth() const { return width_; }
  int ScreenHeight() const { return height_; }
  std::int32_t ExtentX() const { return width_ * kCountsPerPixel; }
  std::int32_t ExtentY() const { return height_ * kCountsPerPixel; }

  // A position in screen pixels (from the screen's top-left corner, fractions allowed) in
  // tablet counts. Positions off the screen stop at the tablet's edges, as a real tablet's do.
  std::pair<std::int32_t, std::int32_t> ToCounts(double screen_x, double screen_y) const {
    const double x = std::clamp(screen_x, 0.0, double(width_)) * kCountsPerPixel;
    const double y =
        (double(height_) - std::clamp(screen_y, 0.0, double(height_))) * kCountsPerPixel;
    return {std::int32_t(std::lround(x)), std::int32_t(std::lround(y))};
  }

  // The context this tablet opens with unless told otherwise.
  TabletContext DefaultContext() const {
    TabletContext c;
    c.packet_data = PK_CURSOR | PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;
    c.move_mask = c.packet_data;
    c.button_down_mask = c.button_up_mask = 0xFFFFFFFFu;
    c.in_ext_x = c.out_ext_x = ExtentX();
    c.in_ext_y = c.out_ext_y = ExtentY();
    return c;
  }

 private:
  int width_;
  int height_;
};

// Maps native counts into a context's output space (origin and extents), the way a driver
// scales packets for the context that receives them.
inline TabletPacket ScaleToContext(TabletPacket p, const TabletContext& c) {
  auto scale = [](std::int64_t v, std::int64_t in_org, std::int64_t in_ext, std::int64_t out_org,
                  std::int64_t out_ext) -> std::int32_t {
    if (in_ext == 0 || (in_ext == out_ext && in_org == 0 && out_org == 0)) return std::int32_t(v);
    return std::int32_t(out_org + (v - in_org) * out_ext / in_ext);
  };
  p.x = scale(p.x, c.in_org_x, c.in_ext_x, c.out_org_x, c.out_ext_x);
  p.y = scale(p.y, c.in_org_y, c.in_ext_y, c.out_org_y, c.out_ext_y);
  return p;
}

inline std::uint32_t PressureCounts(double pressure) {
  if (!(pressure > 0.0)) return 0;  // also NaN
  return std::uint32_t(std::lround(std::min(pressure, 1.0) * kMaxPressure));
}

// The packets that have been announced but not yet read. Serial numbers start at 1 and grow.
class PacketQueue {
 public:
  static constexpr std::size_t kCapacity = 256;

  std::uint32_t Push(const TabletPacket& p) {
    if (queue_.size() == kCapacity) queue_.pop_front();
    queue_.emplace_back(++last_serial_, p);
    return last_serial_;
  }

  // The packet with this serial number; it and all older ones are removed.
  std::optional<TabletPacket> Read(std::uint32_t serial) {
    auto it = std::find_if(queue_.begin(), queue_.end(),
                           [&](const auto& e) { return e.first == serial; });
    if (it == queue_.end()) return std::nullopt;
    TabletPacket p = it->second;
    queue_.erase(queue_.begin(), it + 1);
    return p;
  }

  void Clear() { queue_.clear(); }
  std::size_t Size() const { return queue_.size(); }

 private:
  std::deque<std::pair<std::uint32_t, TabletPacket>> queue_;
  std::uint32_t last_serial_ = 0;
};

enum class PointerPhase { Press, Move, Release };

struct PenInput {
  PointerPhase phase = PointerPhase::Move;
  double screen_x = 0, screen_y = 0;  // pixels from the primary screen's top-left corner
  double pressure = 0;                // 0..1
  bool eraser = false;
  std::int64_t timestamp_ms = 0;
};

struct MouseInput {
  PointerPhase phase = PointerPhase::Move;
  double screen_x = 0, screen_y = 0;
  bool left_button = false;  // Press/Release: the button that changed; Move: held down
  bool synthesized = false;  // made by the window system from tablet or touch input
  std::int64_t timestamp_ms = 0;
};

// Turns pen and mouse events into packets of the one packet stream. The mouse writes only
// when the tablet is not in use: mouse events made from pen input, mouse presses during a
// pen gesture or right after pen events, and the rest of such a mouse gesture give nothing.
// Pen events become one packet each, as they are. The mouse writes as a soft brush (see
// MouseBrush): an event may give several packets or, while the path waits for the next
// sample, none.
class PointerPacketSource {
 public:
  // Mouse presses this soon after a pen event belong to the pen.
  static constexpr std::int64_t kPenQuietMs = 250;

  explicit PointerPacketSource(VirtualTabletGeometry geometry) : geometry_(geometry) {}

  const VirtualTabletGeometry& Geometry() const { return geometry_; }
  void SetGeometry(VirtualTabletGeometry g) { geometry_ = g; }

  std::optional<TabletPacket> OnPen(const PenInput& in) {
    seen_pen_ = true;
    last_pen_ms_ = in.timestamp_ms;
    // A pen gesture takes over from a mouse gesture in progress; the mouse's rest is dropped.
    if (mouse_ == MouseGesture::Writing) {
      mouse_ = MouseGesture::Ignored;
      brush_.Cancel();
    }
    TabletPacket p = Packet(in.screen_x, in.screen_y, in.eraser ? kCursorEraser : kCursorPen);
    switch (in.phase) {
      case PointerPhase::Press:
        pen_down_ = true;
        p.buttons = TBN_DOWN << 16;
        p.normal_pressure = PressureCounts(in.pressure);
        break;
      case PointerPhase::Move:
        p.normal_pressure = PressureCounts(in.pressure);
        break;
      case PointerPhase::Release:
        // Leaving contact always reads as no pressure, whatever the last reading was.
        pen_down_ = false;
        p.buttons = TBN_UP << 16;
        p.normal_pressure = 0;
        break;
    }
    return p;
  }

  // The pen leaving the tablet's range ends any contact the window system did not report.
  void OnPenLeftProximity() { pen_down_ = false; }

  // The packets a mouse event gives, oldest first.
  std::vector<TabletPacket> OnMouse(const MouseInput& in) {
    std::vector<TabletPacket> out;
    switch (in.phase) {
      case PointerPhase::Press:
        if (!in.left_button) break;
        // A press always begins a gesture: one whose release never came is over, and a
        // stroke it left open is lifted where it got to.
        if (mouse_ == MouseGesture::Writing) Lift(std::nullopt, out);
        if (in.synthesized || PenBusy(in.timestamp_ms)) {
          mouse_ = MouseGesture::Ignored;
          break;
        }
        mouse_ = MouseGesture::Writing;
        out.push_back(
            MousePacket(brush_.Down(in.screen_x, in.screen_y, in.timestamp_ms), TBN_DOWN << 16));
        break;
      case PointerPhase::Move:
        if (in.synthesized) break;
        if (!in.left_button) {
          // The button is up although no release arrived (it happened elsewhere): the
          // stroke ends where it got to.
          const bool writing = mouse_ == MouseGesture::Writing;
          mouse_ = MouseGesture::None;
          if (writing) Lift(std::nullopt, out);
          break;
        }
        if (mouse_ != MouseGesture::Writing) break;
        points_.clear();
        brush_.Move(in.screen_x, in.screen_y, in.timestamp_ms, points_);
        for (const BrushPoint& b : points_) out.push_back(MousePacket(b, 0));
        break;
      case PointerPhase::Release: {
        if (!in.left_button) break;
        const bool writing = mouse_ == MouseGesture::Writing;
        mouse_ = MouseGesture::None;
        if (writing) Lift(in, out);
        break;
      }
    }
    return out;
  }

  bool PenDown() const { return pen_down_; }
  bool MouseWriting() const { return mouse_ == MouseGesture::Writing; }

 private:
  enum class MouseGesture { None, Writing, Ignored };

  bool PenBusy(std::int64_t now_ms) const {
    return pen_down_ ||
           (seen_pen_ && now_ms - last_pen_ms_ < kPenQuietMs && now_ms >= last_pen_ms_);
  }

  TabletPacket Packet(double sx, double sy, std::uint32_t cursor) const {
    TabletPacket p;
    p.cursor = cursor;
    auto [x, y] = geometry_.ToCounts(sx, sy);
    p.x = x;
    p.y = y;
    return p;
  }

  TabletPacket MousePacket(const BrushPoint& b, std::uint32_t buttons) const {
    TabletPacket p = Packet(b.x, b.y, kCursorMouse);
    p.normal_pressure = buttons == (TBN_UP << 16) ? 0 : std::max(PressureCounts(b.pressure), 1u);
    p.buttons = buttons;
    return p;
  }

  // Draws the rest of the stroke up to the release (or, without one, to where the path got)
  // and lifts there with no pressure.
  void Lift(const std::optional<MouseInput>& release, std::vector<TabletPacket>& out) {
    points_.clear();
    if (release)
      brush_.Up(release->screen_x, release->screen_y, release->timestamp_ms, points_);
    else
      brush_.Finish(points_);
    for (const BrushPoint& b : points_) out.push_back(MousePacket(b, 0));
    out.push_back(MousePacket(brush_.LastPoint(), TBN_UP << 16));
  }

  VirtualTabletGeometry geometry_;
  bool pen_down_ = false;
  bool seen_pen_ = false;
  std::int64_t last_pen_ms_ = 0;
  MouseGesture mouse_ = MouseGesture::None;
  MouseBrush brush_;
  std::vector<BrushPoint> points_;  // kept for its capacity
};

}  // namespace zevo::platform
