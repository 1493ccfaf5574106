#include <benchmark/benchmark.h>

#include "bench/ink/pen_path.h"
#include "ink/entry_painter.h"
#include "ink/page_views.h"

namespace zevo {
namespace {

// A history of simulated pen strokes drawn on the blank page at 100 % the way navigation
// draws it (each entry through the entry painter, one average at the end): the stroke
// drawing alone, without the blank page, copies or the overview. Reports how many times each
// work pixel of the strokes was asked for, and how many bytes the drawing wrote per pixel.
void StrokesThroughThePainter(benchmark::State& state) {
  ink::StrokeDocument doc(ink::kPageWidth, ink::kPageHeight);
  for (const auto& s : bench::SimulatePenStrokes(int(state.range(0)), 100, 10.0f, ink::kPageWidth,
                                                 ink::kPageHeight)) {
    doc.SetInkColor(0x00202020);
    for (const auto& p : s) doc.AddSample(p.x, p.y, p.radius);
  }
  ink::PageViews views;
  for (auto _ : state) {
    state.PauseTiming();
    views.ShowBlank(nullptr, nullptr);
    state.ResumeTiming();
    ink::EntryPainter painter(views.ViewRenderer(), views.ViewMap());
    for (int i = 0; i < doc.Count(); ++i) painter.Draw(*doc.Entry(i));
    painter.Flush();
    benchmark::ClobberMemory();
  }
  state.counters["entries"] = doc.Count();
}
BENCHMARK(StrokesThroughThePainter)
    ->ArgNames({"strokes"})
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace zevo
