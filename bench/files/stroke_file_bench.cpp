// Stroke file figures: encoded write and read of a 1000-stroke x 100-sample history, the
// encoded size against the plain layout for a pen-written history, and codec throughput.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zstd.h>

#include <cstdio>
#include <map>
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

// The codec's own entry point, for encoding at a chosen level.
drav_encode_ex_fn EncodeEx() {
  static auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  static auto library = loader->Open(files::CodecBinding::LibraryFileName());
  if (!library) {
    std::fprintf(stderr, "%s\n", library.ErrorText().c_str());
    std::abort();
  }
  static auto f = reinterpret_cast<drav_encode_ex_fn>(library.Value()->Symbol("drav_encode_ex"));
  return f;
}

// The plain layout of a pen-written history of that many strokes x 100 samples, made once.
const std::vector<std::uint8_t>& PlainHistory(int strokes) {
  static std::map<int, std::vector<std::uint8_t>> made;
  auto it = made.find(strokes);
  if (it == made.end()) {
    it = made.emplace(strokes, bench::PlainLayoutOf(bench::SimulatePenHistory(strokes, 100))).first;
  }
  return it->second;
}

// The sealed encoding the program writes, at compressor level range(0), of histories of
// range(1) strokes x 100 samples: encode speed (bytes_per_second of plain layout) and the
// encoded size against the plain one.
void BM_EncodeLevel(benchmark::State& state) {
  const int level = int(state.range(0));
  const std::vector<std::uint8_t>& plain = PlainHistory(int(state.range(1)));
  const drav_encode_ex_fn encode = EncodeEx();
  const std::int32_t length = std::int32_t(plain.size());
  std::int32_t bound = 0;
  if (encode(level, plain.data(), length, nullptr, &bound, files::kStrokeFileKey.data()) != 0) {
    state.SkipWithError("size query failed");
    return;
  }
  std::vector<std::uint8_t> out(std::size_t(bound), 0);
  std::int32_t produced = 0;
  for (auto _ : state) {
    produced = bound;
    if (encode(level, plain.data(), length, out.data(), &produced, files::kStrokeFileKey.data()) !=
        0) {
      state.SkipWithError("encode failed");
      return;
    }
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(plain.size()));
  state.counters["plain_bytes"] = double(plain.size());
  state.counters["encoded_bytes"] = double(produced);
  state.counters["ratio"] = double(produced) / double(plain.size());
}
BENCHMARK(BM_EncodeLevel)
    ->ArgsProduct({benchmark::CreateDenseRange(1, 9, 1), {100, 1000, 10000}})
    ->ArgNames({"level", "strokes"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
