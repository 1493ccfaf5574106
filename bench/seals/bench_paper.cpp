// Building the blank paper pages (page 1024 x 718 and overview 256 x 180) from a background
// image of 2048 x 1436 scaled to the paper (fit 0), at 100 % and at 400 %.
#include <benchmark/benchmark.h>

#include "seals/grid_pages.h"
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

// The grid pages of a file's grid of 65535 one-pixel columns and rows (arg 1) beside those of
// a grid that just covers the view (arg 0): the lines beyond the page cost nothing.
void BuildGridPagesOfOnePixelCells(benchmark::State& state) {
  const gfx::Bitmap24 page(1024, 718, 0x00102030), overview(256, 180, 0x00102030);
  const seals::GridLayout grid = state.range(0) != 0 ? seals::GridLayout{1, 1, 0, 0, 65535, 65535}
                                                     : seals::GridLayout{1, 1, 0, 0, 2000, 1500};
  gfx::Bitmap24 grid_page, grid_overview;
  for (auto _ : state) {
    seals::BuildGridPages(page, overview, grid, {2.0f, 300.0f, 200.0f}, grid_page, grid_overview);
    benchmark::DoNotOptimize(grid_page.Data());
  }
}
BENCHMARK(BuildGridPagesOfOnePixelCells)
    ->ArgName("file_grid")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
