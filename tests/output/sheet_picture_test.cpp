#include "output/sheet_picture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <memory>

#include "seals/grid_pages.h"
#include "seals/trace_pages.h"

namespace zevo::output {
namespace {

using gfx::Bitmap24;
using gfx::Rect;

// Entry k (1-based) is a short black stroke centred at x = 60 + 90 k, y = 300.
void AddStrokes(ink::StrokeDocument& doc, int n) {
  for (int k = 1; k <= n; ++k) {
    const float x = 50.0f + 90.0f * k;
    doc.AddSample(x, 300, 10);
    doc.AddSample(x + 20, 300, 10);
    doc.AddSample(x + 21, 300, 0);
  }
}

bool ColumnsWhite(const Bitmap24& b, int x0, int x1) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = x0; x < x1; ++x)
      if (b.Pixel(x, y) != gfx::kWhite) return false;
  return true;
}

bool AllWhite(const Bitmap24& b) {
  return ColumnsWhite(b, 0, b.Width());
}

TEST(SheetFit, CentresThePaperInTheDirectionItDoesNotFill) {
  SheetFit f = FitSheet(1024, 718, 1024, 718);
  EXPECT_EQ(f.s, 1.0f);
  EXPECT_EQ(f.ox, 0.0f);
  EXPECT_EQ(f.oy, 0.0f);
  f = FitSheet(2048, 718, 1024, 718);
  EXPECT_EQ(f.s, 1.0f);
  EXPECT_EQ(f.ox, 512.0f);
  f = FitSheet(1024, 1436, 1024, 718);
  EXPECT_EQ(f.s, 1.0f);
  EXPECT_EQ(f.oy, 359.0f);
  f = FitSheet(4096, 2872, 1024, 718);
  EXPECT_EQ(f.s, 4.0f);
  EXPECT_EQ(f.ox, 0.0f);
}

TEST(SheetFit, ImageRectanglesInWorkPixels) {
  const SheetFit wide = FitSheet(2048, 718, 1024, 718);  // ox = 512
  EXPECT_EQ(ImageFitRect(seals::kFitCentre, 400, 300, wide, 1024, 718),
            (Rect{4 * 824, 4 * 209, 4 * 1224, 4 * 509}));
  EXPECT_EQ(ImageFitRect(seals::kFitPaper, 2048, 718, wide, 1024, 718),
            (Rect{2048, 0, 4 * 1536, 4 * 359}));
  EXPECT_EQ(ImageFitRect(seals::kFitFull, 3, 3, wide, 1024, 718), (Rect{2048, 0, 6144, 2872}));
  EXPECT_EQ(ImageFitRect(seals::kFitLeftTop, 100, 50, FitSheet(2048, 1436, 1024, 718), 1024, 718),
            (Rect{0, 0, 800, 400}));
}

TEST(SheetPicture, DefaultSizeIsTheSheetPixelForPixel) {
  ink::StrokeDocument doc(1024, 718);
  doc.SetInkColor(0x00204080);
  AddStrokes(doc, 4);
  SheetInputs in;
  in.live = &doc;
  Result<Bitmap24> picture = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(picture.Ok()) << picture.ErrorText();

  Bitmap24 expected(1024, 718);
  ink::BrushRenderer r(expected);
  r.ClearWhite();
  r.SetColor(0x00204080);
  for (int k = 1; k <= 4; ++k) {
    const float x = 50.0f + 90.0f * k;
    r.BeginAt(x, 300, 10);
    r.DrawSegment(x + 20, 300, 10);
    r.DrawSegment(x + 21, 300, 0);
  }
  r.DownsampleAll();
  EXPECT_TRUE(picture.Value().SamePixels(expected));
  EXPECT_EQ(picture.Value().Pixel(150, 300), 0x00204080u);
}

TEST(SheetPicture, WideExportHasWhiteBandsBesideThePaper) {
  ink::StrokeDocument doc(1024, 718);
  AddStrokes(doc, 1);  // centred at paper (150, 300)
  const Bitmap24 bg(5, 5, 0x00336699);
  SheetInputs in;
  in.live = &doc;
  in.background = {&bg, seals::kBackgroundImage, seals::kFitFull};
  Result<Bitmap24> picture = RenderSheetPicture(2048, 718, in);
  ASSERT_TRUE(picture.Ok()) << picture.ErrorText();
  const Bitmap24& p = picture.Value();
  EXPECT_TRUE(ColumnsWhite(p, 0, 512));
  EXPECT_TRUE(ColumnsWhite(p, 1536, 2048));
  EXPECT_EQ(p.Pixel(512, 0), 0x00336699u);
  EXPECT_EQ(p.Pixel(1535, 717), 0x00336699u);
  EXPECT_EQ(p.Pixel(512 + 150, 300), gfx::kBlack);
}

TEST(SheetPicture, HistoryUpToThePositionWhichStaysWhereItWas) {
  ink::StrokeDocument doc(1024, 718);
  AddStrokes(doc, 10);
  for (int i = 0; i < 7; ++i) doc.StepBack();
  ASSERT_EQ(doc.Position(), 3);
  SheetInputs in;
  in.live = &doc;
  Result<Bitmap24> picture = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(picture.Ok());
  EXPECT_EQ(doc.Position(), 3);
  EXPECT_EQ(doc.Count(), 10);
  for (int k = 1; k <= 10; ++k)
    EXPECT_EQ(picture.Value().Pixel(60 + 90 * k, 300) == gfx::kBlack, k <= 3) << "entry " << k;

  doc.GotoHead();
  doc.StepBack();
  ASSERT_EQ(doc.Position(), 0);
  picture = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(picture.Ok());
  EXPECT_TRUE(AllWhite(picture.Value()));
  EXPECT_EQ(doc.Position(), 0);
}

TEST(SheetPicture, TraceModelUnderTheWritingInTheTraceColour) {
  ink::StrokeDocument doc(1024, 718), model(1024, 718);
  AddStrokes(doc, 1);
  model.SetInkColor(gfx::kBlack);
  model.AddSample(100, 500, 15);
  model.AddSample(300, 500, 15);
  model.AddStampEntry(std::make_unique<Bitmap24>(10, 10, gfx::kBlack), 700, 500, 40, 40);
  model.GotoHead();
  SheetInputs in;
  in.live = &doc;
  in.trace_model = &model;
  Result<Bitmap24> hidden = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(hidden.Ok());
  EXPECT_EQ(hidden.Value().Pixel(200, 500), gfx::kWhite);
  in.trace_shown = true;
  Result<Bitmap24> shown = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(shown.Ok());
  EXPECT_EQ(shown.Value().Pixel(200, 500), seals::kTraceColor);
  EXPECT_EQ(shown.Value().Pixel(710, 510), gfx::kWhite);  // a model's stamps are not drawn
  EXPECT_EQ(shown.Value().Pixel(150, 300), gfx::kBlack);
  EXPECT_EQ(model.Position(), 2);  // left at its last entry
}

TEST(SheetPicture, StampOnTextureShowsOnlyItsNonWhitePixels) {
  // A texture of 8 x 8 blocks in two colours; a stamp that is white but for a red middle.
  Bitmap24 texture(16, 16, 0x00224466);
  texture.FillRect({8, 0, 16, 8}, 0x00668844);
  texture.FillRect({0, 8, 8, 16}, 0x00668844);
  auto stamp = std::make_unique<Bitmap24>(16, 16, gfx::kWhite);
  stamp->FillRect({4, 4, 12, 12}, 0x000000FF);
  ink::StrokeDocument doc(1024, 718);
  doc.AddStampEntry(std::move(stamp), 320, 160, 32, 32);  // scaled by two
  SheetInputs in;
  in.live = &doc;
  in.background = {&texture, seals::kBackgroundTexture, seals::kFitPaper};
  Result<Bitmap24> picture = RenderSheetPicture(1024, 718, in);
  ASSERT_TRUE(picture.Ok());
  const Bitmap24& p = picture.Value();
  for (int y = 160; y < 192; ++y)
    for (int x = 320; x < 352; ++x) {
      const bool red = x >= 328 && x < 344 && y >= 168 && y < 184;
      ASSERT_EQ(p.Pixel(x, y), red ? 0x000000FFu : texture.Pixel(x % 16, y % 16)) << x << "," << y;
    }
  EXPECT_EQ(p.Pixel(1023, 717), texture.Pixel(1023 % 16, 717 % 16));
}

TEST(SheetPicture, PicturesAreTransparentAndFillsSpreadOverWhitePaper) {
  ink::StrokeDocument doc(1024, 718);
  AddStrokes(doc, 1);
  auto pic = std::make_unique<Bitmap24>(20, 10, gfx::kWhite);
  pic->FillRect({0, 0, 10, 10}, 0x0000FF00);
  doc.AddPicture(600, 600, std::move(pic));
  doc.AddFill(0x00FF0000, 900, 100);
  SheetInputs in;
  in.live = &doc;
  Result<Bitmap24> picture = RenderSheetPicture(2048, 1436, in);  // s = 2
  ASSERT_TRUE(picture.Ok());
  const Bitmap24& p = picture.Value();
  EXPECT_EQ(p.Pixel(1205, 1205), 0x0000FF00u);
  // The fill took every white work pixel connected to the seed, the picture's white too.
  EXPECT_EQ(p.Pixel(1230, 1205), 0x00FF0000u);
  EXPECT_EQ(p.Pixel(0, 0), 0x00FF0000u);
  EXPECT_EQ(p.Pixel(2047, 1435), 0x00FF0000u);
  EXPECT_EQ(p.Pixel(300, 600), gfx::kBlack);
}

TEST(SheetPicture, GridScaledByThePictureWidth) {
  SheetInputs in;
  in.grid_shown = true;  // the initial layout: 250 cells from (11, 109)
  Result<Bitmap24> picture = RenderSheetPicture(2048, 1436, in);
  ASSERT_TRUE(picture.Ok());
  const Bitmap24& p = picture.Value();
  // cw = 500, gl = 22, gt = 218: a one-pixel pen over work columns around 4 * 22.
  auto gridish = [&](int x, int y) { return p.Pixel(x, y) != gfx::kWhite; };
  EXPECT_TRUE(gridish(21, 600) || gridish(22, 600));
  EXPECT_TRUE(gridish(521, 600) || gridish(522, 600));
  EXPECT_FALSE(gridish(25, 600));
  EXPECT_FALSE(gridish(19, 600));
  EXPECT_TRUE(gridish(600, 217) || gridish(600, 218));
  EXPECT_FALSE(gridish(600, 300));
  // Lines are pale red: red stays at 255.
  const gfx::Color c = gridish(22, 600) ? p.Pixel(22, 600) : p.Pixel(21, 600);
  EXPECT_EQ(gfx::RedOf(c), 255);
  EXPECT_LT(gfx::GreenOf(c), 255);
}

TEST(SheetPicture, SizesThatCannotWorkAreRefused) {
  SheetInputs in;
  for (auto [w, h] : {std::pair{0, 718}, {1024, 0}, {-1, 5}, {8193, 10}, {8000, 8000}}) {
    Result<Bitmap24> r = RenderSheetPicture(w, h, in);
    EXPECT_FALSE(r.Ok()) << w << " x " << h;
    EXPECT_NE(r.ErrorText().find("picture"), std::string::npos) << r.ErrorText();
  }
  in.paper_width = 0;
  EXPECT_FALSE(RenderSheetPicture(1024, 718, in).Ok());
  EXPECT_TRUE(RenderSheetPicture(1, 1, SheetInputs{}).Ok());
}

TEST(SheetPicture, EntriesWithAbsurdValuesAreClippedNotOverflowed) {
  ink::StrokeDocument doc(1024, 718);
  doc.AddSample(1e30f, -1e30f, 1e30f);
  doc.AddSample(std::nanf(""), 5, 3);
  doc.AddSample(5, 5, 0);
  doc.AddPicture(2147483647, -2147483647, std::make_unique<Bitmap24>(3, 3, gfx::kBlack));
  doc.AddStampEntry(std::make_unique<Bitmap24>(3, 3, gfx::kBlack), 3e38f, 0, 3e38f, 1e-30f);
  doc.AddFill(0x00FF0000, -1e20f, 1e20f);
  SheetInputs in;
  in.live = &doc;
  EXPECT_TRUE(RenderSheetPicture(300, 200, in).Ok());
  in.grid = {65535, 65535, 65535, 65535, 65535, 65535};
  in.grid_shown = true;
  EXPECT_TRUE(RenderSheetPicture(300, 200, in).Ok());
}

#if defined(__SANITIZE_ADDRESS__)
#define ZEVO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEVO_UNDER_ASAN 1
#endif
#endif

TEST(SheetPicture, WorkBitmapThatCannotBeAllocatedIsAnError) {
#ifdef ZEVO_UNDER_ASAN
  GTEST_SKIP() << "the sanitizer's allocator aborts instead of failing an allocation";
#else
  // In a child whose address space is capped well below the 564 MB work bitmap of 4096 x 2872:
  // drawn at once (as a sheet with a fill is) it is refused; drawn in bands it fits.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = rlim_t(256) << 20;
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(3);
    ink::StrokeDocument doc(1024, 718);
    doc.AddSample(10, 10, 5);
    doc.AddSample(0, 0, 0);
    SheetInputs in;
    in.live = &doc;
    Result<Bitmap24> banded = RenderSheetPicture(4096, 2872, in);
    if (!banded.Ok()) _exit(2);
    banded = Result<Bitmap24>::Error("released");
    Result<Bitmap24> r = RenderSheetPictureInBands(4096, 2872, in, 2872);
    const bool refused = !r.Ok() && r.ErrorText().find("memory") != std::string::npos;
    if (!refused) _exit(1);
    doc.AddFill(gfx::kBlack, 500, 500);
    r = RenderSheetPicture(4096, 2872, in);
    _exit(!r.Ok() && r.ErrorText().find("memory") != std::string::npos ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "the child crashed";
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

}  // namespace
}  // namespace zevo::output
