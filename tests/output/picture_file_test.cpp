#include "output/picture_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/gfx/sample_pictures.h"

namespace zevo::output {
namespace {

TEST(PictureNames, CloseTimeFormatUsesTheNameAsItIs) {
  EXPECT_EQ(CloseTimePictureFormat("out.JPG"), PictureFormat::Jpeg);
  EXPECT_EQ(CloseTimePictureFormat("out.jpg"), PictureFormat::Jpeg);
  EXPECT_EQ(CloseTimePictureFormat("out.jpeg"), PictureFormat::Bmp);
  EXPECT_EQ(CloseTimePictureFormat("out"), PictureFormat::Bmp);
  EXPECT_EQ(CloseTimePictureFormat("my.jpg/out"), PictureFormat::Bmp);
  EXPECT_EQ(UpperExtension("a/b.c/name.tar.Jpg"), ".JPG");
  EXPECT_EQ(UpperExtension("a.b/name"), "");
}

TEST(PictureNames, SavePicAppendsBmpToOtherNames) {
  for (const char* name : {"photo.jpg", "PHOTO.JPG", "dir/Photo.Jpg"}) {
    const PictureTarget t = SavePicTarget(name);
    EXPECT_EQ(t.path, name);
    EXPECT_EQ(t.format, PictureFormat::Jpeg);
  }
  EXPECT_EQ(SavePicTarget("photo.bmp").path, "photo.bmp");
  EXPECT_EQ(SavePicTarget("photo.bmp").format, PictureFormat::Bmp);
  EXPECT_EQ(SavePicTarget("photo.jpeg").path, "photo.jpeg.BMP");
  EXPECT_EQ(SavePicTarget("photo.jpeg").format, PictureFormat::Bmp);
  EXPECT_EQ(SavePicTarget("photo").path, "photo.BMP");
  for (const char* name : {"photo.png", "PHOTO.PNG", "dir/Photo.Png"}) {
    EXPECT_EQ(SavePicTarget(name).path, name);
    EXPECT_EQ(SavePicTarget(name).format, PictureFormat::Png);
  }
  EXPECT_EQ(SavePicTarget("photo.png.txt").path, "photo.png.txt.BMP");
  // The close-time picture keeps its own rule: only .JPG is JPEG.
  EXPECT_EQ(CloseTimePictureFormat("out.png"), PictureFormat::Bmp);
}

TEST(PictureNames, ProposesTheFirstFreeNumber) {
  std::set<std::string> present{"save/Image01.JPG", "save/Image02.JPG", "save/Image03.JPG"};
  auto exists = [&](const std::string& p) { return present.count(p) != 0; };
  EXPECT_EQ(ProposePictureName("save/", exists), "save/Image04.JPG");
  present = {"save/Image02.JPG"};
  EXPECT_EQ(ProposePictureName("save", exists), "save/Image01.JPG");
  for (int n = 1; n <= 100; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "save/Image%02d.JPG", n);
    present.insert(name);
  }
  EXPECT_EQ(ProposePictureName("save/", exists), "save/Image101.JPG");
  EXPECT_EQ(ProposePictureName("save/", [](const std::string&) { return true; }), "");
}

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zevo_pic_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(PictureFiles, JpegIsWrittenAndDecodedAgain) {
  // Smooth content, so that quality 90 keeps every pixel close.
  gfx::Bitmap24 picture(61, 37);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x)
      picture.SetPixel(x, y, gfx::Rgb(std::uint8_t(40 + 3 * x), std::uint8_t(200 - 4 * y), 90));
  std::string error;
  ASSERT_TRUE(WritePictureFile(picture, Path("out.JPG"), PictureFormat::Jpeg, &error)) << error;
  Result<gfx::Bitmap24> back = gfx::LoadJpegFile(Path("out.JPG"));
  ASSERT_TRUE(back.Ok()) << back.ErrorText();
  EXPECT_TRUE(gfx::testing::PixelsNear(
      back.Value(), 61, 37, [&](int x, int y) { return picture.Pixel(x, y); }, 12));
}

TEST_F(PictureFiles, BmpIsExactAndFailuresAreReported) {
  const gfx::Bitmap24 picture = gfx::testing::AsymmetricPicture(7, 5);
  std::string error;
  ASSERT_TRUE(WritePictureFile(picture, Path("out.bmp"), PictureFormat::Bmp, &error)) << error;
  Result<gfx::Bitmap24> back = gfx::LoadBmpFile(Path("out.bmp"));
  ASSERT_TRUE(back.Ok());
  EXPECT_TRUE(back.Value().SamePixels(picture));
  EXPECT_FALSE(WritePictureFile(picture, Path("no/such/dir/out.bmp"), PictureFormat::Bmp, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(WritePictureFile(gfx::Bitmap24(), Path("empty.jpg"), PictureFormat::Jpeg, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(Path("empty.jpg")));
}

}  // namespace
}  // namespace zevo::output
