// From a pen packet reaching the window's handler to the changed pixels painted by the Qt
// window, on the offscreen platform: the wait the writer sees between the pen moving and the
// ink showing. Each iteration delivers one packet and runs the event loop until a paint that
// covers the page has finished.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "platform/qt/main_window_view.h"
#include "platform/qt/qt_tablet_driver.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

// The main window on the Qt tablet driver, shown at the screen's size.
struct ShownWindow {
  ShownWindow() {
    if (!t.win) return;
    app::Environment env = t.win->env;
    env.tablet = &tablet;
    t.win.reset();
    auto created = app::TZevo3Win::Create(env);
    if (!created) return;
    win = std::move(created).Value();
    view = std::make_unique<platform::qt::MainWindowView>(*win, tablet);
    view->setGeometry(0, 0, 1024, 768);
    view->show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    win->FormActivate();
    view->Sync();
    QApplication::processEvents();
  }

  platform::qt::QtTabletDriver tablet{platform::VirtualTabletGeometry(1024, 768)};
  test::TestWindow t;
  std::unique_ptr<app::TZevo3Win> win;
  std::unique_ptr<platform::qt::MainWindowView> view;
};

void PacketToPaint(benchmark::State& state) {
  const float zoom = float(state.range(0));
  ShownWindow w;
  if (!w.win) {
    state.SkipWithError(w.t.error.empty() ? "the window did not start" : w.t.error.c_str());
    return;
  }
  w.win->views.SetTransform({zoom, zoom == 1 ? 0.0f : 448.0f, zoom == 1 ? 0.0f : 316.0f});
  w.win->pen.brush_size = float(state.range(1));
  const workspace::Panels& p = w.win->panels;
  const QRect page(p.TabletPanel.left + p.ImgA.left, p.TabletPanel.top + p.ImgA.top,
                   w.win->views.Page().Width(), w.win->views.Page().Height());
  bool painted = false;
  w.view->on_painted = [&](const QRect& r) { painted = painted || r.intersects(page); };
  const platform::VirtualTabletGeometry& g = w.tablet.Geometry();

  // The pen as in the packet benchmark: a wavy line, lifted and set down every 400 packets.
  std::minstd_rand random(7);
  int i = 0;
  int timed_out = 0;
  std::vector<double> waits;
  for (auto _ : state) {
    const int k = i % 400;
    const double x = 100 + k * 2.0, y = 300 + 60 * std::sin(k * 0.03);
    platform::TabletPacket packet;
    std::tie(packet.x, packet.y) = g.ToCounts(x, y);
    packet.normal_pressure = std::uint32_t(k == 399 ? 0 : 300 + 500 * std::sin(k * 0.0078));
    ++i;
    // A pen-down or a lift draws nothing new on the page: those go untimed.
    const bool draws = k != 0 && k != 399;
    // Packets come at any moment of the window's timers: the loop idles a while first, as
    // between two packets of a tablet.
    {
      QElapsedTimer idle;
      idle.start();
      const qint64 pause = qint64(random() % 10'000'000);
      while (idle.nsecsElapsed() < pause) QApplication::processEvents();
    }
    painted = false;
    QElapsedTimer clock;
    clock.start();
    w.tablet.Post(packet);
    if (draws) {
      while (!painted && clock.nsecsElapsed() < 200'000'000) QApplication::processEvents();
      timed_out += !painted;
    }
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    state.SetIterationTime(draws ? seconds : 0.0);
    if (draws)
      waits.push_back(seconds * 1e3);
    else
      QApplication::processEvents();
  }
  // The mean is the benchmark's time; the packets' median and worst wait are counters (ms).
  std::sort(waits.begin(), waits.end());
  if (!waits.empty()) {
    state.counters["median_ms"] = waits[waits.size() / 2];
    state.counters["worst_ms"] = waits.back();
  }
  state.counters["timed_out"] = timed_out;
}
BENCHMARK(PacketToPaint)
    ->Args({1, 10})
    ->Args({8, 22})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(400);

}  // namespace
}  // namespace zevo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
