// stktool render to PDF and SVG, rasterised by poppler's pdftoppm and librsvg's rsvg-convert and
// held against the sheet picture stktool renders as a BMP.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "tests/support/png_reader.h"
#include "tools/stktool_render.h"

namespace zevo::tools {
namespace {

using gfx::Bitmap24;

bool Have(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Text(const std::string& path) {
  const std::vector<std::uint8_t> b = Slurp(path);
  return {b.begin(), b.end()};
}

// A picture's darkness (255 - green) at each pixel, row by row.
struct Darkness {
  int width = 0, height = 0;
  std::vector<int> v;
  int At(int x, int y) const { return v[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Darkness OfBitmap(const Bitmap24& b) {
  Darkness d{b.Width(), b.Height(), {}};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) d.v.push_back(255 - gfx::GreenOf(b.Pixel(x, y)));
  return d;
}

Darkness OfPng(const std::string& path) {
  const auto png = test::DecodePngForTest(Slurp(path));
  Darkness d;
  if (!png) return d;
  d.width = png->width;
  d.height = png->height;
  for (int y = 0; y < png->height; ++y)
    for (int x = 0; x < png->width; ++x) d.v.push_back(255 - png->At(x, y, 1));
  return d;
}

// Pixels clearly ink in `a` (darker than 160) that have nothing of ink (darker than 32) within
// one pixel in `b`.
int UnmatchedInk(const Darkness& a, const Darkness& b) {
  int n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      if (a.At(x, y) < 160) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) {
          const int u = x + dx, v = y + dy;
          near = u >= 0 && v >= 0 && u < b.width && v < b.height && b.At(u, v) > 32;
        }
      n += !near;
    }
  return n;
}

int InkPixels(const Darkness& d) {
  int n = 0;
  for (const int v : d.v) n += v >= 160;
  return n;
}

class VectorRender : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zevo_vector_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    // Brush strokes that swell and thin, cross, curve and end in a point, in three colours, a
    // dot, and a seal over the last stroke.
    ink::StrokeDocument doc(1024, 718);
    const gfx::Color colors[] = {gfx::kBlack, gfx::Rgb(20, 20, 160), gfx::Rgb(0, 90, 0)};
    for (int k = 0; k < 6; ++k) {
      doc.SetInkColor(colors[k % 3]);
      const float x0 = 120.0f + 140 * k, y0 = 120;
      for (int i = 0; i <= 40; ++i) {
        const float t = float(i) / 40;
        const float r = 2 + 16 * std::sin(3.14159f * t) * (k % 2 ? t : 1 - t);
        doc.AddSample(x0 + 90 * t + 60 * std::sin(4 * t), y0 + 420 * t, r);
      }
      doc.AddSample(x0 + 90 + 60 * std::sin(4.0f) + 3, y0 + 421, 0);
    }
    doc.SetInkColor(gfx::kBlack);
    doc.AddSample(300, 620, 12);
    doc.AddSample(300.2f, 620.1f, 0);
    doc.AddSample(100, 300, 8);  // crosses every stroke
    doc.AddSample(950, 330, 3);
    doc.AddSample(951, 330, 0);
    auto seal = std::make_unique<Bitmap24>(10, 10, gfx::kWhite);
    seal->FillRect({0, 0, 10, 3}, gfx::Rgb(200, 0, 0));
    doc.AddStampEntry(std::move(seal), 820, 560, 80, 80);
    strokes_ = 8;
    ASSERT_EQ(files::WritePlainStrokeFile(doc, Path("sheet.stk"), 1, std::nullopt, std::nullopt),
              0);
  }
  void TearDown() override {
    if (!std::getenv("ZEVO_KEEP")) std::filesystem::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  int Render(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunRenderCommand(args, reader_, out_, err_);
  }
  Darkness Bmp(const std::string& name) {
    Result<Bitmap24> b = gfx::LoadBmpFile(Path(name));
    return b ? OfBitmap(b.Value()) : Darkness{};
  }
  // The PDF's page rasterised at 72 dots an inch: one pixel a point.
  Darkness Pdf(const std::string& name) {
    const std::string base = Path(name + "-raster");
    const std::string command =
        "pdftoppm -r 72 -png -singlefile '" + Path(name) + "' '" + base + "'";
    if (std::system(command.c_str()) != 0) return {};
    return OfPng(base + ".png");
  }
  void ExpectSameInk(const Darkness& vector, const Darkness& picture) {
    ASSERT_EQ(vector.width, picture.width);
    ASSERT_EQ(vector.height, picture.height);
    EXPECT_GT(InkPixels(picture), 10000);
    EXPECT_EQ(UnmatchedInk(vector, picture), 0);
    EXPECT_EQ(UnmatchedInk(picture, vector), 0);
  }

  std::filesystem::path dir_;
  std::ostringstream out_, err_;
  int strokes_ = 0;
  StrokeFileReader reader_ = [](ink::StrokeDocument& d, const std::string& p) {
    return files::ReadStrokeFile(d, p, nullptr);
  };
};

TEST_F(VectorRender, PdfInkCoversThePicturesInkWithinAPixel) {
  if (!Have("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("sheet.pdf")}), 0) << err_.str();
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("sheet.bmp")}), 0) << err_.str();
  EXPECT_EQ(Text(Path("sheet.pdf")).substr(0, 5), "%PDF-");
  ExpectSameInk(Pdf("sheet.pdf"), Bmp("sheet.bmp"));

  // Scaled onto a page of another shape: the picture twice as large, centred in its height.
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("big.PDF"), "--page-pt", "2048x1636"}), 0)
      << err_.str();
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("big.bmp"), "--size", "2048x1636"}), 0);
  ExpectSameInk(Pdf("big.PDF"), Bmp("big.bmp"));

  // In millimetres, and the paper at a finer resolution underneath.
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("a4.pdf"), "--page-mm", "297x210",
                    "--paper-scale", "2", "--size", "842x595"}),
            0)
      << err_.str();
  const Darkness a4 = Pdf("a4.pdf");
  EXPECT_EQ(a4.width, 842);
  EXPECT_NEAR(a4.height, 595, 1);  // 210 mm is 595.28 points
}

TEST_F(VectorRender, SvgHasOnePathAStrokeAndTheSameInk) {
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("sheet.svg")}), 0) << err_.str();
  const std::string svg = Text(Path("sheet.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<svg "), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), svg.npos);
  EXPECT_NE(svg.find("width=\"1024pt\" height=\"718pt\""), svg.npos);
  // Every stroke one path filled in a plain colour with the nonzero rule; the paper and the
  // seal are images.
  int paths = 0;
  for (std::size_t at = svg.find("fill-rule:nonzero;fill:rgb("); at != svg.npos;
       at = svg.find("fill-rule:nonzero;fill:rgb(", at + 1))
    ++paths;
  EXPECT_EQ(paths, strokes_);
  EXPECT_NE(svg.find("fill:rgb(7.843137%,7.843137%,62.745098%)"), svg.npos);  // the blue ink
  int elements = 0, closes = 0;
  for (char c : svg) elements += c == '<', closes += c == '>';
  EXPECT_EQ(elements, closes);

  if (!Have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
  ASSERT_EQ(Render({Path("sheet.stk"), "-o", Path("sheet.bmp")}), 0);
  const std::string png = Path("sheet-svg.png");
  ASSERT_EQ(
      std::system(
          ("rsvg-convert -w 1024 -h 718 -o '" + png + "' '" + Path("sheet.svg") + "'").c_str()),
      0);
  ExpectSameInk(OfPng(png), Bmp("sheet.bmp"));
}

TEST_F(VectorRender, AFloodFillSaysSoAndGivesTheWholePicture) {
  if (!Have("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  ink::StrokeDocument doc(1024, 718);
  ASSERT_EQ(files::ReadStrokeFile(doc, Path("sheet.stk"), nullptr), 0);
  doc.GotoHead();
  while (doc.StepForward() != nullptr) {
  }
  doc.AddFill(gfx::Rgb(255, 0, 0), 5, 5);
  ASSERT_EQ(files::WritePlainStrokeFile(doc, Path("fill.stk"), 1, std::nullopt, std::nullopt), 0);
  ASSERT_EQ(Render({Path("fill.stk"), "-o", Path("fill.pdf")}), 0);
  EXPECT_NE(err_.str().find("flood fill"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("one picture"), std::string::npos) << err_.str();
  ASSERT_EQ(Render({Path("fill.stk"), "-o", Path("fill.bmp")}), 0);
  EXPECT_TRUE(err_.str().empty());
  // The one image the page holds is the sheet picture, pixel for pixel.
  if (!Have("pdfimages")) GTEST_SKIP() << "pdfimages (poppler-utils) is not installed";
  const std::string base = Path("fill-image");
  ASSERT_EQ(std::system(("pdfimages -png '" + Path("fill.pdf") + "' '" + base + "'").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(base + "-001.png"));
  const auto image = test::DecodePngForTest(Slurp(base + "-000.png"));
  Result<Bitmap24> bmp = gfx::LoadBmpFile(Path("fill.bmp"));
  ASSERT_TRUE(image && bmp.Ok());
  ASSERT_EQ(image->width, bmp.Value().Width());
  ASSERT_EQ(image->height, bmp.Value().Height());
  int different = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) {
      const gfx::Color c = bmp.Value().Pixel(x, y);
      different += image->At(x, y, 0) != gfx::RedOf(c) || image->At(x, y, 1) != gfx::GreenOf(c) ||
                   image->At(x, y, 2) != gfx::BlueOf(c);
    }
  EXPECT_EQ(different, 0);
}

TEST_F(VectorRender, BadOptionsAndUnwritableFilesSayWhy) {
  const std::string sheet = Path("sheet.stk");
  const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
      {{sheet, "-o", Path("x.png"), "--page-mm", "210x297"}, "go with a .pdf or .svg output"},
      {{sheet, "-o", Path("x.bmp"), "--paper-scale", "2"}, "--paper-scale goes with a .pdf"},
      {{sheet, "-o", Path("x.pdf"), "--dpi", "300"}, "--dpi goes with a .png output"},
      {{sheet, "-o", Path("x.pdf"), "--page-mm", "210"}, "--page-mm must be WIDTHxHEIGHT"},
      {{sheet, "-o", Path("x.pdf"), "--page-mm", "0x297"}, "above 0 and at most 5000"},
      {{sheet, "-o", Path("x.pdf"), "--page-pt", "1e3x5"}, "--page-pt must be two numbers"},
      {{sheet, "-o", Path("x.svg"), "--page-mm"}, "--page-mm needs WIDTHxHEIGHT"},
      {{sheet, "-o", Path("x.svg"), "--paper-scale", "17"}, "--paper-scale must be from 1 to 16"},
      {{sheet, "-o", Path("x.eps")}, ".pdf (PDF) or .svg (SVG) files"},
  };
  for (const auto& [args, message] : usage) {
    EXPECT_EQ(Render(args), kExitUsage) << args.back();
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
  }
  const std::vector<std::pair<std::vector<std::string>, std::string>> failed = {
      {{sheet, "-o", Path("no/such/dir/x.pdf")}, "does not exist"},
      {{sheet, "-o", sheet + "/x.svg"}, "not a folder"},
      {{sheet, "-o", Path("x.pdf"), "--size", "9000x9000"}, "9000 x 9000"},
      {{Path("none.stk"), "-o", Path("x.svg")}, "none.stk: cannot open it"},
  };
  for (const auto& [args, message] : failed) {
    EXPECT_EQ(Render(args), 1) << args.back();
    EXPECT_NE(err_.str().find(message), std::string::npos) << err_.str();
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.pdf")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.svg")));
}

}  // namespace
}  // namespace zevo::tools
