#include "output/print_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zevo::output {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroWithAWideProduct) {
  EXPECT_EQ(MulDiv(724, 7016, 1024), 4961);  // 4960.5
  EXPECT_EQ(MulDiv(4961, 1024, 7016), 724);
  EXPECT_EQ(MulDiv(5, 3, 2), 8);
  EXPECT_EQ(MulDiv(-5, 3, 2), -8);
  EXPECT_EQ(MulDiv(5, -3, -2), 8);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);  // product beyond 32 bits
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 1), -1);
}

TEST(PrintLayout, LandscapeA4) {
  Result<PrintLayout> r = ComputePrintLayout(7016, 4961, 100);
  ASSERT_TRUE(r.Ok()) << r.ErrorText();
  const PrintLayout& l = r.Value();
  EXPECT_FALSE(l.turned);
  EXPECT_EQ(l.other_side, 724);
  EXPECT_EQ(l.k, 1.0);
  EXPECT_EQ(l.bitmap_width, 1024);
  EXPECT_EQ(l.bitmap_height, 724);
  EXPECT_EQ(l.g, 4);
  EXPECT_EQ(l.page, (gfx::Rect{0, 0, 7016, 4961}));
}

TEST(PrintLayout, PortraitA4IsTurned) {
  Result<PrintLayout> r = ComputePrintLayout(4961, 7016, 100);
  ASSERT_TRUE(r.Ok());
  const PrintLayout& l = r.Value();
  EXPECT_TRUE(l.turned);
  EXPECT_EQ(l.other_side, 724);
  EXPECT_EQ(l.bitmap_width, 724);
  EXPECT_EQ(l.bitmap_height, 1024);
  EXPECT_EQ(l.page, (gfx::Rect{0, 0, 4961, 7016}));
  // A square page is turned too.
  EXPECT_TRUE(ComputePrintLayout(3000, 3000, 100).Value().turned);
}

TEST(PrintLayout, TwoToOnePageIsEnlarged) {
  Result<PrintLayout> r = ComputePrintLayout(2000, 1000, 100);
  ASSERT_TRUE(r.Ok());
  const PrintLayout& l = r.Value();
  EXPECT_NEAR(l.k, std::sqrt(718.0 / 512.0), 1e-9);
  EXPECT_NEAR(l.k, 1.1842, 1e-4);
  EXPECT_EQ(l.sheet_width, 1212);
  EXPECT_EQ(l.sheet_height, 850);
  EXPECT_EQ(l.other_side, 606);
  EXPECT_EQ(l.g, 4);
  EXPECT_NEAR(l.ps, 1.1842f, 1e-4f);
  EXPECT_EQ(l.bitmap_width, 1212);
  EXPECT_EQ(l.bitmap_height, 606);
  EXPECT_EQ(l.page, (gfx::Rect{0, 0, 2000, 1000}));
  // Rows of the sheet below about paper y 512 are off the bitmap.
  EXPECT_NEAR(l.other_side / l.ps, 512.0, 1.0);
}

TEST(PrintLayout, ScaleHundredFiftyAndTwoHundred) {
  Result<PrintLayout> r = ComputePrintLayout(7016, 4961, 150);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value().sheet_width, 1536);
  EXPECT_EQ(r.Value().other_side, 1086);
  EXPECT_EQ(r.Value().g, 6);
  EXPECT_EQ(int(r.Value().ps4), 6);  // the grid pen width in work pixels
  r = ComputePrintLayout(7016, 4961, 200);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Value().bitmap_width * 4, 8192);
  EXPECT_EQ(r.Value().bitmap_height * 4, 5792);
}

TEST(PrintLayout, ValuesThatCannotWorkAreRefused) {
  for (int scale : {0, 24, 401, -100, 100000}) {
    Result<PrintLayout> r = ComputePrintLayout(7016, 4961, scale);
    EXPECT_FALSE(r.Ok()) << scale;
    EXPECT_NE(r.ErrorText().find("scale"), std::string::npos);
  }
  EXPECT_TRUE(ComputePrintLayout(7016, 4961, 25).Ok());
  EXPECT_TRUE(ComputePrintLayout(7016, 4961, 400).Ok());
  EXPECT_FALSE(ComputePrintLayout(0, 4961, 100).Ok());
  EXPECT_FALSE(ComputePrintLayout(7016, -1, 100).Ok());
  // So narrow that the bitmap's other side rounds to nothing, and so narrow that the
  // enlargement would ask for a giant bitmap.
  EXPECT_FALSE(ComputePrintLayout(100000, 1, 100).Ok());
  EXPECT_FALSE(ComputePrintLayout(100000, 50, 100).Ok());
  EXPECT_FALSE(ComputePrintLayout(1, 100000, 100).Ok());
}

}  // namespace
}  // namespace zevo::output
