#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "seals/bg_dialog.h"
#include "tests/gfx/sample_pictures.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

using gfx::Bitmap24;
using platform::DialogModel;
using platform::ScriptedUi;
using seals::TBGDialog;
using test::TestWindow;

// The writer in the dialog: a kind, a file through its "Load..." button, and for an image the
// fit and transparency; then OK.
void QueueChoice(TestWindow& t, int kind, const std::string& file, int fit = 0,
                 int transparency = 0) {
  t.ui.QueueOpenFile(file);
  t.ui.QueueDialog([&t, kind, fit, transparency](DialogModel& m) {
    auto& d = static_cast<TBGDialog&>(m);
    d.FormActivate();
    if (kind == seals::kKindTexture) {
      d.RadioButton2Click();
      d.Button2Click(t.ui);
    } else {
      d.RadioButton3Click();
      d.Button1Click(t.ui);
      d.FitButtonClick(fit);
      d.ComboBox1Change(transparency);
    }
    d.OKBtnClick();
    return true;
  });
}

bool AllWhite(const Bitmap24& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) != gfx::kWhite) return false;
  return true;
}

TEST(NewPaper, TextureUnderTheKeptHistory) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  t.Stroke({{200, 200}, {260, 230}, {320, 250}});
  t.Stroke({{500, 300}, {520, 400}});
  ASSERT_EQ(w.Document().Count(), 2);
  const gfx::Color ink_at = w.views.Page().Pixel(260, 230);
  ASSERT_LT(ink_at & 0xFF, 0x80u);

  const Bitmap24 tile = gfx::testing::AsymmetricPicture(64, 64);
  std::filesystem::create_directories(t.folder / "Texture");
  const std::string file = (t.folder / "Texture" / "tile.bmp").string();
  ASSERT_TRUE(gfx::SaveBmpFile(tile, file, nullptr));

  // From the control panel's "Paper" button; the open dialog starts in the texture folder.
  QueueChoice(t, seals::kKindTexture, file);
  w.ShowControlExecute();
  t.Click("NewPaper");
  EXPECT_EQ(t.ui.unanswered, 0);
  ASSERT_EQ(t.ui.Count(ScriptedUi::Kind::OpenFile), 1);
  EXPECT_EQ(t.ui.calls[1].folder, (t.folder / "Texture").string() + "/");

  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundTexture);
  EXPECT_EQ(w.Document().Count(), 2);
  EXPECT_EQ(w.Document().Position(), 2);
  // The document keeps its own copy, not lightened, with mode and fit.
  ASSERT_NE(w.Document().Background(), nullptr);
  EXPECT_TRUE(w.Document().Background()->SamePixels(tile));
  EXPECT_EQ(w.Document().BackgroundA(), seals::kBackgroundTexture);
  // 64 x 64 tiles cover the page and the overview at natural size.
  for (int y : {0, 100, 717})
    for (int x : {5, 700, 1023})
      EXPECT_EQ(w.sheet.PaperPage().Pixel(x, y), tile.Pixel(x % 64, y % 64)) << x << "," << y;
  EXPECT_EQ(w.sheet.PaperOverview().Pixel(255, 179), tile.Pixel(255 % 64, 179 % 64));
  // The views show the texture beside the ink, and the ink over it.
  EXPECT_EQ(w.views.Page().Pixel(700, 100), tile.Pixel(700 % 64, 100 % 64));
  EXPECT_EQ(w.views.Page().Pixel(5, 700), tile.Pixel(5, 700 % 64));
  EXPECT_EQ(w.views.Page().Pixel(260, 230), ink_at);
  EXPECT_EQ(w.views.Overview().Pixel(250, 20), tile.Pixel(250 % 64, 20));

  // Stepping back to the start shows the bare paper.
  w.GotoFirstExecute();
  EXPECT_EQ(w.views.Page().Pixel(260, 230), tile.Pixel(260 % 64, 230 % 64));
}

TEST(NewPaper, LightenedImageFullPage) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  Bitmap24 black(32, 16, gfx::kBlack);
  const std::string file = (t.folder / "dark.BMP").string();
  ASSERT_TRUE(gfx::SaveBmpFile(black, file, nullptr));
  QueueChoice(t, seals::kKindImage, file, seals::kFitFull, seals::kLighten75);
  w.NewPaperExecute();
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundImage);
  EXPECT_EQ(w.sheet.background.fit, seals::kFitFull);
  EXPECT_EQ(w.Document().BackgroundA(), seals::kBackgroundImage);
  EXPECT_EQ(w.Document().BackgroundB(), seals::kFitFull);
  ASSERT_NE(w.Document().Background(), nullptr);
  EXPECT_EQ(w.Document().Background()->Pixel(0, 0), gfx::Rgb(191, 191, 191));
  // Stretched over the whole page.
  EXPECT_EQ(w.views.Page().Pixel(0, 0), gfx::Rgb(191, 191, 191));
  EXPECT_EQ(w.views.Page().Pixel(1023, 717), gfx::Rgb(191, 191, 191));

  // Back to white: the document forgets its background.
  t.ui.QueueDialog([](DialogModel& m) {
    static_cast<TBGDialog&>(m).RadioButton1Click();
    static_cast<TBGDialog&>(m).OKBtnClick();
    return true;
  });
  w.NewPaperExecute();
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundNone);
  EXPECT_EQ(w.Document().Background(), nullptr);
  EXPECT_EQ(w.Document().BackgroundA(), 0);
  EXPECT_TRUE(AllWhite(w.views.Page()));
}

TEST(NewPaper, CancelAndDamagedFiles) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  t.Stroke({{300, 300}, {340, 320}});
  const Bitmap24 tile = gfx::testing::AsymmetricPicture(10, 6);
  const std::string good = (t.folder / "good.jpg").string();
  ASSERT_TRUE(gfx::SaveJpegFile(tile, good, 90, nullptr));
  QueueChoice(t, seals::kKindTexture, good);
  w.NewPaperExecute();
  ASSERT_EQ(w.sheet.background.mode, seals::kBackgroundTexture);
  const Bitmap24 before = w.views.Page();

  // Cancel, or the window's close button: nothing changes.
  t.ui.QueueDialog([](DialogModel& m) {
    static_cast<TBGDialog&>(m).RadioButton1Click();
    static_cast<TBGDialog&>(m).CancelBtnClick();
    return false;
  });
  w.NewPaperExecute();
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundTexture);
  EXPECT_TRUE(w.views.Page().SamePixels(before));
  EXPECT_EQ(w.bg_dialog->kind_button, seals::kKindTexture);

  // A damaged picture: the error names the file, the paper becomes white, the history stays.
  const std::string bad = (t.folder / "broken.jpg").string();
  std::ofstream(bad, std::ios::binary) << "\xFF\xD8\xFF\xE0 not a picture";
  QueueChoice(t, seals::kKindTexture, bad);
  w.NewPaperExecute();
  ASSERT_EQ(t.ui.Errors().size(), 1u);
  EXPECT_NE(t.ui.Errors()[0].find("\"" + bad + "\""), std::string::npos) << t.ui.Errors()[0];
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundNone);
  EXPECT_EQ(w.Document().Background(), nullptr);
  EXPECT_TRUE(AllWhite(w.sheet.PaperPage()));
  EXPECT_EQ(w.Document().Count(), 1);
  EXPECT_LT(w.views.Page().Pixel(320, 310) & 0xFF, 0x80u);  // the ink is still there
  EXPECT_EQ(w.views.Page().Pixel(900, 600), gfx::kWhite);

  // A file that is not there says so the same way.
  const std::string missing = (t.folder / "gone.bmp").string();
  QueueChoice(t, seals::kKindImage, missing);
  w.NewPaperExecute();
  ASSERT_EQ(t.ui.Errors().size(), 2u);
  EXPECT_NE(t.ui.Errors()[1].find(missing), std::string::npos) << t.ui.Errors()[1];
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundNone);
}

}  // namespace
}  // namespace zevo::app
