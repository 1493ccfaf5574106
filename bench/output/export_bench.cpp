// The sheet picture of a long history at three export sizes, the same geometry filled by
// cairo at the same sizes, and the peak memory of one export in a fresh process.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "bench/ink/pen_path.h"
#include "output/sheet_picture.h"

namespace {

using zevo::gfx::Bitmap24;

constexpr int kStrokes = 1000;
constexpr int kSamples = 100;
constexpr float kBrush = 8.0f;

struct History {
  std::vector<std::vector<zevo::ink::StrokeSample>> strokes;
  zevo::ink::StrokeDocument doc{1024, 718};
  History() {
    strokes = zevo::bench::SimulatePenStrokes(kStrokes, kSamples, kBrush, 1024, 718, 7);
    for (const auto& s : strokes)
      for (const auto& p : s) doc.AddSample(p.x, p.y, p.radius);
  }
};

History& TheHistory() {
  static History h;
  return h;
}

// Seconds of every iteration, by clock (0 wall, 1 process CPU), renderer and picture width,
// for the ratios of the medians. Both renderers run on one thread, so process CPU time is the
// fair measure on a shared machine.
std::map<std::tuple<int, int, int>, std::vector<double>>& Times() {
  static std::map<std::tuple<int, int, int>, std::vector<double>> m;
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
  Stopwatch(int renderer, int width) : renderer_(renderer), width_(width) {}
  ~Stopwatch() {
    Times()[{0, renderer_, width_}].push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count());
    Times()[{1, renderer_, width_}].push_back(CpuNow() - cpu_);
  }

 private:
  int renderer_, width_;
  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  double cpu_ = CpuNow();
};

// The peak resident size of a child that renders one picture, minus that of a child that
// renders nothing, in MB.
double ExportPeakMegabytes(int w, int h) {
  auto child_peak = [&](bool render) -> long {
    const pid_t pid = fork();
    if (pid == 0) {
      if (render) {
        zevo::output::SheetInputs in;
        in.live = &TheHistory().doc;
        auto r = zevo::output::RenderSheetPicture(w, h, in);
        benchmark::DoNotOptimize(r);
      }
      _exit(0);
    }
    int status = 0;
    rusage ru{};
    if (pid < 0 || wait4(pid, &status, 0, &ru) < 0) return 0;
    return ru.ru_maxrss;  // KB
  };
  const long base = child_peak(false), peak = child_peak(true);
  return double(peak - base) / 1024.0;
}

void BM_ExportSheet(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  History& hist = TheHistory();
  zevo::output::SheetInputs in;
  in.live = &hist.doc;
  for (auto _ : state) {
    Stopwatch watch(0, w);
    auto r = zevo::output::RenderSheetPicture(w, h, in);
    if (!r.Ok()) state.SkipWithError(r.ErrorText().c_str());
    benchmark::DoNotOptimize(r.Value().Data());
  }
  const double expected =
      (double(Bitmap24::StrideFor(4 * w)) * 4 * h + double(Bitmap24::StrideFor(w)) * h) /
      (1024.0 * 1024.0);
  const double peak = ExportPeakMegabytes(w, h);
  state.counters["peak_MB"] = peak;
  state.counters["work+picture_MB"] = expected;
  state.counters["peak_ratio"] = peak / expected;
  state.counters["segments"] = double(kStrokes) * (kSamples - 1);
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
  const int w = int(state.range(0)), h = int(state.range(1));
  const History& hist = TheHistory();
  const zevo::output::SheetFit f = zevo::output::FitSheet(w, h, 1024, 718);
  for (auto _ : state) {
    Stopwatch watch(1, w);
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

// Our median time over cairo's at each size, from all iterations of the two benchmarks above.
void BM_RatioToCairo(benchmark::State& state) {
  const int w = int(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(w);
  for (int clock : {1, 0}) {
    const char* name = clock ? "cpu" : "wall";
    const double ours = Median(Times()[{clock, 0, w}]), cairo = Median(Times()[{clock, 1, w}]);
    state.counters[std::string("ours_") + name + "_ms"] = ours * 1e3;
    state.counters[std::string("cairo_") + name + "_ms"] = cairo * 1e3;
    state.counters[std::string("ours/cairo_") + name] = cairo > 0 ? ours / cairo : 0;
  }
}

#define SIZES Args({1024, 718})->Args({2048, 1436})->Args({4096, 2872})

BENCHMARK(BM_ExportSheet)
    ->SIZES->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_CairoSameGeometry)
    ->SIZES->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_RatioToCairo)->SIZES->Iterations(1);

}  // namespace
