// The sheet picture drawn in bands is the picture drawn at once, pixel for pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "output/sheet_picture.h"
#include "seals/background.h"
#include "tests/support/hostile_documents.h"

namespace zevo::output {
namespace {

using gfx::Bitmap24;

// A small deterministic generator, so that every run draws the same sheet.
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : s_(seed) {}
  std::uint32_t Next() {
    s_ = s_ * 1664525u + 1013904223u;
    return s_ >> 8;
  }
  float Uniform(float lo, float hi) { return lo + (hi - lo) * float(Next() % 65536) / 65535.0f; }

 private:
  std::uint32_t s_;
};

// A bitmap of stripes and squares with white parts (transparent in pictures and stamps).
std::unique_ptr<Bitmap24> Pattern(int w, int h, std::uint32_t seed) {
  auto b = std::make_unique<Bitmap24>(w, h, gfx::kWhite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (((x / 3 + y / 2 + int(seed)) % 4) != 0)
        b->SetPixel(x, y,
                    gfx::Rgb(std::uint8_t(x * 7 + seed), std::uint8_t(y * 5),
                             std::uint8_t((x ^ y) + seed)));
  return b;
}

// Strokes of several colours and sizes all over the paper and past its edges, long ones that
// cross many bands, dots, a pen-up of zero radius in the middle, and pictures and stamps.
void AddSheet(ink::StrokeDocument& doc, std::uint32_t seed, int strokes) {
  Lcg g(seed);
  for (int k = 0; k < strokes; ++k) {
    doc.SetInkColor(gfx::Rgb(std::uint8_t(g.Next()), std::uint8_t(g.Next()), 0));
    float x = g.Uniform(-40, 1060), y = g.Uniform(-40, 760);
    const int n = 1 + int(g.Next() % 70);
    const float step = k % 5 == 0 ? 40.0f : 6.0f;
    for (int i = 0; i < n; ++i) {
      doc.AddSample(x, y, g.Uniform(0.2f, k % 7 == 0 ? 30.0f : 9.0f));
      x += g.Uniform(-step, step);
      y += g.Uniform(-step, step);
    }
    doc.AddSample(x, y, 0);
    if (k % 9 == 4)
      doc.AddPicture(int(g.Uniform(-50, 1000)), int(g.Uniform(-50, 700)),
                     Pattern(20 + int(g.Next() % 120), 15 + int(g.Next() % 90), g.Next()));
    if (k % 11 == 6) {
      // Negative sizes are drawn mirrored.
      const float w = g.Uniform(-120, 160), h = g.Uniform(-90, 150);
      doc.AddStampEntry(Pattern(31, 23, g.Next()), g.Uniform(-30, 1000), g.Uniform(-30, 700), w, h);
    }
  }
}

void ExpectBandsSame(int width, int height, const SheetInputs& in, const std::vector<int>& bands) {
  const Result<Bitmap24> whole = RenderSheetPictureInBands(width, height, in, height);
  ASSERT_TRUE(whole) << whole.ErrorText();
  for (const int band : bands) {
    SCOPED_TRACE("band of " + std::to_string(band) + " rows at " + std::to_string(width) + " x " +
                 std::to_string(height));
    const Result<Bitmap24> banded = RenderSheetPictureInBands(width, height, in, band);
    ASSERT_TRUE(banded) << banded.ErrorText();
    EXPECT_TRUE(banded.Value().SamePixels(whole.Value()));
  }
}

TEST(SheetBands, StrokesPicturesAndStampsAcrossBandEdges) {
  ink::StrokeDocument doc(1024, 718);
  AddSheet(doc, 1, 160);
  SheetInputs in;
  in.live = &doc;
  ExpectBandsSame(1024, 718, in, {1, 3, 16, 37, 64, 717});
  // Paper centred across and down, and a height no band divides.
  ExpectBandsSame(1500, 601, in, {16, 50});
  ExpectBandsSame(700, 1201, in, {16, 64});
  // The band the export takes.
  const Result<Bitmap24> exported = RenderSheetPicture(1024, 718, in);
  const Result<Bitmap24> whole = RenderSheetPictureInBands(1024, 718, in, 718);
  ASSERT_TRUE(exported && whole);
  EXPECT_LT(SheetBandRows(1024), 718);
  EXPECT_TRUE(exported.Value().SamePixels(whole.Value()));
}

TEST(SheetBands, TraceModelAndGridUnderTheHistory) {
  ink::StrokeDocument doc(1024, 718), model(1024, 718);
  AddSheet(doc, 2, 60);
  AddSheet(model, 3, 60);
  SheetInputs in;
  in.live = &doc;
  in.trace_model = &model;
  in.trace_shown = true;
  in.grid_shown = true;
  in.grid = {57, 43, 30, 20, 16, 15};
  ExpectBandsSame(1024, 718, in, {16, 29});
  ExpectBandsSame(777, 1000, in, {13});
  // Thin grid lines land exactly on band edges at 4x.
  in.grid = {16, 16, 0, 0, 64, 44};
  ExpectBandsSame(1024, 718, in, {4, 16});
}

TEST(SheetBands, BackgroundImagesAtEveryFitAndTextures) {
  ink::StrokeDocument doc(1024, 718);
  AddSheet(doc, 4, 30);
  const std::unique_ptr<Bitmap24> image = Pattern(333, 217, 9);
  const std::unique_ptr<Bitmap24> tall = Pattern(90, 500, 5);
  SheetInputs in;
  in.live = &doc;
  for (const Bitmap24* b : {image.get(), tall.get()}) {
    for (int fit : {seals::kFitPaper, seals::kFitFull, seals::kFitCentre, seals::kFitLeftTop}) {
      SCOPED_TRACE("fit " + std::to_string(fit));
      in.background = {b, seals::kBackgroundImage, fit};
      ExpectBandsSame(1024, 718, in, {16, 45});
      ExpectBandsSame(1300, 500, in, {7});
    }
  }
  // Small tiles, a tile made once; a texture as large as the paper at 4096 x 2872 is over 8 MB
  // a tile and is made band by band; one that scales below a pixel.
  const std::unique_ptr<Bitmap24> small = Pattern(37, 29, 3);
  const std::unique_ptr<Bitmap24> large = Pattern(1024, 718, 4);
  const std::unique_ptr<Bitmap24> huge = Pattern(5000, 3, 6);
  in.background = {small.get(), seals::kBackgroundTexture, 0};
  ExpectBandsSame(1024, 718, in, {16, 33});
  ExpectBandsSame(900, 1100, in, {16});
  in.background = {huge.get(), seals::kBackgroundTexture, 0};
  ExpectBandsSame(1024, 718, in, {16});
  ExpectBandsSame(100, 70, in, {3});
  in.background = {large.get(), seals::kBackgroundTexture, 0};
  ExpectBandsSame(1024, 718, in, {16, 100});
  ExpectBandsSame(2048, 2000, in, {16, 31});
}

TEST(SheetBands, TinyAndNarrowPictures) {
  ink::StrokeDocument doc(1024, 718);
  AddSheet(doc, 5, 40);
  SheetInputs in;
  in.live = &doc;
  in.grid_shown = true;
  in.grid = {100, 100, 12, 9, 9, 6};
  ExpectBandsSame(1, 1, in, {1});
  ExpectBandsSame(1, 2, in, {1});
  ExpectBandsSame(3, 2000, in, {1, 7, 64, 1999});
  ExpectBandsSame(2000, 3, in, {1, 2});
  ExpectBandsSame(61, 43, in, {1, 4, 42});
}

// Values no writer makes are drawn wherever they land, in every band alike.
TEST(SheetBands, WildSamples) {
  ink::StrokeDocument doc(1024, 718);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float points[][3] = {{500, 300, 10},  {nan, 300, 10},   {520, 310, 12}, {530, nan, 5},
                             {540, 320, nan}, {600, 330, -9},   {2e7f, 5, 3},   {100, 3e9f, 4},
                             {-inf, 50, 3},   {200, 200, 1e6f}, {210, 640, 2},  {215, 650, 0}};
  for (int i = 0; i < 3; ++i)
    for (const auto& p : points) doc.AddSample(p[0] + float(i), p[1], p[2]);
  doc.AddSample(300, 300, -20);
  doc.AddSample(340, 500, -25);
  doc.AddSample(340, 500, 0);
  SheetInputs in;
  in.live = &doc;
  ExpectBandsSame(1024, 718, in, {1, 16, 64});
  ExpectBandsSame(257, 180, in, {5});
}

// A fill spreads over what the whole picture holds: such a sheet is drawn at once, the same.
TEST(SheetBands, SheetsWithFillsAreDrawnAtOnce) {
  ink::StrokeDocument doc(1024, 718), model(1024, 718);
  AddSheet(doc, 6, 20);
  doc.AddSample(100, 100, 20);
  doc.AddSample(900, 600, 20);
  doc.AddSample(900, 600, 0);
  doc.AddFill(gfx::Rgb(200, 10, 10), 10, 700);
  SheetInputs in;
  in.live = &doc;
  ExpectBandsSame(1024, 718, in, {16});
  AddSheet(model, 7, 10);
  model.AddFill(gfx::Rgb(10, 200, 10), 500, 5);
  ink::StrokeDocument plain(1024, 718);
  AddSheet(plain, 8, 20);
  in.live = &plain;
  in.trace_model = &model;
  in.trace_shown = true;
  ExpectBandsSame(1024, 718, in, {16});
  const Result<Bitmap24> p = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(p);
  EXPECT_NE(p.Value().Pixel(1000, 700), gfx::kWhite);  // the green flood
}

// What a damaged file may hold (huge, negative and infinite values, segments and pictures far
// off) comes out in bands as it does at once, over a grid, as the live history and the model.
TEST(SheetBands, HostileHistories) {
  for (auto& [name, doc] : test::HostileDocuments()) {
    SCOPED_TRACE(name);
    SheetInputs in;
    in.live = doc.get();
    in.grid_shown = true;
    const Result<Bitmap24> whole = RenderSheetPictureInBands(256, 180, in, 180);
    for (const int band : {1, 16}) {
      const Result<Bitmap24> banded = RenderSheetPictureInBands(256, 180, in, band);
      ASSERT_EQ(bool(banded), bool(whole)) << banded.ErrorText() << whole.ErrorText();
      if (whole) {
        EXPECT_TRUE(banded.Value().SamePixels(whole.Value()));
      }
    }
    ink::StrokeDocument plain(1024, 718);
    in.live = &plain;
    in.trace_model = doc.get();
    in.trace_shown = true;
    const Result<Bitmap24> model_whole = RenderSheetPictureInBands(256, 180, in, 180);
    const Result<Bitmap24> model_banded = RenderSheetPictureInBands(256, 180, in, 7);
    ASSERT_EQ(bool(model_banded), bool(model_whole));
    if (model_whole) {
      EXPECT_TRUE(model_banded.Value().SamePixels(model_whole.Value()));
    }
  }
}

// A history that asks for too much drawing is refused in bands as at once, and the position
// of the live document is kept.
TEST(SheetBands, TooMuchDrawingIsRefusedInBands) {
  ink::StrokeDocument doc(1024, 718);
  for (int i = 0; i < 4000; ++i) doc.AddSample(float(i % 1000), 300, 3e5f);
  doc.AddSample(0, 0, 0);
  const int position = doc.Position();
  SheetInputs in;
  in.live = &doc;
  for (int band : {45, 4, 1}) {
    const Result<Bitmap24> p = RenderSheetPictureInBands(64, 45, in, band);
    ASSERT_FALSE(p);
    EXPECT_NE(p.ErrorText().find("more drawing"), std::string::npos);
    EXPECT_EQ(doc.Position(), position);
  }
}

}  // namespace
}  // namespace zevo::output
