#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tools/stktool_print.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

using gfx::Bitmap24;

class StktoolCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zevo_stk_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    // Three strokes centred at x 150, 450, 750 on y 300; background image at fit full.
    ink::StrokeDocument doc(1024, 718);
    for (int k = 0; k < 3; ++k) {
      doc.AddSample(140.0f + 300 * k, 300, 10);
      doc.AddSample(160.0f + 300 * k, 300, 10);
      doc.AddSample(161.0f + 300 * k, 300, 0);
    }
    const Bitmap24 paper(4, 4, 0x00C0E0F0);
    doc.SetBackground(&paper, 2, 1);
    ASSERT_EQ(files::WritePlainStrokeFile(doc, Path("sheet.stk"), 1, std::nullopt, std::nullopt),
              0);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Render(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunRenderCommand(args, reader_, out_, err_);
  }
  int Print(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunPrintCommand(args, reader_, out_, err_);
  }

  std::filesystem::path dir_;
  std::ostringstream out_, err_;
  StrokeFileReader reader_ = [](ink::StrokeDocument& d, const std::string& p) {
    return files::ReadStrokeFile(d, p, nullptr);
  };
};

TEST_F(StktoolCommands, RenderWritesTheSheetByTheCloseTimeRule) {
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("out.png")}), 0) << err_.str();
  // Not ".JPG": a BMP under the name as given.
  Result<Bitmap24> bmp = gfx::LoadBmpFile(Path("out.png"));
  ASSERT_TRUE(bmp.Ok()) << bmp.ErrorText();
  EXPECT_EQ(bmp.Value().Width(), 1024);
  EXPECT_EQ(bmp.Value().Pixel(450, 300), gfx::kBlack);
  EXPECT_EQ(bmp.Value().Pixel(450, 400), 0x00C0E0F0u);  // the file's own background

  ASSERT_EQ(
      Render({Path("sheet.stk"), "-o", Path("wide.JPG"), "--size", "2048x718", "--position", "1"}),
      0)
      << err_.str();
  Result<Bitmap24> jpeg = gfx::LoadJpegFile(Path("wide.JPG"));
  ASSERT_TRUE(jpeg.Ok());
  EXPECT_EQ(jpeg.Value().Width(), 2048);
  EXPECT_GT(gfx::GreenOf(jpeg.Value().Pixel(100, 300)), 245);        // white band
  EXPECT_LT(gfx::GreenOf(jpeg.Value().Pixel(512 + 150, 300)), 40);   // entry 1
  EXPECT_GT(gfx::GreenOf(jpeg.Value().Pixel(512 + 450, 300)), 200);  // entry 2 not shown
}

TEST_F(StktoolCommands, RenderOptions) {
  Bitmap24 image(8, 8, gfx::kBlack);
  ASSERT_TRUE(gfx::SaveBmpFile(image, Path("bg.BMP"), nullptr));
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("a.bmp"), "--background", Path("bg.BMP"), "--fit",
                    "1", "--lighten", "1", "--position", "0", "--grid", "250,250,11,109,4,2"}),
            0)
      << err_.str();
  Result<Bitmap24> a = gfx::LoadBmpFile(Path("a.bmp"));
  ASSERT_TRUE(a.Ok());
  EXPECT_EQ(a.Value().Pixel(450, 300), gfx::Rgb(127, 127, 127));  // lightened, no strokes
  EXPECT_NE(a.Value().Pixel(261, 300), gfx::Rgb(127, 127, 127));  // a grid line

  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("t.bmp"), "--background", Path("bg.BMP"),
                    "--texture", "--lighten", "2", "--trace", Path("sheet.stk")}),
            0)
      << err_.str();
  Result<Bitmap24> t = gfx::LoadBmpFile(Path("t.bmp"));
  ASSERT_TRUE(t.Ok());
  EXPECT_EQ(t.Value().Pixel(1000, 700), gfx::kBlack);  // a texture is never lightened
}

TEST_F(StktoolCommands, RenderRefusesWhatCannotWork) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {Path("sheet.stk")},
      {Path("sheet.stk"), "-o"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--size", "0x718"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--size", "9000x9000"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--position", "4"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--position", "-1"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--fit", "4"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--grid", "1,2,3"},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--background", Path("none.jpg")},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--trace", Path("none.stk")},
      {Path("sheet.stk"), "-o", Path("x.bmp"), "--frobnicate"},
      {Path("missing.stk"), "-o", Path("x.bmp")},
      {Path("sheet.stk"), "-o", Path("no/such/dir/x.bmp")},
  };
  for (const auto& args : bad) {
    EXPECT_EQ(Render(args), 1) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(err_.str().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
}

TEST_F(StktoolCommands, PrintWritesTheWorkBitmapAndThePageRectangle) {
  ASSERT_EQ(Print({Path("sheet.stk"), "-o", Path("page.bmp"), "--page", "7016x4961"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), "0 0 7016 4961\n");
  Result<Bitmap24> work = gfx::LoadBmpFile(Path("page.bmp"));
  ASSERT_TRUE(work.Ok());
  EXPECT_EQ(work.Value().Width(), 4096);
  EXPECT_EQ(work.Value().Height(), 2896);
  EXPECT_EQ(work.Value().Pixel(4 * 450, 4 * 300), gfx::kBlack);
  EXPECT_EQ(work.Value().Pixel(4 * 450, 4 * 400), 0x00C0E0F0u);

  ASSERT_EQ(
      Print({Path("sheet.stk"), "-o", Path("tall.bmp"), "--page", "4961x7016", "--scale", "150"}),
      0);
  EXPECT_EQ(out_.str(), "0 0 4961 7016\n");
  EXPECT_EQ(
      Print({Path("sheet.stk"), "-o", Path("x.bmp"), "--page", "7016x4961", "--scale", "1000"}), 1);
  EXPECT_NE(err_.str().find("scale"), std::string::npos);
  EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.bmp")}), 1);
  EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.bmp"), "--page", "100000x1"}), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
}

}  // namespace
}  // namespace zevo::tools
