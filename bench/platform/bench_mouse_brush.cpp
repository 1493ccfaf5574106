// The mouse as a soft brush: what one mouse event costs at the platform edge, and what the
// packets it now makes cost in the handler, against one fixed-pressure packet per event.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/virtual_tablet.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

// A recorded gesture, written again and again: a wavy stroke at about 800 px/s with an event
// every 8 ms (125 Hz), 60 events from press to release; each time a second later.
class Gesture {
 public:
  Gesture() {
    for (int i = 0; i < 60; ++i) {
      platform::MouseInput in;
      in.phase = i == 0    ? platform::PointerPhase::Press
                 : i == 59 ? platform::PointerPhase::Release
                           : platform::PointerPhase::Move;
      in.left_button = true;
      in.screen_x = std::round(150 + i * 6.0);
      in.screen_y = std::round(300 + 50 * std::sin(i * 0.15));
      in.timestamp_ms = i * 8;
      events_.push_back(in);
    }
  }
  platform::MouseInput Next() {
    platform::MouseInput in = events_[at_];
    in.timestamp_ms += shift_;
    if (++at_ == events_.size()) {
      at_ = 0;
      shift_ += 1000;
    }
    return in;
  }

 private:
  std::vector<platform::MouseInput> events_;
  std::size_t at_ = 0;
  std::int64_t shift_ = 0;
};

void MouseEventToPackets(benchmark::State& state) {
  platform::PointerPacketSource src{platform::VirtualTabletGeometry(1024, 768)};
  Gesture g;
  std::size_t packets = 0;
  for (auto _ : state) {
    const std::vector<platform::TabletPacket> out = src.OnMouse(g.Next());
    packets += out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["packets_per_event"] =
      benchmark::Counter(double(packets) / double(state.iterations()));
}
BENCHMARK(MouseEventToPackets);

// Argument 0: one packet per mouse event at a fixed half pressure, as the mouse wrote before;
// 1: the soft brush's packets. Both through the whole handler and both renderers.
void MouseEventThroughHandler(benchmark::State& state) {
  test::TestWindow t;
  if (!t.win) {
    state.SkipWithError(t.error.c_str());
    return;
  }
  const bool brush = state.range(0) != 0;
  platform::PointerPacketSource src{t.tablet.Geometry()};
  Gesture g;
  std::size_t packets = 0;
  for (auto _ : state) {
    const platform::MouseInput in = g.Next();
    if (brush) {
      for (const platform::TabletPacket& p : src.OnMouse(in)) {
        t.win->TabletPanelMessage(platform::WT_PACKET, t.tablet.Push(p), 0);
        ++packets;
      }
    } else {
      t.Packet(in.screen_x, in.screen_y, in.phase == platform::PointerPhase::Release ? 0 : 512);
      ++packets;
    }
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["packets_per_event"] =
      benchmark::Counter(double(packets) / double(state.iterations()));
}
BENCHMARK(MouseEventThroughHandler)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zevo
