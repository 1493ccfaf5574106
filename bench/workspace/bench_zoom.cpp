#include <benchmark/benchmark.h>

#include "bench/ink/pen_path.h"
#include "history/history_player.h"
#include "history/navigation.h"
#include "ink/page_views.h"
#include "seals/sheet_pages.h"
#include "workspace/zoom_view.h"

namespace zevo {
namespace {

// The parts a change of zoom works on, with a history of `strokes` simulated pen strokes of
// `samples` samples each, shown to the end, and the grid shown.
struct ZoomBench {
  ZoomBench(int strokes, int samples) : player(ink::kPageWidth, ink::kPageHeight) {
    for (const auto& s :
         bench::SimulatePenStrokes(strokes, samples, 10.0f, ink::kPageWidth, ink::kPageHeight)) {
      player.Document().SetInkColor(0x00202020);
      for (const auto& p : s) player.Document().AddSample(p.x, p.y, p.radius);
    }
    player.ShowWhole();
    sheet.grid_shown = true;
  }
  // Zoom choice `index`, then the pages and both views anew, as the window does.
  void ChooseZoom(int index) {
    if (!workspace::SetZoom(zoom, index)) return;
    workspace::ApplyZoomView(zoom, views, sheet, nullptr);
    history::Navigator n{player, views, sheet, nullptr};
    history::FullRedraw(n);
  }

  history::HistoryPlayer player;
  ink::PageViews views;
  seals::SheetPages sheet;
  workspace::ZoomView zoom;
};

// From 400 % to 800 %: paper, trace model and grid pages rebuilt, then the whole history drawn
// again at 800 %. Cold: the view was last drawn at 400 %, so navigation's copy of the renderers
// cannot be used (every change of zoom or origin is so); warm: that copy is of 800 %.
void ZoomTo800(benchmark::State& state) {
  ZoomBench b(int(state.range(0)), 100);
  const bool cold = state.range(1) != 0;
  b.ChooseZoom(3);
  for (auto _ : state) {
    state.PauseTiming();
    if (cold)
      b.ChooseZoom(2);
    else
      workspace::SetZoom(b.zoom, 2);  // only the choice: the views stay at 800 %
    state.ResumeTiming();
    b.ChooseZoom(3);
  }
  state.counters["entries"] = b.player.Document().Count();
}
BENCHMARK(ZoomTo800)
    ->ArgNames({"strokes", "cold"})
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->MinTime(1.0);

}  // namespace
}  // namespace zevo
