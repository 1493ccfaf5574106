#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "output/sheet_picture.h"
#include "output/vector_sheet.h"
#include "tests/support/png_reader.h"
#include "tools/stktool_render.h"

namespace zevo::output {
namespace {

using gfx::Bitmap24;

ink::Stroke InkOf(std::vector<ink::StrokeSample> samples) {
  ink::Stroke s;
  s.kind = ink::StrokeKind::Ink;
  s.samples = std::move(samples);
  return s;
}

// The distance from (px, py) to the line through a and b.
double LineDistance(double px, double py, double ax, double ay, double bx, double by) {
  return std::fabs((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / std::hypot(bx - ax, by - ay);
}

TEST(VectorStrokeShapes, DiscsAndTheTangentQuadrilateralsJoiningThem) {
  const PictureMapping map(FitSheet(1024, 718, 1024, 718));
  // A growing stroke, a disc swallowed by the next, and the pen-up sample.
  const ink::Stroke e = InkOf({{100, 100, 4}, {130, 110, 9}, {131, 110, 20}, {160, 120, 0}});
  const VectorStroke v = StrokeShapes(e, map, 0x7F102030);
  EXPECT_EQ(v.color, 0x00102030u);
  ASSERT_EQ(v.discs.size(), 3u);  // none for the pen-up sample's radius 0
  EXPECT_FLOAT_EQ(v.discs[1].r, 9);
  // 100,100,4 -> 130,110,9 and 131,110,20 -> 160,120,0 join; 9 lies inside 20 and does not.
  ASSERT_EQ(v.quads.size(), 2u);
  const VectorQuad& q = v.quads[0];
  double area = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    area += double(q.x[i]) * q.y[j] - double(q.x[j]) * q.y[i];
  }
  EXPECT_GT(area, 0);  // clockwise on the page, as the discs' arcs turn
  // Two of its sides lie on the discs' outer common tangents: each at the disc's radius from
  // its centre.
  int tangents = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    const double ax = q.x[i], ay = q.y[i], bx = q.x[j], by = q.y[j];
    tangents += std::fabs(LineDistance(100, 100, ax, ay, bx, by) - 4) < 1e-3 &&
                std::fabs(LineDistance(130, 110, ax, ay, bx, by) - 9) < 1e-3;
  }
  EXPECT_EQ(tangents, 2);
  // The join to the pen-up point ends in that point.
  const VectorQuad& tip = v.quads[1];
  int at_tip = 0;
  for (int i = 0; i < 4; ++i) at_tip += std::hypot(tip.x[i] - 160, tip.y[i] - 120) < 1e-3;
  EXPECT_EQ(at_tip, 2);
}

TEST(VectorStrokeShapes, ScaledWithThePictureAndFarOrBrokenSamplesLeftOut) {
  // A 2048 x 718 picture: the paper is centred, 512 pixels in.
  const PictureMapping map(FitSheet(2048, 718, 1024, 718));
  const VectorStroke v = StrokeShapes(InkOf({{10, 20, 3}, {12, 20, -3}}), map, 0);
  ASSERT_EQ(v.discs.size(), 2u);
  EXPECT_FLOAT_EQ(v.discs[0].x, 522);
  EXPECT_FLOAT_EQ(v.discs[1].r, 3);  // a negative radius covers what its size does

  const float inf = INFINITY, nan = NAN;
  const VectorStroke broken = StrokeShapes(InkOf({{10, 20, 3},
                                                  {nan, 20, 3},
                                                  {1e9f, 20, 3},
                                                  {40, 20, inf},
                                                  {50, 20, 3},
                                                  {60, 20, 3},
                                                  {60, 20, 0}}),
                                           map, 0);
  EXPECT_EQ(broken.discs.size(), 3u);
  EXPECT_EQ(broken.quads.size(), 1u);  // 50 -> 60 only
}

// A sheet of strokes, a seal and what VectorSheet and the picture make of it.
class VectorSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int k = 0; k < 3; ++k) {
      doc_.SetInkColor(gfx::Rgb(std::uint8_t(40 * k), 0, 0));
      doc_.AddSample(100.0f + 250 * k, 200, 6);
      doc_.AddSample(180.0f + 250 * k, 260, 14 - 3 * k);
      doc_.AddSample(260.0f + 250 * k, 240, 4);
      doc_.AddSample(261.0f + 250 * k, 240, 0);
    }
    auto seal = std::make_unique<Bitmap24>(8, 8, gfx::kWhite);
    seal->FillRect({0, 0, 8, 2}, gfx::Rgb(200, 0, 0));
    doc_.AddStampEntry(std::move(seal), 900, 600, 64, 64);
  }
  ink::StrokeDocument doc_{1024, 718};
};

TEST_F(VectorSheetTest, HoldsTheHistoryInOrderOverThePaperWithoutIt) {
  const Bitmap24 paper(2, 2, gfx::Rgb(250, 240, 200));
  SheetInputs in;
  in.background = {&paper, seals::kBackgroundImage, seals::kFitFull};
  in.live = &doc_;
  Result<VectorSheet> sheet = BuildVectorSheet(1024, 718, in);
  ASSERT_TRUE(sheet.Ok()) << sheet.ErrorText();
  EXPECT_FALSE(sheet.Value().whole_raster);
  ASSERT_EQ(sheet.Value().items.size(), 4u);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(std::holds_alternative<VectorStroke>(sheet.Value().items[i]));
  const auto& seal = std::get<VectorImage>(sheet.Value().items[3]);
  EXPECT_FLOAT_EQ(seal.left, 900);
  EXPECT_FLOAT_EQ(seal.bottom, 664);

  SheetInputs without = in;
  without.live = nullptr;
  Result<Bitmap24> paper_only = RenderSheetPicture(1024, 718, without);
  ASSERT_TRUE(paper_only.Ok());
  EXPECT_TRUE(sheet.Value().underlay.SamePixels(paper_only.Value()));

  // A finer paper for print: the underlay at a multiple of the size, the shapes unchanged.
  Result<VectorSheet> fine = BuildVectorSheet(1024, 718, in, 3);
  ASSERT_TRUE(fine.Ok());
  EXPECT_EQ(fine.Value().underlay.Width(), 3072);
  EXPECT_EQ(fine.Value().width, 1024);

  // The shown part of the history only, the position kept.
  doc_.EntryAt(1, true);
  const int position = doc_.Position();
  Result<VectorSheet> two = BuildVectorSheet(1024, 718, in);
  ASSERT_TRUE(two.Ok());
  EXPECT_EQ(two.Value().items.size(), std::size_t(position));
  EXPECT_LT(position, 4);
  EXPECT_EQ(std::get<VectorStroke>(two.Value().items[1]).color, gfx::Rgb(40, 0, 0));
  EXPECT_EQ(doc_.Position(), position);
}

TEST_F(VectorSheetTest, AFloodFillMakesTheWholeSheetOnePicture) {
  doc_.AddFill(gfx::Rgb(0, 0, 255), 50, 50);
  SheetInputs in;
  in.live = &doc_;
  Result<VectorSheet> sheet = BuildVectorSheet(640, 480, in);
  ASSERT_TRUE(sheet.Ok());
  EXPECT_TRUE(sheet.Value().whole_raster);
  EXPECT_TRUE(sheet.Value().items.empty());
  Result<Bitmap24> picture = RenderSheetPicture(640, 480, in);
  ASSERT_TRUE(picture.Ok());
  EXPECT_TRUE(sheet.Value().underlay.SamePixels(picture.Value()));

  EXPECT_FALSE(BuildVectorSheet(0, 480, in).Ok());
}

}  // namespace
}  // namespace zevo::output
