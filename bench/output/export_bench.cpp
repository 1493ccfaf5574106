// The sheet picture of histories of 100, 1000 and 10 000 strokes at two export sizes, drawn in
// bands and (for comparison) at once, the same geometry filled by cairo at the same sizes, the
// export of an empty sheet, and the peak memory of one export in a fresh process.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "bench/fresh_process.h"
#include "bench/ink/pen_path.h"
#include "output/sheet_picture.h"

namespace {

using zevo::gfx::Bitmap24;

constexpr int kSamples = 100;
constexpr float kBrush = 8.0f;

struct History {
  std::vector<std::vector<zevo::ink::StrokeSample>> strokes;
  zevo::ink::StrokeDocument doc{1024, 718};
  explicit History(int count) {
    strokes = zevo::bench::SimulatePenStrokes(count, kSamples, kBrush, 1024, 718, 7);
    for (const auto& s : strokes)
      for (const auto& p : s) doc.AddSample(p.x, p.y, p.radius);
  }
};

// The history of `count` strokes (0: an empty sheet).
History& TheHistory(int count) {
  static std::map<int, std::unique_ptr<History>> h;
  auto& p = h[count];
  if (!p) p = std::make_unique<History>(count);
  return *p;
}

// The sheet picture as the export draws it (band 0: the band it chooses) or at once.
zevo::Result<Bitmap24> Export(int w, int h, const zevo::output::SheetInputs& in, bool at_once) {
  return at_once ? zevo::output::RenderSheetPictureInBands(w, h, in, h)
                 : zevo::output::RenderSheetPicture(w, h, in);
}

// Seconds of every iteration, by clock (0 wall, 1 process CPU), renderer (0 ours in bands, 1
// cairo, 2 ours at once), stroke count and picture width, for the ratios of the medians. Both
// renderers run on one thread, so process CPU time is the fair measure on a shared machine.
std::map<std::tuple<int, int, int, int>, std::vector<double>>& Times() {
  static std::map<std::tuple<int, int, int, int>, std::vector<double>> m;
  return m;
}

double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

class Stopwatch {
 public:
  Stopwatch(int renderer, int strokes, int width)
      : renderer_(renderer), strokes_(strokes), width_(width) {}
  ~Stopwatch() {
    Times()[{0, renderer_, strokes_, width_}].push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count());
    Times()[{1, renderer_, strokes_, width_}].push_back(CpuNow() - cpu_);
  }

 private:
  int renderer_, strokes_, width_;
  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  double cpu_ = CpuNow();
};

// In the child the benchmark starts for a peak (ZEVO_EXPORT_PEAK="w h strokes at_once"), before
// main: builds the history, resets the peak resident size, exports once and prints how far
// the peak rose above the resident size before the export, in KB.
const bool kPeakChild = [] {
  const char* args = std::getenv("ZEVO_EXPORT_PEAK");
  if (args == nullptr) return false;
  int w = 0, h = 0, strokes = 0, at_once = 0;
  if (std::sscanf(args, "%d %d %d %d", &w, &h, &strokes, &at_once) != 4) _exit(2);
  zevo::output::SheetInputs in;
  in.live = &TheHistory(strokes).doc;
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);  // the peak starts again from what is resident now
    std::fclose(f);
  }
  const long before = zevo::bench::StatusKb("VmRSS");
  {
    auto r = Export(w, h, in, at_once != 0);
    benchmark::DoNotOptimize(r);
  }
  std::printf("%ld\n", zevo::bench::StatusKb("VmHWM") - before);
  std::fflush(stdout);
  _exit(0);
}();

// The peak memory of one export, in MB, measured in a fresh process (this program started
// again) so that no memory the benchmark process already holds is reused.
double ExportPeakMegabytes(int w, int h, int strokes, bool at_once) {
  return zevo::bench::FreshProcessMegabytes(
      "ZEVO_EXPORT_PEAK", std::to_string(w) + " " + std::to_string(h) + " " +
                              std::to_string(strokes) + " " + (at_once ? "1" : "0"));
}

// Arguments: strokes, width, height, 1 to draw at once instead of in bands.
void BM_ExportSheet(benchmark::State& state) {
  const int strokes = int(state.range(0)), w = int(state.range(1)), h = int(state.range(2));
  const bool at_once = state.range(3) != 0;
  History& hist = TheHistory(strokes);
  zevo::output::SheetInputs in;
  in.live = &hist.doc;
  for (auto _ : state) {
    Stopwatch watch(at_once ? 2 : 0, strokes, w);
    auto r = Export(w, h, in, at_once);
    if (!r.Ok()) state.SkipWithError(r.ErrorText().c_str());
    benchmark::DoNotOptimize(r.Value().Data());
  }
  const double whole_work =
      (double(Bitmap24::StrideFor(4 * w)) * 4 * h + double(Bitmap24::StrideFor(w)) * h) /
      (1024.0 * 1024.0);
  const double peak = ExportPeakMegabytes(w, h, strokes, at_once);
  state.counters["peak_MB"] = peak;
  state.counters["whole_work+picture_MB"] = whole_work;
  state.counters["band_rows"] = at_once ? h : zevo::output::SheetBandRows(w);
  state.counters["segments"] = double(strokes) * (kSamples - 1);
}

// The export of an empty sheet: white paper and nothing on it.
void BM_ExportEmptySheet(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  const bool at_once = state.range(2) != 0;
  zevo::output::SheetInputs in;
  for (auto _ : state) {
    auto r = Export(w, h, in, at_once);
    if (!r.Ok()) state.SkipWithError(r.ErrorText().c_str());
    benchmark::DoNotOptimize(r.Value().Data());
  }
  state.counters["peak_MB"] = ExportPeakMegabytes(w, h, 0, at_once);
}

// The 1000-stroke export by picture width and band height, to choose the band.
void BM_ExportBandRows(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1)), rows = int(state.range(2));
  zevo::output::SheetInputs in;
  in.live = &TheHistory(1000).doc;
  for (auto _ : state) {
    auto r = zevo::output::RenderSheetPictureInBands(w, h, in, rows);
    if (!r.Ok()) state.SkipWithError(r.ErrorText().c_str());
    benchmark::DoNotOptimize(r.Value().Data());
  }
  state.counters["work_MB"] = double(Bitmap24::StrideFor(4 * w)) * 4 * rows / (1024.0 * 1024.0);
}

// The renderer's geometry for one segment, filled by cairo at picture resolution: the disc at
// the new point and the quadrilateral between the outer tangents.
void CairoSegment(cairo_t* cr, float x0, float y0, float r0, float x1, float y1, float r1) {
  cairo_new_path(cr);
  cairo_arc(cr, x1, y1, r1, 0, 2 * M_PI);
  const float dr = r0 - r1, dx = x1 - x0, dy = y1 - y0;
  const float d2 = dx * dx + dy * dy, d = std::sqrt(d2);
  if (!(std::fabs(dr) > d)) {
    float k = 0, t = 0;
    if (d > 0.5f) {
      k = dr / d2;
      t = k * d;
    }
    float px[4], py[4];
    const float ends[2][3] = {{x0, y0, r0}, {x1, y1, r1}};
    for (int e = 0; e < 2; ++e) {
      const float r = ends[e][2], a = r * t, h2 = r * r - a * a, m = r * k;
      const float bx = ends[e][0] + m * dx, by = ends[e][1] + m * dy;
      float s = 0;
      if (d2 >= 0.005f) s = std::sqrt(std::max(h2, 0.0f) / d2);
      // T- then T+ of this end.
      const float tmx = bx - dy * s, tmy = by + dx * s, tpx = bx + dy * s, tpy = by - dx * s;
      if (e == 0) {
        px[0] = tmx, py[0] = tmy, px[3] = tpx, py[3] = tpy;
      } else {
        px[1] = tmx, py[1] = tmy, px[2] = tpx, py[2] = tpy;
      }
    }
    cairo_new_sub_path(cr);
    cairo_move_to(cr, px[0], py[0]);
    for (int i = 1; i < 4; ++i) cairo_line_to(cr, px[i], py[i]);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
}

void BM_CairoSameGeometry(benchmark::State& state) {
  const int strokes = int(state.range(0)), w = int(state.range(1)), h = int(state.range(2));
  const History& hist = TheHistory(strokes);
  const zevo::output::SheetFit f = zevo::output::FitSheet(w, h, 1024, 718);
  for (auto _ : state) {
    Stopwatch watch(1, strokes, w);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    for (const auto& s : hist.strokes) {
      float px = s[0].x * f.s + f.ox, py = s[0].y * f.s + f.oy, pr = s[0].radius * f.s;
      cairo_new_path(cr);
      cairo_arc(cr, px, py, pr, 0, 2 * M_PI);
      cairo_fill(cr);
      for (std::size_t i = 1; i < s.size(); ++i) {
        const float x = s[i].x * f.s + f.ox, y = s[i].y * f.s + f.oy, r = s[i].radius * f.s;
        CairoSegment(cr, px, py, pr, x, y, r);
        px = x, py = y, pr = r;
      }
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
}

// Our median time over cairo's for each history and size, from all iterations of the two
// benchmarks above, in bands and at once.
void BM_RatioToCairo(benchmark::State& state) {
  const int strokes = int(state.range(0)), w = int(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(w);
  for (int clock : {1, 0}) {
    const char* name = clock ? "cpu" : "wall";
    const double cairo = Median(Times()[{clock, 1, strokes, w}]);
    state.counters[std::string("cairo_") + name + "_ms"] = cairo * 1e3;
    for (int renderer : {0, 2}) {
      const std::vector<double>& t = Times()[{clock, renderer, strokes, w}];
      if (t.empty()) continue;
      const std::string which = renderer == 0 ? "bands" : "at_once";
      const double ours = Median(t);
      state.counters[which + "_" + name + "_ms"] = ours * 1e3;
      state.counters[which + "/cairo_" + name] = cairo > 0 ? ours / cairo : 0;
    }
  }
}

// Strokes and sizes; at once only for the 1000-stroke history, the comparison with the bands.
void ExportArgs(benchmark::internal::Benchmark* b, int strokes) {
  for (const auto& [w, h] : {std::pair{1024, 718}, std::pair{4096, 2872}}) {
    b->Args({strokes, w, h, 0});
    if (strokes == 1000) b->Args({strokes, w, h, 1});
  }
}
void CairoArgs(benchmark::internal::Benchmark* b, int strokes) {
  for (const auto& [w, h] : {std::pair{1024, 718}, std::pair{4096, 2872}}) b->Args({strokes, w, h});
}
void RatioArgs(benchmark::internal::Benchmark* b, int strokes) {
  for (const int w : {1024, 4096}) b->Args({strokes, w});
}

// Each history's exports, cairo's and the ratio, one history after the other; the 10 000-stroke
// history (about 35 s of cairo at 4096) three times each, the others five.
#define HISTORY(strokes, reps)                                                   \
  BENCHMARK(BM_ExportSheet)                                                      \
      ->Apply([](benchmark::internal::Benchmark* b) { ExportArgs(b, strokes); }) \
      ->Unit(benchmark::kMillisecond)                                            \
      ->Repetitions(reps)                                                        \
      ->ReportAggregatesOnly(true)                                               \
      ->UseRealTime();                                                           \
  BENCHMARK(BM_CairoSameGeometry)                                                \
      ->Apply([](benchmark::internal::Benchmark* b) { CairoArgs(b, strokes); })  \
      ->Unit(benchmark::kMillisecond)                                            \
      ->Repetitions(reps)                                                        \
      ->ReportAggregatesOnly(true)                                               \
      ->UseRealTime();                                                           \
  BENCHMARK(BM_RatioToCairo)                                                     \
      ->Apply([](benchmark::internal::Benchmark* b) { RatioArgs(b, strokes); })  \
      ->Iterations(1)

HISTORY(100, 5);
HISTORY(1000, 5);
HISTORY(10000, 3);

BENCHMARK(BM_ExportEmptySheet)
    ->Args({4096, 2872, 0})
    ->Args({4096, 2872, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
// Measured: 4 MB of band (21 rows at 4096, 85 at 1024) was as fast as any larger band and
// faster than smaller ones.
BENCHMARK(BM_ExportBandRows)
    ->ArgsProduct({{4096}, {2872}, {5, 10, 21, 42, 85}})
    ->ArgsProduct({{1024}, {718}, {10, 21, 42, 85, 170}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
