// Stroke file figures: encoded write and read of a 1000-stroke x 100-sample history, the
// encoded size against the plain layout for a pen-written history, and codec throughput.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zstd.h>

#include <cstdio>
#include <string>

#include "bench/files/pen_history.h"
#include "files/codec_binding.h"
#include "files/stroke_file.h"
#include "platform/library_loader.h"

namespace zevo {
namespace {

const files::CodecBinding& Codec() {
  static auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  static auto codec = files::CodecBinding::Load(*loader);
  if (!codec) {
    std::fprintf(stderr, "%s\n", codec.ErrorText().c_str());
    std::abort();
  }
  return codec.Value();
}

ink::StrokeDocument& History() {
  static ink::StrokeDocument d(1024, 718);
  if (d.Count() == 0) {
    for (const bench::PenStroke& s : bench::SimulatePenHistory(1000, 100)) {
      for (const bench::PenSample& p : s) d.AddSample(p.x, p.y, p.radius);
    }
  }
  return d;
}

std::string TempPath() {
  return "/tmp/zevo-bench-" + std::to_string(::getpid()) + ".stk";
}

void BM_WriteEncoded(benchmark::State& state) {
  ink::StrokeDocument& d = History();
  const std::string path = TempPath();
  for (auto _ : state) {
    if (files::WriteStrokeFile(d, path, 1, "password", "author", Codec()) != 0) {
      state.SkipWithError("write failed");
    }
  }
  state.counters["samples"] = 100000;
  std::remove(path.c_str());
}
BENCHMARK(BM_WriteEncoded)->Unit(benchmark::kMillisecond);

void BM_ReadEncoded(benchmark::State& state) {
  const std::string path = TempPath();
  files::WriteStrokeFile(History(), path, 1, "password", "author", Codec());
  ink::StrokeDocument d(1024, 718);
  for (auto _ : state) {
    if (files::ReadStrokeFile(d, path, &Codec()) != 0 || d.Count() != 1000) {
      state.SkipWithError("read failed");
    }
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadEncoded)->Unit(benchmark::kMillisecond);

// The pen-written history of the ratio target, and zstd at its highest level for comparison.
void BM_EncodedRatio(benchmark::State& state) {
  const std::vector<std::uint8_t> plain =
      bench::PlainLayoutOf(bench::SimulatePenHistory(1000, 100, 7));
  std::vector<std::uint8_t> encoded;
  for (auto _ : state) {
    if (!Codec().Encode(plain, encoded)) state.SkipWithError("encode failed");
  }
  std::vector<std::uint8_t> z(ZSTD_compressBound(plain.size()));
  const std::size_t zn = ZSTD_compress(z.data(), z.size(), plain.data(), plain.size(), 19);
  state.counters["plain_bytes"] = double(plain.size());
  state.counters["encoded_bytes"] = double(encoded.size());
  state.counters["ratio"] = double(encoded.size()) / double(plain.size());
  state.counters["zstd19_ratio"] = double(zn) / double(plain.size());
}
BENCHMARK(BM_EncodedRatio)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CodecEncode(benchmark::State& state) {
  const std::vector<std::uint8_t> plain =
      bench::PlainLayoutOf(bench::SimulatePenHistory(1000, 100));
  std::vector<std::uint8_t> encoded;
  for (auto _ : state) Codec().Encode(plain, encoded);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(plain.size()));
}
BENCHMARK(BM_CodecEncode)->Unit(benchmark::kMillisecond);

void BM_CodecDecode(benchmark::State& state) {
  const std::vector<std::uint8_t> plain =
      bench::PlainLayoutOf(bench::SimulatePenHistory(1000, 100));
  std::vector<std::uint8_t> encoded, decoded;
  Codec().Encode(plain, encoded);
  for (auto _ : state) {
    if (!Codec().Decode(encoded, decoded) || decoded.size() != plain.size()) {
      state.SkipWithError("decode failed");
    }
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(plain.size()));
}
BENCHMARK(BM_CodecDecode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
