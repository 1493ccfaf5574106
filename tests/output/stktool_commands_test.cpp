#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/support/png_reader.h"
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

TEST_F(StktoolCommands, RenderWritesJpegOrBmpByTheExtension) {
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("out.Bmp")}), 0) << err_.str();
  Result<Bitmap24> bmp = gfx::LoadBmpFile(Path("out.Bmp"));
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

  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("long.jpeg")}), 0) << err_.str();
  EXPECT_TRUE(gfx::LoadJpegFile(Path("long.jpeg")).Ok());
}

std::vector<std::uint8_t> Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(f)), {});
}

TEST_F(StktoolCommands, RenderWritesPngAsTheBmpPixelForPixel) {
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("out.bmp"), "--size", "801x603"}), 0);
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("out.PNG"), "--size", "801x603"}), 0)
      << err_.str();
  const Result<Bitmap24> bmp = gfx::LoadBmpFile(Path("out.bmp"));
  ASSERT_TRUE(bmp.Ok());
  const std::vector<std::uint8_t> bytes = Slurp(Path("out.PNG"));
  const auto png = test::DecodePngForTest(bytes);
  ASSERT_TRUE(png);
  ASSERT_EQ(png->width, 801);
  ASSERT_EQ(png->height, 603);
  int differing = 0;
  for (int y = 0; y < 603; ++y)
    for (int x = 0; x < 801; ++x)
      differing +=
          gfx::Rgb(png->At(x, y, 0), png->At(x, y, 1), png->At(x, y, 2)) != bmp.Value().Pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(test::PngPixelsPerMetre(bytes)->x, 2835u);

  // A print resolution, and the ink alone without the file's background.
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("ink.png"), "--dpi", "300", "--transparent"}), 0)
      << err_.str();
  const std::vector<std::uint8_t> ink = Slurp(Path("ink.png"));
  EXPECT_EQ(test::PngPixelsPerMetre(ink)->y, 11811u);
  const auto clear = test::DecodePngForTest(ink);
  ASSERT_TRUE(clear);
  EXPECT_TRUE(clear->has_alpha);
  EXPECT_EQ(clear->At(450, 400, 3), 0);    // no background: transparent
  EXPECT_EQ(clear->At(450, 300, 3), 255);  // the stroke: opaque black
  EXPECT_EQ(clear->At(450, 300, 0), 0);

  // A folder that is not there: a message naming it, exit 1.
  EXPECT_EQ(Render({Path("sheet.stk"), "-o", Path("missing/x.png")}), 1);
  EXPECT_NE(err_.str().find("missing"), std::string::npos) << err_.str();
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

TEST_F(StktoolCommands, RenderRefusesWrongArgumentsAsUsageErrors) {
  const std::string sheet = Path("sheet.stk"), x = Path("x.bmp");
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{}, "no stroke file given"},
      {{sheet}, "no output file given"},
      {{sheet, "-o"}, "-o needs a file name"},
      {{sheet, "-o", Path("x.gif")},
       "it writes .jpg, .jpeg (JPEG), .bmp (BMP), .png (PNG), .pdf (PDF) or .svg (SVG) files"},
      {{sheet, "-o", x, "--dpi", "300"}, "--dpi goes with a .png output"},
      {{sheet, "-o", x, "--transparent"}, "--transparent goes with a .png output"},
      {{sheet, "-o", Path("x.png"), "--dpi", "0"}, "--dpi must be positive"},
      {{sheet, "-o", Path("x.png"), "--transparent", "--grid", "1,1,0,0,1,1"},
       "--transparent draws the ink alone"},
      {{sheet, "-o", Path("x")}, "it writes .jpg"},
      {{sheet, "-o", x, "--size", "0x718"}, "--size must be positive"},
      {{sheet, "-o", x, "--size", "1024x-2"}, "--size must be positive"},
      {{sheet, "-o", x, "--size", "1024"}, "--size must be WIDTHxHEIGHT"},
      {{sheet, "-o", x, "--size", "bigx718"}, "--size must be a whole number, not \"big\""},
      {{sheet, "-o", x, "--size", "2000000x718"}, "--size must be at most 1000000"},
      {{sheet, "-o", x, "--position", "-1"}, "--position must be 0 or more"},
      {{sheet, "-o", x, "--position", "1.5"}, "--position must be a whole number"},
      {{sheet, "-o", x, "--position", "99999999999999999999"},
       "--position must be at most 2147483647"},
      {{sheet, "-o", x, "--position", "4"}, "--position must be at most 3"},
      {{sheet, "-o", x, "--position"}, "--position needs a number"},
      {{sheet, "-o", x, "--fit", "4"}, "--fit must be from 0 to 3"},
      {{sheet, "-o", x, "--lighten", "-1"}, "--lighten must be from 0 to 2"},
      {{sheet, "-o", x, "--grid", "1,2,3"}, "--grid must be six whole numbers"},
      {{sheet, "-o", x, "--grid", "1,2,3,4,5,x"}, "--grid must be a whole number, not \"x\""},
      {{sheet, "-o", x, "--frobnicate"}, "unknown option --frobnicate"},
  };
  for (const auto& [args, message] : bad) {
    EXPECT_EQ(Render(args), kExitUsage) << message;
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
    EXPECT_TRUE(out_.str().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(x));
  EXPECT_FALSE(std::filesystem::exists(Path("x.png")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.gif")));
}

TEST_F(StktoolCommands, RenderFailuresSayWhy) {
  const std::string sheet = Path("sheet.stk"), x = Path("x.bmp");
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{sheet, "-o", x, "--size", "9000x9000"}, ""},
      {{sheet, "-o", x, "--background", Path("none.jpg")}, "none.jpg"},
      {{sheet, "-o", x, "--trace", Path("none.stk")},
       "none.stk: cannot open it: no such file or directory"},
      {{Path("missing.stk"), "-o", x}, "missing.stk: cannot open it: no such file or directory"},
      {{sheet, "-o", Path("no/such/dir/x.bmp")}, "does not exist"},
      {{sheet, "-o", sheet + "/x.jpg"}, "not a folder"},
  };
  for (const auto& [args, message] : bad) {
    EXPECT_EQ(Render(args), 1) << args.back();
    EXPECT_FALSE(err_.str().empty());
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
  }
  EXPECT_FALSE(std::filesystem::exists(x));
}

TEST_F(StktoolCommands, HelpGoesToTheOutputAndSucceeds) {
  for (const char* word : {"-h", "--help"}) {
    EXPECT_EQ(Render({word}), 0);
    EXPECT_NE(out_.str().find("usage: stktool render FILE -o OUT"), std::string::npos);
    EXPECT_NE(out_.str().find("--grid CW,CH,LEFT,TOP,COLS,ROWS"), std::string::npos);
    EXPECT_TRUE(err_.str().empty());
    EXPECT_EQ(Print({Path("sheet.stk"), word}), 0);
    EXPECT_NE(out_.str().find("usage: stktool print FILE -o OUT --page PWxPH"), std::string::npos);
    EXPECT_TRUE(err_.str().empty());
  }
}

TEST_F(StktoolCommands, PrintWritesTheWorkBitmapAndThePageRectangle) {
  ASSERT_EQ(Print({Path("sheet.stk"), "-o", Path("page.bmp"), "--page", "7016x4961"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), "0 0 7016 4961\n");
  EXPECT_TRUE(err_.str().empty()) << err_.str();  // 34 MiB: not announced
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
      Print({Path("sheet.stk"), "-o", Path("x.bmp"), "--page", "7016x4961", "--scale", "1000"}),
      kExitUsage);
  EXPECT_NE(err_.str().find("--scale must be from 25 to 400"), std::string::npos) << err_.str();
  EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.bmp")}), kExitUsage);
  EXPECT_NE(err_.str().find("no page size given"), std::string::npos);
  for (const char* page : {"0x4961", "7016x0", "-5x4961"}) {
    EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.bmp"), "--page", page}), kExitUsage);
    EXPECT_NE(err_.str().find("--page must be positive"), std::string::npos) << err_.str();
  }
  EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.jpg"), "--page", "7016x4961"}), kExitUsage);
  EXPECT_NE(err_.str().find("it writes .bmp files only"), std::string::npos) << err_.str();
  // A page the work bitmap cannot take that shape for.
  EXPECT_EQ(Print({Path("sheet.stk"), "-o", Path("x.bmp"), "--page", "100000x1"}), 1);
  EXPECT_NE(err_.str().find("100000 x 1"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("x.jpg")));
}

TEST_F(StktoolCommands, PrintAnnouncesALargeWorkBitmapBeforeWritingIt) {
  // A page of one device pixel at scale 120 takes a square 4912 x 4912 work bitmap; the folder
  // is missing, so it is announced and then not written.
  EXPECT_EQ(
      Print({Path("sheet.stk"), "-o", Path("missing/x.bmp"), "--page", "1x1", "--scale", "120"}),
      1);
  const std::string said = err_.str();
  const std::size_t note =
      said.find("stktool print: writing a 4912 x 4912 work bitmap (69 MiB) to " +
                Path("missing/x.bmp") + "\n");
  EXPECT_NE(note, std::string::npos) << said;
  EXPECT_GT(said.find("does not exist"), note) << said;
  EXPECT_FALSE(std::filesystem::exists(Path("x.bmp")));
}

}  // namespace
}  // namespace zevo::tools
