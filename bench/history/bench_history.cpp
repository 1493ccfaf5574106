#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>

#include "app/zevo3_win.h"
#include "bench/ink/pen_path.h"
#include "history/navigation.h"
#include "history/replay.h"
#include "platform/library_loader.h"
#include "platform/posix/settings_file.h"
#include "platform/tablet_driver.h"

namespace zevo {
namespace {

namespace fs = std::filesystem;

// A tablet that is there and never sends anything.
class IdleTablet : public platform::TabletDriver {
 public:
  bool Load(std::string&) override { return true; }
  void Unload() override {}
  platform::TabletContext DefaultContext() override { return {}; }
  bool Open(const platform::TabletContext&) override { return true; }
  void Close() override {}
  std::optional<platform::TabletPacket> ReadPacket(std::uint32_t) override { return std::nullopt; }
};

// The main window over the built program folder (codec library, skin, texts), with a settings
// file of its own, and a history of `strokes` simulated pen strokes shown to the end.
struct BenchWindow {
  BenchWindow(int strokes, int samples) {
    std::random_device rd;
    settings_path = fs::temp_directory_path() / ("zevo-bench-" + std::to_string(rd()));
    settings = std::make_unique<platform::FileSettingsBackend>(settings_path.string());
    loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
    app::Environment env;
    env.tablet = &tablet;
    env.loader = loader.get();
    env.settings = settings.get();
    env.folders = std::string(ZEVO_PROGRAM_DIR) + "/";
    auto created = app::TZevo3Win::Create(env);
    if (!created) {
      error = created.ErrorText();
      return;
    }
    win = std::move(created).Value();
    for (const auto& s : bench::SimulatePenStrokes(strokes, samples, 10.0f, 1024, 718)) {
      win->Document().SetInkColor(0x00202020);
      for (const auto& p : s) win->Document().AddSample(p.x, p.y, p.radius);
    }
    win->player.bar.max = win->Document().Count();
    win->GotoFirstExecute();
    win->GotoLastExecute();
  }
  ~BenchWindow() {
    win.reset();
    std::error_code ec;
    fs::remove(settings_path, ec);
  }

  IdleTablet tablet;
  fs::path settings_path;
  std::unique_ptr<platform::FileSettingsBackend> settings;
  std::unique_ptr<platform::LibraryLoader> loader;
  std::unique_ptr<app::TZevo3Win> win;
  std::string error;
};

// CPU time of the whole process (the redraws draw on more threads than the one timed), in ms.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The CPU time of all threads per iteration, beside the timed thread's.
void ReportProcessCpu(benchmark::State& state, double total_ms) {
  state.counters["process_cpu_ms"] =
      benchmark::Counter(total_ms / std::max<double>(double(state.iterations()), 1.0));
}

// One step back from the end: the blank page and 999 strokes drawn again. With the second
// argument 1 nothing is kept from an earlier redraw (the first step back after writing); with
// the third 0 the view is drawn on one thread (the plain path), with 1 in two parts of rows.
void GotoPrevFromTheEnd(benchmark::State& state) {
  BenchWindow b(int(state.range(0)), 100);
  if (!b.win) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  auto& w = *b.win;
  const bool cold = state.range(1) != 0;
  w.player.split_redraws = state.range(2) != 0;
  double process_ms = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (cold) w.player.Cache().Forget();
    const double t0 = ProcessCpuMs();
    state.ResumeTiming();
    w.GotoPrevExecute();
    state.PauseTiming();
    process_ms += ProcessCpuMs() - t0;
    w.GotoNextExecute();  // back to the end
    state.ResumeTiming();
  }
  ReportProcessCpu(state, process_ms);
}
BENCHMARK(GotoPrevFromTheEnd)
    ->ArgNames({"entries", "cold", "split"})
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}, {1}})
    ->Args({1000, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The memory the kept copies take, in MB, as a counter of the benchmark.
void ReportCache(benchmark::State& state, app::TZevo3Win& w) {
  state.counters["cache_MB"] = double(w.player.Cache().Bytes()) / 1e6;
  state.counters["copies"] = double(w.player.Cache().Positions().size());
  state.counters["spacing"] = w.player.Cache().Spacing();
}

// Walking back step by step from the end (the slowest step in CPU time of both drawing
// threads): the mean step over the last `steps` positions (all
// of them for the short histories) and the slowest one. Linear in the history when the mean
// step does not grow with it.
void WalkBackFromTheEnd(benchmark::State& state) {
  BenchWindow b(int(state.range(0)), 100);
  if (!b.win) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  auto& w = *b.win;
  const int steps = std::min(int(state.range(0)), 300);
  double slowest = 0;
  for (auto _ : state) {
    for (int i = 0; i < steps; ++i) {
      const double t0 = ProcessCpuMs();
      w.GotoPrevExecute();
      slowest = std::max(slowest, ProcessCpuMs() - t0);
    }
    state.PauseTiming();
    w.GotoLastExecute();
    state.ResumeTiming();
  }
  state.counters["step_ms"] =
      benchmark::Counter(double(steps) * double(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["slowest_step_cpu_ms"] = slowest;
  ReportCache(state, w);
}
BENCHMARK(WalkBackFromTheEnd)
    ->ArgNames({"entries"})
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Jumps to positions spread over the history, as clicks on the player track.
void JumpAnywhere(benchmark::State& state) {
  BenchWindow b(int(state.range(0)), 100);
  if (!b.win) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  auto& w = *b.win;
  std::mt19937 rng(5);
  const int count = w.Document().Count();
  double slowest = 0;
  for (auto _ : state) {
    const int target = int(rng() % std::uint32_t(count + 1));
    const double t0 = ProcessCpuMs();
    w.GotoPointExecute(target);
    slowest = std::max(slowest, ProcessCpuMs() - t0);
  }
  state.counters["slowest_cpu_ms"] = slowest;
  ReportCache(state, w);
}
BENCHMARK(JumpAnywhere)
    ->ArgNames({"entries"})
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

// From position 0 to the end: every stroke drawn on the blank page; cold as above.
void GotoLastFromTheStart(benchmark::State& state) {
  BenchWindow b(int(state.range(0)), 100);
  if (!b.win) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  auto& w = *b.win;
  const bool cold = state.range(1) != 0;
  w.player.split_redraws = state.range(2) != 0;
  double process_ms = 0;
  for (auto _ : state) {
    state.PauseTiming();
    w.GotoFirstExecute();
    if (cold) w.player.Cache().Forget();
    const double t0 = ProcessCpuMs();
    state.ResumeTiming();
    w.GotoLastExecute();
    state.PauseTiming();
    process_ms += ProcessCpuMs() - t0;
    state.ResumeTiming();
  }
  ReportProcessCpu(state, process_ms);
}
BENCHMARK(GotoLastFromTheStart)
    ->ArgNames({"entries", "cold", "split"})
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}, {1}})
    ->Args({1000, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// One replay tick inside a stroke at the fastest rate the hot keys allow (20 samples).
void ReplayTickAtRate20(benchmark::State& state) {
  BenchWindow b(200, 100);
  if (!b.win) {
    state.SkipWithError(b.error.c_str());
    return;
  }
  auto& w = *b.win;
  w.DataPlayExecute();  // from the blank page
  for (int i = 0; i < 30; ++i) history::ChangeReplayRate(w.player, +1);
  for (auto _ : state) {
    if (!w.player.PartialStroke()) {
      // Starting the next stroke is not a drawing tick: leave it out.
      state.PauseTiming();
      if (!w.player.replaying) w.DataPlayExecute();
      for (int i = 0; i < 30; ++i) history::ChangeReplayRate(w.player, +1);
      while (!w.player.PartialStroke() && w.player.replaying) w.Timer2Timer();
      state.ResumeTiming();
    }
    w.Timer2Timer();
  }
}
BENCHMARK(ReplayTickAtRate20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zevo
