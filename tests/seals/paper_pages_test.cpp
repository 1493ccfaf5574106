#include "seals/paper_pages.h"

#include <gtest/gtest.h>

#include "tests/gfx/sample_pictures.h"

namespace zevo::seals {
namespace {

using gfx::Bitmap24;
using gfx::Rect;

TEST(BackgroundPlacement, FitRectanglesAtHundredPercent) {
  // A wide image fits the paper's width from the top-left corner.
  BackgroundImagePlacement p = PlaceBackgroundImage(kFitPaper, 2048, 718, {});
  EXPECT_EQ(p.page, (Rect{0, 0, 1024, 359}));
  EXPECT_EQ(p.overview, (Rect{0, 0, 256, 89}));
  // A tall one fits the height.
  p = PlaceBackgroundImage(kFitPaper, 359, 1436, {});
  EXPECT_EQ(p.page, (Rect{0, 0, 179, 718}));
  p = PlaceBackgroundImage(kFitFull, 30, 40, {});
  EXPECT_EQ(p.page, (Rect{0, 0, 1024, 718}));
  EXPECT_EQ(p.overview, (Rect{0, 0, 256, 179}));
  p = PlaceBackgroundImage(kFitCentre, 400, 300, {});
  EXPECT_EQ(p.page, (Rect{312, 209, 712, 509}));
  EXPECT_EQ(p.overview, (Rect{78, 52, 178, 127}));
  // Larger than the page: negative corner, cut on all sides (arithmetic shifts).
  p = PlaceBackgroundImage(kFitCentre, 1101, 801, {});
  EXPECT_EQ(p.page, (Rect{-39, -42, 1062, 759}));
  EXPECT_EQ(p.overview, (Rect{-10, -11, 265, 189}));
  for (int fit : {kFitLeftTop, 17}) {
    p = PlaceBackgroundImage(fit, 401, 302, {});
    EXPECT_EQ(p.page, (Rect{0, 0, 401, 302}));
    EXPECT_EQ(p.overview, (Rect{0, 0, 100, 75}));
  }
}

TEST(BackgroundPlacement, FitRectanglesZoomed) {
  const PageView v{2.0f, 100.0f, 40.0f};
  // L = trunc(-z * ox) = -200, T = trunc(-oy * z) = -80.
  EXPECT_EQ(PlaceBackgroundImage(kFitPaper, 2048, 718, v).page, (Rect{-200, -80, 1848, 638}));
  EXPECT_EQ(PlaceBackgroundImage(kFitFull, 5, 5, v).page, (Rect{-200, -80, 1848, 1356}));
  // Centre: L = trunc(z * (312 - 100)) = 424, T = trunc((209 - 40) * z) = 338.
  EXPECT_EQ(PlaceBackgroundImage(kFitCentre, 400, 300, v).page, (Rect{424, 338, 1224, 938}));
  EXPECT_EQ(PlaceBackgroundImage(kFitLeftTop, 400, 300, v).page, (Rect{-200, -80, 600, 520}));
  // The overview never zooms.
  EXPECT_EQ(PlaceBackgroundImage(kFitCentre, 400, 300, v).overview, (Rect{78, 52, 178, 127}));
}

TEST(PaperPages, WhiteWithoutBackground) {
  Bitmap24 page(1024, 718, 0x00123456), overview(256, 180, 0x00123456);
  BuildPaperPages({}, {}, page, overview);
  EXPECT_TRUE(page.SamePixels(Bitmap24(1024, 718, gfx::kWhite)));
  EXPECT_TRUE(overview.SamePixels(Bitmap24(256, 180, gfx::kWhite)));
}

TEST(PaperPages, TextureTilesAtNaturalSizeWhateverTheZoom) {
  const Bitmap24 tile = gfx::testing::AsymmetricPicture(64, 64);
  Bitmap24 page(1024, 718), overview(256, 180);
  BuildPaperPages({&tile, kBackgroundTexture, kFitPaper}, {4.0f, 400.0f, 300.0f}, page, overview);
  // 16 x 12 tiles on the page, the last row cut at 718; 4 x 3 on the overview.
  for (int y : {0, 63, 64, 300, 700, 717})
    for (int x : {0, 1, 63, 64, 555, 1023})
      ASSERT_EQ(page.Pixel(x, y), tile.Pixel(x % 64, y % 64)) << x << "," << y;
  for (int y : {0, 64, 179})
    for (int x : {0, 100, 255}) ASSERT_EQ(overview.Pixel(x, y), tile.Pixel(x % 64, y % 64));
}

TEST(PaperPages, ImagePlacedByItsFit) {
  const Bitmap24 image = gfx::testing::AsymmetricPicture(7, 5);
  Bitmap24 page(1024, 718), overview(256, 180);
  BuildPaperPages({&image, kBackgroundImage, kFitCentre}, {}, page, overview);
  // Natural size at ((1024 - 7) >> 1, (718 - 5) >> 1) = (508, 356).
  EXPECT_EQ(page.Pixel(508, 356), image.Pixel(0, 0));
  EXPECT_EQ(page.Pixel(514, 360), image.Pixel(6, 4));
  EXPECT_EQ(page.Pixel(507, 356), gfx::kWhite);
  EXPECT_EQ(page.Pixel(515, 360), gfx::kWhite);
  // Overview (127, 89) - (128, 90): one pixel.
  EXPECT_NE(overview.Pixel(127, 89), gfx::kWhite);
  EXPECT_EQ(overview.Pixel(128, 89), gfx::kWhite);

  BuildPaperPages({&image, kBackgroundImage, kFitFull}, {}, page, overview);
  EXPECT_EQ(page.Pixel(0, 0), image.Pixel(0, 0));
  EXPECT_EQ(page.Pixel(1023, 717), image.Pixel(6, 4));
  EXPECT_EQ(overview.Pixel(255, 178), image.Pixel(6, 4));
  EXPECT_EQ(overview.Pixel(255, 179), gfx::kWhite);  // the overview's last row stays white
}

}  // namespace
}  // namespace zevo::seals
