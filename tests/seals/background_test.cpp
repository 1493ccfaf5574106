#include "seals/background.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::seals {
namespace {

using gfx::Bitmap24;
using gfx::Rgb;

TEST(Lightening, FiftyAndSeventyFivePercent) {
  Bitmap24 image(3, 1);
  image.SetPixel(0, 0, gfx::kWhite);
  image.SetPixel(1, 0, gfx::kBlack);
  image.SetPixel(2, 0, Rgb(200, 100, 3));
  Bitmap24 half = image, quarter = image, none = image, other = image;
  LightenBackground(half, kLighten50);
  EXPECT_EQ(half.Pixel(0, 0), Rgb(254, 254, 254));
  EXPECT_EQ(half.Pixel(1, 0), Rgb(127, 127, 127));
  EXPECT_EQ(half.Pixel(2, 0), Rgb(227, 177, 128));
  LightenBackground(quarter, kLighten75);
  EXPECT_EQ(quarter.Pixel(0, 0), Rgb(254, 254, 254));
  EXPECT_EQ(quarter.Pixel(1, 0), Rgb(191, 191, 191));
  EXPECT_EQ(quarter.Pixel(2, 0), Rgb(241, 216, 191));
  LightenBackground(none, kLightenNone);
  EXPECT_TRUE(none.SamePixels(image));
  LightenBackground(other, 7);
  EXPECT_TRUE(other.SamePixels(image));
}

class BackgroundFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zevo_bg_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(BackgroundFiles, ExtensionChoosesTheReader) {
  const Bitmap24 picture = gfx::testing::AsymmetricPicture(7, 5);
  ASSERT_TRUE(gfx::SaveBmpFile(picture, Path("a.bmp"), nullptr));
  ASSERT_TRUE(gfx::SaveBmpFile(picture, Path("b.BMP"), nullptr));
  ASSERT_TRUE(gfx::SaveJpegFile(picture, Path("c.jpg"), 90, nullptr));
  ASSERT_TRUE(gfx::SaveJpegFile(picture, Path("d.tex"), 90, nullptr));
  for (const char* name : {"a.bmp", "b.BMP"}) {
    Result<Bitmap24> r = LoadBackgroundFile(Path(name));
    ASSERT_TRUE(r.Ok()) << name << ": " << r.ErrorText();
    EXPECT_TRUE(r.Value().SamePixels(picture)) << name;
  }
  for (const char* name : {"c.jpg", "d.tex"}) {
    Result<Bitmap24> r = LoadBackgroundFile(Path(name));
    ASSERT_TRUE(r.Ok()) << name << ": " << r.ErrorText();
    EXPECT_EQ(r.Value().Width(), 7);
    EXPECT_EQ(r.Value().Height(), 5);
  }
  // A bitmap under a JPEG name is decoded as JPEG and refused, as is a missing file.
  ASSERT_TRUE(gfx::SaveBmpFile(picture, Path("e.jpg"), nullptr));
  EXPECT_FALSE(LoadBackgroundFile(Path("e.jpg")).Ok());
  EXPECT_FALSE(LoadBackgroundFile(Path("missing.bmp")).Ok());
}

TEST(BackgroundState, ViewAndRelease) {
  BackgroundState state;
  EXPECT_FALSE(state.View().Present());
  state.bitmap = std::make_unique<Bitmap24>(4, 4);
  state.mode = kBackgroundImage;
  state.fit = kFitCentre;
  EXPECT_TRUE(state.View().IsImage());
  EXPECT_FALSE(state.View().IsTexture());
  state.mode = 9;  // not a mode: white paper
  EXPECT_FALSE(state.View().Present());
  state.mode = kBackgroundTexture;
  EXPECT_TRUE(state.View().IsTexture());
  state.Release();
  EXPECT_FALSE(state.View().Present());
  EXPECT_EQ(state.mode, kBackgroundNone);
}

}  // namespace
}  // namespace zevo::seals
