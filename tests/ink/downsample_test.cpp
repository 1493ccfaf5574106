#include "ink/downsample.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace zevo::ink {
namespace {

using gfx::Bitmap24;

// The mean of one block, written out the long way.
gfx::Color BlockMean(const Bitmap24& work, int x, int y) {
  unsigned sum[3] = {0, 0, 0};
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 4; ++u) {
      const gfx::Color c = work.Pixel(4 * x + u, 4 * y + v);
      sum[0] += gfx::RedOf(c);
      sum[1] += gfx::GreenOf(c);
      sum[2] += gfx::BlueOf(c);
    }
  return gfx::Rgb(std::uint8_t(sum[0] >> 4), std::uint8_t(sum[1] >> 4), std::uint8_t(sum[2] >> 4));
}

void FillRandom(Bitmap24& bm, std::mt19937& rng) {
  for (std::size_t k = 0; k < bm.ByteSize(); ++k) bm.Data()[k] = std::uint8_t(rng());
}

// Every path that runs here against the long way, on the rectangle only: pixels outside it keep
// what the target held, row padding included.
void ExpectAllPathsAverage(const Bitmap24& work, const Bitmap24& before, int left, int top,
                           int right, int bottom) {
  for (DownsamplePath path : {DownsamplePath::kScalar, DownsamplePath::kAvx2}) {
    if (!DownsamplePathRuns(path)) continue;
    Bitmap24 target = before;
    Downsample4x4(work, target, left, top, right, bottom, path);
    int wrong = 0;
    for (int y = 0; y < target.Height(); ++y)
      for (int x = 0; x < target.Width(); ++x) {
        const bool inside = x >= left && x < right && y >= top && y < bottom;
        const gfx::Color want = inside ? BlockMean(work, x, y) : before.Pixel(x, y);
        if (target.Pixel(x, y) != want && ++wrong <= 3) {
          ADD_FAILURE() << "path " << int(path) << " size " << target.Width() << "x"
                        << target.Height() << " rect [" << left << "," << right << ")x[" << top
                        << "," << bottom << ") pixel " << x << "," << y;
        }
      }
    for (int y = 0; y < target.Height(); ++y) {
      const std::size_t row = std::size_t(target.Width()) * 3;
      for (std::size_t k = row; k < std::size_t(target.Stride()); ++k) {
        EXPECT_EQ(target.Row(y)[k], before.Row(y)[k]) << "padding of row " << y;
      }
    }
  }
}

TEST(Downsample, ScalarAlwaysRunsAndTheBestPathRuns) {
  EXPECT_TRUE(DownsamplePathRuns(DownsamplePath::kScalar));
  EXPECT_TRUE(DownsamplePathRuns(BestDownsamplePath()));
}

TEST(Downsample, EveryPathAveragesWholeBitmapsOfManyWidths) {
  std::mt19937 rng(7);
  // Widths around the eight-pixel steps of the vector path, and a few wide ones.
  std::vector<int> widths;
  for (int w = 1; w <= 40; ++w) widths.push_back(w);
  for (int w : {63, 64, 65, 127, 128, 129, 257, 1024}) widths.push_back(w);
  for (int w : widths) {
    const int h = 1 + int(rng() % 4);
    Bitmap24 work(4 * w, 4 * h);
    FillRandom(work, rng);
    Bitmap24 before(w, h);
    FillRandom(before, rng);
    ExpectAllPathsAverage(work, before, 0, 0, w, h);
  }
}

TEST(Downsample, EveryPathAveragesRectanglesAndLeavesTheRestAlone) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    const int w = 1 + int(rng() % 70);
    const int h = 1 + int(rng() % 6);
    Bitmap24 work(4 * w, 4 * h);
    FillRandom(work, rng);
    Bitmap24 before(w, h);
    FillRandom(before, rng);
    const int left = int(rng() % unsigned(w));
    const int right = left + 1 + int(rng() % unsigned(w - left));
    const int top = int(rng() % unsigned(h));
    const int bottom = top + 1 + int(rng() % unsigned(h - top));
    ExpectAllPathsAverage(work, before, left, top, right, bottom);
  }
}

TEST(Downsample, EveryPathKeepsFullAndEmptyBlocksExact) {
  // Sixteen 255s must not saturate anywhere on the way; a lone bright byte rounds down to 0.
  for (gfx::Color fill : {gfx::kWhite, gfx::kBlack, gfx::Rgb(255, 0, 255), gfx::Rgb(1, 15, 17)}) {
    Bitmap24 work(4 * 21, 8, fill);
    work.SetPixel(4 * 20 + 3, 7, gfx::Rgb(255, 255, 255));
    ExpectAllPathsAverage(work, Bitmap24(21, 2), 0, 0, 21, 2);
    ExpectAllPathsAverage(work, Bitmap24(21, 2), 3, 1, 20, 2);
  }
}

}  // namespace
}  // namespace zevo::ink
