#include "ink/downsample.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZEVO_DOWNSAMPLE_X86 1
#else
#define ZEVO_DOWNSAMPLE_X86 0
#endif

namespace zevo::ink {
namespace {

// Per-thread scratch row of column sums for the scalar averaging.
std::vector<std::uint16_t>& SumRow(std::size_t n) {
  thread_local std::vector<std::uint16_t> row;
  if (row.size() < n) row.resize(n);
  return row;
}

void ScalarRect(const gfx::Bitmap24& work, gfx::Bitmap24& target, int left, int top, int right,
                int bottom, int band_top) {
  // Column sums of four work rows, a chunk of target pixels at a time so that they stay in the
  // first-level cache; then the four sums of each block, shifted.
  constexpr int kChunk = 128;
  std::vector<std::uint16_t>& sum = SumRow(std::size_t(kChunk) * 12);
  std::uint16_t* s = sum.data();
  const std::ptrdiff_t stride = work.Stride();
  for (int j = top; j < bottom; ++j) {
    std::uint8_t* out_row = target.Row(j);
    for (int c0 = left; c0 < right; c0 += kChunk) {
      const int count = std::min(kChunk, right - c0);
      const std::size_t n = std::size_t(count) * 12;
      const std::uint8_t* w0 = work.Row(4 * (j - band_top)) + std::size_t(c0) * 12;
      const std::uint8_t* w1 = w0 + stride;
      const std::uint8_t* w2 = w1 + stride;
      const std::uint8_t* w3 = w2 + stride;
      for (std::size_t k = 0; k < n; ++k) s[k] = std::uint16_t(w0[k] + w1[k] + w2[k] + w3[k]);
      std::uint8_t* out = out_row + std::size_t(c0) * 3;
      for (int i = 0; i < count; ++i) {
        const std::uint16_t* b = s + std::size_t(i) * 12;
        out[3 * i + 0] = std::uint8_t((b[0] + b[3] + b[6] + b[9]) >> 4);
        out[3 * i + 1] = std::uint8_t((b[1] + b[4] + b[7] + b[10]) >> 4);
        out[3 * i + 2] = std::uint8_t((b[2] + b[5] + b[8] + b[11]) >> 4);
      }
    }
  }
}

#if ZEVO_DOWNSAMPLE_X86

// One target pixel from its block: w points at the block's top-left work byte.
inline void AverageBlock(const std::uint8_t* w, std::ptrdiff_t stride, std::uint8_t* out) {
  for (int c = 0; c < 3; ++c) {
    unsigned sum = 0;
    for (int r = 0; r < 4; ++r) {
      const std::uint8_t* p = w + r * stride + c;
      sum += unsigned(p[0]) + p[3] + p[6] + p[9];
    }
    out[c] = std::uint8_t(sum >> 4);
  }
}

// Eight target pixels a step. Each 128-bit lane holds one block row (12 bytes, read as 16):
// the low lane block i + k, the high lane block i + k + 4. Its bytes are sorted by channel,
// added in pairs into 16 bits and summed over the four rows; two horizontal pair additions
// give each block's three channel sums, which are shifted, packed and put in pixel order.
__attribute__((target("avx2"))) void Avx2Rect(const gfx::Bitmap24& work, gfx::Bitmap24& target,
                                              int left, int top, int right, int bottom,
                                              int band_top) {
  const __m256i by_channel = _mm256_setr_epi8(0, 3, 6, 9, 1, 4, 7, 10, 2, 5, 8, 11, -1, -1, -1, -1,
                                              0, 3, 6, 9, 1, 4, 7, 10, 2, 5, 8, 11, -1, -1, -1, -1);
  const __m256i ones = _mm256_set1_epi8(1);
  const __m256i drop_fourth =
      _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8,
                       9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m256i join_lanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  const std::ptrdiff_t stride = work.Stride();
  // A block row is read as 16 bytes, 4 past its end: the bitmap's last column is left to the
  // plain code, so that those bytes always belong to the same row.
  const int vector_end = right == target.Width() ? right - 1 : right;
  for (int j = top; j < bottom; ++j) {
    const std::uint8_t* w = work.Row(4 * (j - band_top));
    std::uint8_t* out = target.Row(j);
    int i = left;
    for (; i + 8 <= vector_end; i += 8) {
      const std::uint8_t* p = w + std::ptrdiff_t(i) * 12;
      __m256i sums[4];
      for (int k = 0; k < 4; ++k) {
        const std::uint8_t* low = p + 12 * k;
        const std::uint8_t* high = low + 48;
        __m256i acc = _mm256_setzero_si256();
        for (int r = 0; r < 4; ++r) {
          const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + r * stride));
          const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + r * stride));
          const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
          // B0+B1 B2+B3 G0+G1 G2+G3 R0+R1 R2+R3 0 0, in 16 bits.
          acc =
              _mm256_add_epi16(acc, _mm256_maddubs_epi16(_mm256_shuffle_epi8(v, by_channel), ones));
        }
        sums[k] = acc;
      }
      // B G R 0 of blocks k and k + 1 in each lane, at most 16 x 255.
      const __m256i h01 = _mm256_srli_epi16(_mm256_hadd_epi16(sums[0], sums[1]), 4);
      const __m256i h23 = _mm256_srli_epi16(_mm256_hadd_epi16(sums[2], sums[3]), 4);
      // Low lane blocks i..i+3, high lane i+4..i+7, each B G R 0.
      __m256i px = _mm256_packus_epi16(h01, h23);
      px = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(px, drop_fourth), join_lanes);
      std::uint8_t* o = out + std::ptrdiff_t(i) * 3;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(px));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm256_extracti128_si256(px, 1));
    }
    for (; i < right; ++i) AverageBlock(w + std::ptrdiff_t(i) * 12, stride, out + 3 * i);
  }
}

#endif

}  // namespace

bool DownsamplePathRuns(DownsamplePath path) {
  switch (path) {
    case DownsamplePath::kScalar:
      return true;
    case DownsamplePath::kAvx2:
#if ZEVO_DOWNSAMPLE_X86
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

DownsamplePath BestDownsamplePath() {
  static const DownsamplePath best =
      DownsamplePathRuns(DownsamplePath::kAvx2) ? DownsamplePath::kAvx2 : DownsamplePath::kScalar;
  return best;
}

void Downsample4x4(const gfx::Bitmap24& work, gfx::Bitmap24& target, int left, int top, int right,
                   int bottom, DownsamplePath path, int band_top) {
#if ZEVO_DOWNSAMPLE_X86
  if (path == DownsamplePath::kAvx2 && DownsamplePathRuns(path)) {
    Avx2Rect(work, target, left, top, right, bottom, band_top);
    return;
  }
#else
  (void)path;
#endif
  ScalarRect(work, target, left, top, right, bottom, band_top);
}

}  // namespace zevo::ink
