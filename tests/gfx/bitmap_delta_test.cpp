#include <gtest/gtest.h>

#include <random>

#include "gfx/bitmap_delta.h"

namespace zevo::gfx {
namespace {

// A reference of noise (a photograph as paper), and over it rows of ink runs, single odd
// pixels, runs that equal the reference and runs of its colour, ending at every offset.
Bitmap24 Reference(int w, int h, std::mt19937& rng) {
  Bitmap24 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng() & 0x00FFFFFF);
  return b;
}

Bitmap24 Inked(const Bitmap24& ref, std::mt19937& rng) {
  Bitmap24 b = ref;
  for (int y = 0; y < b.Height(); ++y) {
    int x = int(rng() % 5);
    while (x < b.Width()) {
      // Short runs, and some long enough for the 32- and 64-byte steps of the comparisons.
      const int n = 1 + int(rng() % (rng() % 4 == 0 ? 90 : 19));
      const Color c = rng() % 3 == 0 ? (rng() & 0x00FFFFFF) : 0x00202020;
      for (int k = 0; k < n && x + k < b.Width(); ++k)
        b.SetPixel(x + k, y, rng() % 7 == 0 ? (rng() & 0x00FFFFFF) : c);
      x += n + int(rng() % (rng() % 4 == 0 ? 100 : 23));
    }
  }
  return b;
}

TEST(BitmapDelta, GivesBackExactlyTheBitmapItWasMadeFrom) {
  std::mt19937 rng(11);
  for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {7, 5}, {8, 2}, {9, 4}, {33, 17}, {130, 9}}) {
    const Bitmap24 ref = Reference(w, h, rng);
    for (int round = 0; round < 4; ++round) {
      const Bitmap24 b = round == 0   ? ref
                         : round == 1 ? Bitmap24(w, h, 0x00202020)
                                      : Inked(ref, rng);
      const auto d = BitmapDelta::Make(b, ref);
      ASSERT_TRUE(d);
      Bitmap24 out(w, h, 0x00FF00FF);
      ASSERT_TRUE(d->Apply(ref, out));
      EXPECT_TRUE(out.SamePixels(b)) << w << " x " << h << " round " << round;
    }
  }
}

// Large enough to be told in two halves at once, with an odd number of rows.
TEST(BitmapDelta, ALargeBitmapGivesBackTheSame) {
  std::mt19937 rng(3);
  const Bitmap24 ref = Reference(1031, 1021, rng);
  const Bitmap24 b = Inked(ref, rng);
  const auto d = BitmapDelta::Make(b, ref);
  ASSERT_TRUE(d);
  Bitmap24 out(1031, 1021, 0x00FF00FF);
  ASSERT_TRUE(d->Apply(ref, out));
  EXPECT_TRUE(out.SamePixels(b));
}

// Parts of the rows told apart (on different threads) and appended in order give the delta of
// the whole; a part alone, or parts out of order, are refused.
TEST(BitmapDelta, PartsOfTheRowsAppendedGiveTheWhole) {
  std::mt19937 rng(9);
  const Bitmap24 ref = Reference(37, 23, rng);
  const Bitmap24 b = Inked(ref, rng);
  for (const int cut : {0, 1, 11, 22, 23}) {
    auto upper = BitmapDelta::MakeRows(b, ref, 0, cut);
    auto lower = BitmapDelta::MakeRows(b, ref, cut, 23);
    ASSERT_TRUE(upper && lower);
    EXPECT_EQ(upper->Whole(), cut == 23);
    Bitmap24 out(37, 23, 0x00FF00FF);
    if (cut < 23) {
      EXPECT_FALSE(upper->Apply(ref, out));
    }
    EXPECT_FALSE(lower->Append(*upper)) << cut;
    ASSERT_TRUE(upper->Append(*lower));
    EXPECT_TRUE(upper->Whole());
    ASSERT_TRUE(upper->Apply(ref, out));
    EXPECT_TRUE(out.SamePixels(b)) << "cut " << cut;
  }
  auto a = BitmapDelta::MakeRows(b, ref, 0, 10);
  auto gap = BitmapDelta::MakeRows(b, ref, 11, 23);
  ASSERT_TRUE(a && gap);
  EXPECT_FALSE(a->Append(*gap));
}

TEST(BitmapDelta, InkOnABlankPageKeepsInASmallPartOfItsSize) {
  const Bitmap24 blank(1024, 718, kWhite);
  Bitmap24 page = blank;
  for (int y = 100; y < 600; y += 3) page.FillRect({200 + y % 50, y, 700, y + 2}, 0x00202020);
  const auto d = BitmapDelta::Make(page, blank);
  ASSERT_TRUE(d);
  EXPECT_LT(d->Bytes(), page.ByteSize() / 50);
  Bitmap24 out(1024, 718);
  ASSERT_TRUE(d->Apply(blank, out));
  EXPECT_TRUE(out.SamePixels(page));
}

// A work bitmap loaded from its page: told against the page widened, with no copy of its own.
TEST(BitmapDelta, AScaledReferenceStandsForThePageWidened) {
  std::mt19937 rng(5);
  for (const auto& [w, h] : {std::pair{1, 1}, {3, 2}, {17, 5}, {40, 3}, {9, 7}}) {
    Bitmap24 small = Reference(w, h, rng);
    if (h == 7) {
      // Plain paper, rows of one colour: white, white, grey, a noisy one, then grey, white.
      const Color plain[7] = {kWhite, kWhite, 0x00808080, 0, 0x00808080, kWhite, kWhite};
      for (int y = 0; y < h; ++y)
        if (y != 3) small.FillRect({0, y, w, y + 1}, plain[y]);
    }
    Bitmap24 wide(4 * w, 4 * h);
    for (int y = 0; y < 4 * h; ++y)
      for (int x = 0; x < 4 * w; ++x) wide.SetPixel(x, y, small.Pixel(x / 4, y / 4));
    const DeltaReference scaled = DeltaReference::Scaled(small, 4);
    EXPECT_EQ(scaled.Width(), 4 * w);
    EXPECT_EQ(scaled.Height(), 4 * h);
    for (int round = 0; round < 3; ++round) {
      const Bitmap24 b = round == 0 ? wide : Inked(wide, rng);
      const auto d = BitmapDelta::Make(b, DeltaReference::Scaled(small, 4));
      ASSERT_TRUE(d);
      Bitmap24 out(4 * w, 4 * h, 0x00FF00FF);
      ASSERT_TRUE(d->Apply(DeltaReference::Scaled(small, 4), out));
      EXPECT_TRUE(out.SamePixels(b)) << w << " x " << h << " round " << round;
      // The same delta told against the full bitmap gives the same.
      Bitmap24 out2(4 * w, 4 * h, 0x00FF00FF);
      ASSERT_TRUE(d->Apply(wide, out2));
      EXPECT_TRUE(out2.SamePixels(b));
    }
    // A delta of the page widened keeps in a few words a row.
    const auto same = BitmapDelta::Make(wide, DeltaReference::Scaled(small, 4));
    ASSERT_TRUE(same);
    EXPECT_LE(same->Bytes(), std::size_t(4 * h) * 4);
  }
}

TEST(BitmapDelta, OtherSizesAreRefused) {
  const Bitmap24 a(10, 10, kWhite), b(10, 11, kWhite);
  EXPECT_FALSE(BitmapDelta::Make(a, b));
  const auto d = BitmapDelta::Make(a, a);
  ASSERT_TRUE(d);
  Bitmap24 out(10, 11, kBlack);
  EXPECT_FALSE(d->Apply(a, out));
  EXPECT_FALSE(d->Apply(b, out));
  EXPECT_EQ(out.Pixel(0, 0), kBlack);
}

}  // namespace
}  // namespace zevo::gfx
