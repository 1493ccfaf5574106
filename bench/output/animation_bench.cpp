// The animation of a 200-stroke history at 1024 x 718 at the replay's rate: the drawing of the
// frames alone and their encoding as GIF, WebP (written as it goes, and through libwebp's
// animation encoder) and MP4, as CPU time per frame, and the peak memory of
// one animation in a fresh process.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "bench/fresh_process.h"
#include "bench/ink/pen_path.h"
#include "output/animation.h"
#include "output/animation_file.h"
#include "output/sheet_picture.h"

namespace {

using namespace zevo;

constexpr int kStrokes = 200;
constexpr int kWidth = 1024, kHeight = 718;

ink::StrokeDocument& TheHistory() {
  static ink::StrokeDocument* doc = [] {
    auto* d = new ink::StrokeDocument(kWidth, kHeight);
    for (const auto& s : bench::SimulatePenStrokes(kStrokes, 100, 8.0f, kWidth, kHeight, 7))
      for (const auto& p : s) d->AddSample(p.x, p.y, p.radius);
    return d;
  }();
  return *doc;
}

// Frames drawn and dropped: the drawing alone.
class NoSink final : public output::AnimationSink {
 public:
  std::string Frame(const gfx::Bitmap24& p, const gfx::Rect&, std::int64_t) override {
    benchmark::DoNotOptimize(p.Data());
    return {};
  }
  std::string End(std::int64_t) override { return {}; }
};

std::string OutPath(int format) {
  return (std::filesystem::temp_directory_path() /
          (std::string("zevo_anim_bench_") + std::to_string(getpid()) +
           (format == 1   ? ".gif"
            : format == 4 ? ".mp4"
                          : ".webp")))
      .string();
}

// One animation: format 0 none, 1 GIF, 2 WebP, 3 WebP through libwebp's animation encoder,
// 4 MP4.
// The frame count, or -1.
int Animate(int format, bool tip) {
  ink::StrokeDocument& doc = TheHistory();
  output::SheetInputs in;
  in.live = &doc;
  output::AnimationOptions o;
  o.width = kWidth;
  o.height = kHeight;
  o.to = doc.Count();
  o.tip = tip;
  std::unique_ptr<output::AnimationSink> sink = std::make_unique<NoSink>();
  std::optional<gfx::Bitmap24> last;
  if (format != 0) {
    output::AnimationFileOptions fo{kWidth, kHeight, 25, nullptr};
    fo.webp_whole_frames = format == 3;
    if (format == 1) {
      last = output::RenderSheetPicture(kWidth, kHeight, in).Value();
      fo.palette_source = &*last;
    }
    auto opened = output::OpenAnimationFile(OutPath(format),
                                            format == 1   ? output::AnimationFormat::Gif
                                            : format == 4 ? output::AnimationFormat::Mp4
                                                          : output::AnimationFormat::WebP,
                                            fo);
    if (!opened) return -1;
    sink = std::move(opened).Value();
  }
  auto done = output::RenderAnimation(in, o, *sink);
  sink.reset();
  std::filesystem::remove(OutPath(format));
  return done ? done.Value().frames : -1;
}

// Started again with ZEVO_ANIMATION_PEAK=<format>: one animation, the growth of the peak
// resident memory in kB on the standard output, and out.
const bool kPeakChild = [] {
  const char* v = std::getenv("ZEVO_ANIMATION_PEAK");
  if (v == nullptr) return false;
  TheHistory();
  const long before = bench::StatusKb("VmHWM");
  if (Animate(std::atoi(v), false) < 0) _exit(2);
  std::printf("%ld\n", bench::StatusKb("VmHWM") - before);
  std::fflush(stdout);
  _exit(0);
}();

double PeakMegabytes(int format) {
  return bench::FreshProcessMegabytes("ZEVO_ANIMATION_PEAK", std::to_string(format));
}

// Argument: 0 the drawing alone, 1 GIF, 2 WebP, 3 WebP through libwebp's animation encoder,
// 4 MP4;
// the second 1 with the brush-tip circle.
void BM_Animation(benchmark::State& state) {
  const int format = int(state.range(0));
  TheHistory();
  int frames = 0;
  for (auto _ : state) {
    frames = Animate(format, state.range(1) != 0);
    if (frames < 0) state.SkipWithError("the animation failed");
  }
  state.counters["frames"] = frames;
  // CPU time per frame, in seconds.
  state.counters["per_frame"] = benchmark::Counter(
      double(frames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  // Once a format: the repetitions would measure the same.
  static std::map<int, double> peak;
  if (!peak.count(format)) peak[format] = PeakMegabytes(format);
  state.counters["peak_MB"] = peak[format];
}
BENCHMARK(BM_Animation)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0}})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
