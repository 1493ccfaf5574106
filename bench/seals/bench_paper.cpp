// Building the blank paper pages (page 1024 x 718 and overview 256 x 180) from a background
// image of 2048 x 1436 scaled to the paper (fit 0), at 100 % and at 400 %.
#include <benchmark/benchmark.h>

#include "seals/paper_pages.h"

namespace {

using namespace zevo;

gfx::Bitmap24 Image() {
  gfx::Bitmap24 image(2048, 1436);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      image.SetPixel(x, y, gfx::Rgb(std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)));
  return image;
}

void BuildPaperPagesFromAnImage(benchmark::State& state) {
  static const gfx::Bitmap24 image = Image();
  const seals::BackgroundView background{&image, seals::kBackgroundImage, seals::kFitPaper};
  const float z = float(state.range(0)) / 100.0f;
  const ink::PageView view{z, z == 1 ? 0.0f : 384.0f, z == 1 ? 0.0f : 269.0f};
  gfx::Bitmap24 page(1024, 718), overview(256, 180);
  for (auto _ : state) {
    seals::BuildPaperPages(background, view, page, overview);
    benchmark::DoNotOptimize(page.Data());
  }
}
BENCHMARK(BuildPaperPagesFromAnImage)
    ->ArgName("zoom_percent")
    ->Arg(100)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
