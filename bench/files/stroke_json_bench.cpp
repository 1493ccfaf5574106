// JSON form figures: export and import of a pen-written history of 1000 strokes x 100 samples,
// against reading its plain layout, and the PNG writer against the BMP and JPEG writers on a
// sheet-sized picture.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/files/pen_history.h"
#include "files/stroke_file.h"
#include "files/stroke_json.h"
#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "gfx/png_file.h"

namespace zevo {
namespace {

const std::vector<std::uint8_t>& Layout() {
  static const std::vector<std::uint8_t> layout =
      bench::PlainLayoutOf(bench::SimulatePenHistory(1000, 100));
  return layout;
}

const std::string& Json() {
  static const std::string json = [] {
    ink::StrokeDocument d(1024, 718);
    files::ReadStrokeData(d, Layout(), nullptr);
    return files::StrokeDocumentToJson(d);
  }();
  return json;
}

void BM_ReadPlainLayout(benchmark::State& state) {
  for (auto _ : state) {
    ink::StrokeDocument d(1024, 718);
    benchmark::DoNotOptimize(files::ReadStrokeData(d, Layout(), nullptr));
  }
  state.SetBytesProcessed(std::int64_t(state.iterations() * Layout().size()));
}
BENCHMARK(BM_ReadPlainLayout)->Unit(benchmark::kMillisecond);

void BM_ExportJson(benchmark::State& state) {
  ink::StrokeDocument d(1024, 718);
  files::ReadStrokeData(d, Layout(), nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(files::StrokeDocumentToJson(d));
  state.SetBytesProcessed(std::int64_t(state.iterations() * Json().size()));
}
BENCHMARK(BM_ExportJson)->Unit(benchmark::kMillisecond);

void BM_ImportJson(benchmark::State& state) {
  for (auto _ : state) {
    ink::StrokeDocument d(1024, 718);
    files::DocumentBudget budget;
    benchmark::DoNotOptimize(files::StrokeDocumentFromJson(Json(), d, budget).code);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations() * Json().size()));
  state.counters["json_bytes"] = double(Json().size());
}
BENCHMARK(BM_ImportJson)->Unit(benchmark::kMillisecond);

// A sheet-like picture: white paper with dark strokes and a little texture.
const gfx::Bitmap24& Sheet() {
  static const gfx::Bitmap24 sheet = [] {
    gfx::Bitmap24 b(1024, 718, gfx::kWhite);
    for (int y = 0; y < 718; ++y) {
      for (int x = 0; x < 1024; ++x) {
        const int d = (x * 7 + y * 13) % 97;
        if ((x / 40 + y / 60) % 5 == 0 && d < 40)
          b.SetPixel(x, y, gfx::Rgb(20, 20, 20));
        else if (d == 3)
          b.SetPixel(x, y, gfx::Rgb(240, 236, 228));
      }
    }
    return b;
  }();
  return sheet;
}

void BM_EncodeBmp(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(gfx::EncodeBmp(Sheet()));
}
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(gfx::EncodeJpeg(Sheet()));
}
BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond);

void BM_EncodePng(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> png = gfx::EncodePng(Sheet());
    size = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_bytes"] = double(size);
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
