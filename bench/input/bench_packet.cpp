// One tablet packet through the whole handler: mapping, pressure, gain, both renderers and the
// history, as the writing area receives it.

#include <benchmark/benchmark.h>

#include <cmath>

#include "tests/support/test_window.h"

namespace zevo {
namespace {

void PacketThroughHandler(benchmark::State& state) {
  const float zoom = float(state.range(0));
  const float brush = float(state.range(1));
  test::TestWindow t;
  if (!t.win) {
    state.SkipWithError(t.error.c_str());
    return;
  }
  auto& w = *t.win;
  w.views.SetTransform({zoom, zoom == 1 ? 0.0f : 448.0f, zoom == 1 ? 0.0f : 316.0f});
  w.pen.brush_size = brush;
  // Third argument 0: without the brush tip's outline, for what the outline costs.
  w.app_settings.contour = state.range(2) != 0;
  // A pen moving 2-3 screen pixels per packet along a wavy line, pressure swelling and
  // easing; lifted and set down again every 400 packets so the history keeps growing.
  int i = 0;
  for (auto _ : state) {
    const int k = i % 400;
    const double x = 100 + k * 2.0, y = 300 + 60 * std::sin(k * 0.03);
    const auto pressure = std::uint32_t(k == 399 ? 0 : 300 + 500 * std::sin(k * 0.0078));
    t.Packet(x, y, pressure);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PacketThroughHandler)
    ->Args({1, 10, 1})
    ->Args({8, 22, 1})
    ->Args({8, 22, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zevo
