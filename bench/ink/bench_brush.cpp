#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "bench/ink/pen_path.h"
#include "gfx/canvas.h"
#include "ink/brush_renderer.h"
#include "ink/downsample.h"

namespace zevo {
namespace {

// One LineTo per pen packet on the 1024 x 718 page: the cost of drawing one segment.
void LineToSegment(benchmark::State& state) {
  const float radius = float(state.range(0));
  gfx::Bitmap24 page(1024, 718);
  ink::BrushRenderer r(page);
  r.ClearWhite();
  // The pen moves as many view pixels per packet whatever the zoom; only the radius grows.
  auto strokes = bench::SimulatePenStrokes(64, 200, radius, 1024, 718);
  std::size_t s = 0, i = 0;
  r.BeginAt(strokes[0][0].x, strokes[0][0].y, strokes[0][0].radius);
  for (auto _ : state) {
    const auto& p = strokes[s][i];
    r.LineTo(p.x, p.y, p.radius);
    if (++i == strokes[s].size()) {
      i = 0;
      s = (s + 1) % strokes.size();
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LineToSegment)->Arg(10)->Arg(176)->Unit(benchmark::kMicrosecond);

// Averaging the whole 4096 x 2872 work bitmap of the export size into its 1024 x 718 target,
// the way the renderer does it (the fastest path this processor runs).
void DownsampleAll(benchmark::State& state) {
  gfx::Bitmap24 page(1024, 718);
  ink::BrushRenderer r(page);
  r.ClearWhite();
  for (auto _ : state) {
    r.DownsampleAll();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(r.Work().ByteSize()));
}
BENCHMARK(DownsampleAll)->Unit(benchmark::kMillisecond);

// The same with each path named, on a work bitmap of noise (0: plain C++, 1: AVX2).
void DownsampleAllPath(benchmark::State& state) {
  const auto path = ink::DownsamplePath(state.range(0));
  if (!ink::DownsamplePathRuns(path)) {
    state.SkipWithError("this processor does not run the path");
    return;
  }
  gfx::Bitmap24 page(1024, 718);
  ink::BrushRenderer r(page);
  std::uint32_t x = 12345;
  for (std::size_t k = 0; k < r.Work().ByteSize(); ++k) {
    x = x * 1664525u + 1013904223u;
    r.Work().Data()[k] = std::uint8_t(x >> 24);
  }
  for (auto _ : state) {
    ink::Downsample4x4(r.Work(), page, 0, 0, page.Width(), page.Height(), path);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(r.Work().ByteSize()));
}
BENCHMARK(DownsampleAllPath)
    ->Arg(int(ink::DownsamplePath::kScalar))
    ->Arg(int(ink::DownsamplePath::kAvx2))
    ->Unit(benchmark::kMillisecond);

// The floor any averaging of that size stands on: every work byte read once (eight at a time)
// and every target byte written once.
void DownsampleMemoryFloor(benchmark::State& state) {
  gfx::Bitmap24 page(1024, 718);
  gfx::Bitmap24 work(4096, 2872, gfx::kWhite);
  const std::size_t words = work.ByteSize() / 8;
  for (auto _ : state) {
    std::uint64_t acc = 0;
    const std::uint8_t* p = work.Data();
    for (std::size_t k = 0; k < words; ++k) {
      std::uint64_t v;
      std::memcpy(&v, p + 8 * k, 8);
      acc ^= v;
    }
    benchmark::DoNotOptimize(acc);
    std::memset(page.Data(), int(acc & 0xFF), page.ByteSize());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(work.ByteSize()));
}
BENCHMARK(DownsampleMemoryFloor)->Unit(benchmark::kMillisecond);

// A whole history rendered the batch way: 1000 strokes of 100 samples, one final average.
void HistoryBatch(benchmark::State& state) {
  gfx::Bitmap24 page(1024, 718);
  ink::BrushRenderer r(page);
  auto strokes = bench::SimulatePenStrokes(1000, 100, 10, 1024, 718);
  for (auto _ : state) {
    r.ClearWhite();
    for (const auto& s : strokes) {
      r.BeginAt(s[0].x, s[0].y, s[0].radius);
      for (std::size_t i = 1; i < s.size(); ++i) r.DrawSegment(s[i].x, s[i].y, s[i].radius);
    }
    r.DownsampleAll();
  }
}
BENCHMARK(HistoryBatch)->Unit(benchmark::kMillisecond);

// Flood fill of a white 4096 x 2872 work bitmap.
void FloodFillWhite(benchmark::State& state) {
  gfx::Bitmap24 work(4096, 2872);
  gfx::Canvas c(work);
  bool black = false;
  for (auto _ : state) {
    // Alternate the fill colour so every run fills the whole bitmap.
    c.brush.color = black ? gfx::kWhite : gfx::kBlack;
    black = !black;
    c.FloodFill(2048, 1436);
  }
}
BENCHMARK(FloodFillWhite)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
