// The sheet exported as a picture and printed from the running window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/support/png_reader.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using platform::ScriptedPrinter;
using platform::ScriptedUi;
using test::TestWindow;

void WriteSomeStrokes(TestWindow& t) {
  t.Stroke({{200, 200}, {260, 230}, {320, 250}});
  t.Stroke({{500, 300}, {520, 400}, {560, 420}});
}

TEST(SavePic, NamesAndFormatsAsChosen) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  const fs::path folder = t.folder / "Save";
  fs::create_directories(folder);
  for (const char* name : {"Image01.JPG", "Image02.JPG", "Image03.JPG"})
    std::ofstream(folder / name) << "taken";

  t.ui.QueueSaveFile((folder / "photo.jpeg").string());
  w.ShowControlExecute();
  t.Click("SavePic");
  const ScriptedUi::Call& dialog = t.ui.calls.at(0);
  EXPECT_EQ(dialog.kind, ScriptedUi::Kind::SaveFile);
  EXPECT_EQ(dialog.caption, "message 10");
  // JPEG and BMP first, PNG after them, then the replay.
  EXPECT_EQ(dialog.filter,
            "JPEG Image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap Image (*.bmp)|*.bmp|"
            "PNG Image (*.png)|*.png|Export replay\u2026 (*.gif;*.webp;*.mp4)|*.gif;*.webp;*.mp4");
  EXPECT_EQ(dialog.folder, folder.string() + "/");
  EXPECT_EQ(dialog.text, (folder / "Image04.JPG").string());
  // Not ".JPG": a BMP, named so.
  auto bmp = gfx::LoadBmpFile((folder / "photo.jpeg.BMP").string());
  ASSERT_TRUE(bmp) << bmp.ErrorText();
  // At the export size of the paper the picture is the page, pixel for pixel.
  EXPECT_TRUE(bmp.Value().SamePixels(w.views.Page()));
  EXPECT_FALSE(fs::exists(folder / "photo.jpeg"));

  t.ui.QueueSaveFile((folder / "photo.jpg").string());
  w.SavePicExecute();
  auto jpeg = gfx::LoadJpegFile((folder / "photo.jpg").string());
  ASSERT_TRUE(jpeg) << jpeg.ErrorText();
  EXPECT_EQ(jpeg.Value().Width(), 1024);
  EXPECT_EQ(jpeg.Value().Height(), 718);
  EXPECT_TRUE(t.ui.Errors().empty());
  // Cancelled: nothing written.
  w.SavePicExecute();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 5);
}

std::vector<std::uint8_t> Slurp(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(f)), {});
}

TEST(SavePic, PngIsTheBmpPixelForPixel) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  w.export_width = 1500;
  w.export_height = 900;
  const fs::path folder = t.folder / "Save";
  fs::create_directories(folder);
  for (const char* name : {"sheet.bmp", "sheet.png", "upper.PNG", "other.tif"}) {
    t.ui.QueueSaveFile((folder / name).string());
    w.SavePicExecute();
  }
  ASSERT_TRUE(t.ui.Errors().empty()) << t.ui.Errors()[0];
  const auto bmp = gfx::LoadBmpFile((folder / "sheet.bmp").string());
  ASSERT_TRUE(bmp) << bmp.ErrorText();
  const gfx::Bitmap24& b = bmp.Value();
  for (const char* name : {"sheet.png", "upper.PNG"}) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> bytes = Slurp(folder / name);
    const auto png = test::DecodePngForTest(bytes);
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, b.Width());
    ASSERT_EQ(png->height, b.Height());
    EXPECT_FALSE(png->has_alpha);
    int differing = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        differing +=
            gfx::Rgb(png->At(x, y, 0), png->At(x, y, 1), png->At(x, y, 2)) != b.Pixel(x, y);
    EXPECT_EQ(differing, 0);
    // The resolution the BMP records too.
    const auto res = test::PngPixelsPerMetre(bytes);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->x, 2835u);
  }
  // Any other extension (but the replay's) is still a BMP with ".BMP" appended.
  EXPECT_TRUE(gfx::LoadBmpFile((folder / "other.tif.BMP").string()));
  EXPECT_FALSE(fs::exists(folder / "other.tif"));
}

TEST(SavePic, ExportSizeAndAFailedWrite) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  w.export_width = 2048;
  w.export_height = 718;
  const fs::path folder = t.folder / "Save";
  fs::create_directories(folder);
  t.ui.QueueSaveFile((folder / "wide.bmp").string());
  w.SavePicExecute();
  auto wide = gfx::LoadBmpFile((folder / "wide.bmp").string());
  ASSERT_TRUE(wide) << wide.ErrorText();
  EXPECT_EQ(wide.Value().Width(), 2048);
  // The paper is centred: white bands of 512 pixels at both sides, the ink moved along.
  EXPECT_EQ(wide.Value().Pixel(100, 230), gfx::kWhite);
  EXPECT_EQ(wide.Value().Pixel(512 + 260, 230), w.views.Page().Pixel(260, 230));

  // A write that cannot be done says why and leaves the earlier picture as it was.
  const auto before = fs::file_size(folder / "wide.bmp");
  t.ui.QueueSaveFile((folder / "missing" / "x.bmp").string());
  w.SavePicExecute();
  ASSERT_EQ(t.ui.Errors().size(), 1u);
  EXPECT_NE(t.ui.Errors()[0].find("missing"), std::string::npos) << t.ui.Errors()[0];
  EXPECT_EQ(fs::file_size(folder / "wide.bmp"), before);
  // A size the renderer may not have is refused, not attempted.
  w.export_width = w.export_height = 60000;
  t.ui.QueueSaveFile((folder / "huge.bmp").string());
  w.SavePicExecute();
  EXPECT_EQ(t.ui.Errors().size(), 2u);
  EXPECT_FALSE(fs::exists(folder / "huge.bmp"));
}

TEST(PrintPic, UprightAndTurnedPagesFromThePrinterChosen) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  const int position = w.Document().Position();

  auto landscape = std::make_unique<ScriptedPrinter>(7016, 4961);
  auto landscape_log = landscape->GetLog();
  landscape->keep_bitmaps = false;
  t.ui.QueuePrinter(std::move(landscape));
  w.ShowControlExecute();
  t.Click("PrintPic");
  ASSERT_EQ(landscape_log->jobs_ended, 1);
  ASSERT_EQ(landscape_log->stretches.size(), 1u);
  EXPECT_EQ(landscape_log->stretches[0].bitmap_width, 4096);
  EXPECT_EQ(landscape_log->stretches[0].bitmap_height, 2896);
  EXPECT_EQ(landscape_log->stretches[0].page, (gfx::Rect{0, 0, 7016, 4961}));

  auto portrait = std::make_unique<ScriptedPrinter>(4961, 7016);
  auto portrait_log = portrait->GetLog();
  portrait->keep_bitmaps = false;
  t.ui.QueuePrinter(std::move(portrait));
  w.PrintPicExecute();
  ASSERT_EQ(portrait_log->stretches.size(), 1u);
  EXPECT_EQ(portrait_log->stretches[0].bitmap_width, 2896);
  EXPECT_EQ(portrait_log->stretches[0].bitmap_height, 4096);
  EXPECT_EQ(w.Document().Position(), position);
  EXPECT_TRUE(t.ui.Errors().empty());
}

TEST(PrintPic, ThePrintingSystemsRefusalsAreShown) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  w.PrintPicExecute();  // the dialog cancelled
  EXPECT_TRUE(t.ui.Errors().empty());
  for (int which = 0; which < 3; ++which) {
    auto printer = std::make_unique<ScriptedPrinter>(2000, 1000);
    printer->keep_bitmaps = false;
    (which == 0   ? printer->fail_begin
     : which == 1 ? printer->fail_stretch
                  : printer->fail_end) = "the printer is out of paper";
    t.ui.QueuePrinter(std::move(printer));
    w.PrintPicExecute();
    ASSERT_EQ(t.ui.Errors().size(), std::size_t(which + 1));
    EXPECT_NE(t.ui.Errors().back().find("out of paper"), std::string::npos);
  }
  // A page the layout cannot use.
  t.ui.QueuePrinter(std::make_unique<ScriptedPrinter>(0, 0));
  w.PrintPicExecute();
  EXPECT_EQ(t.ui.Errors().size(), 4u);
}

}  // namespace
}  // namespace zevo::app
