// Seals from the running window: chosen, carried, pressed into the history, and cut out of the
// page as new seal files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "output/sheet_picture.h"
#include "seals/stamp_dlg.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using gfx::Bitmap24;
using platform::DialogModel;
using platform::ScriptedUi;
using test::TestWindow;

// A seal with a red mark in its middle on white, its corners white.
Bitmap24 RedSeal(int w, int h) {
  Bitmap24 b(w, h, gfx::kWhite);
  for (int y = h / 4; y < h - h / 4; ++y)
    for (int x = w / 4; x < w - w / 4; ++x) b.SetPixel(x, y, gfx::Rgb(200, 0, 0));
  return b;
}

// The writer in the chooser: the first seal, at the preview size the test asks for.
void QueueChooseFirst(TestWindow& t, int preview_size = 40) {
  t.ui.QueueDialog([preview_size](DialogModel& m) {
    auto& d = static_cast<seals::TStampDlg&>(m);
    d.FormActivate();
    if (d.thumbnails.empty()) return false;
    d.ThumbnailClick(0);
    while (d.preview_size < preview_size) d.FormMouseUp(400, 330);
    while (d.preview_size > preview_size) d.FormMouseUp(400, 370);
    d.PreviewClick();
    return d.result != nullptr;
  });
}

class Seals : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t.win) << t.error;
    stamps = t.folder / "Stamp";
    fs::create_directories(stamps);
  }
  TestWindow t;
  fs::path stamps;
};

TEST_F(Seals, APressedSealIsAStampEntryInPaperPixels) {
  TZevo3Win& w = *t.win;
  ASSERT_TRUE(gfx::SaveBmpFile(RedSeal(80, 60), (stamps / "seal.bmp").string(), nullptr));
  w.SetZoomExecute(1);  // 200 %, view origin where the zoom put it
  const ink::PageView v = w.views.Transform();
  ASSERT_EQ(v.z, 2.0f);

  QueueChooseFirst(t, 40);
  w.ShowControlExecute();
  t.Click("AddStamp");
  EXPECT_EQ(t.ui.unanswered, 0);
  ASSERT_TRUE(w.stamp_dragging);
  const workspace::StretchedImage& seal = w.panels.ImgStamp;
  EXPECT_TRUE(seal.visible);
  EXPECT_EQ(seal.width, 40);
  EXPECT_EQ(seal.height, 30);
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  EXPECT_FALSE(w.panels.ZoomPanel.visible);

  // Carried: its centre follows the pointer over the page, and over the seal itself.
  w.MouseMove(300, 200);
  EXPECT_EQ(seal.left, 280);
  EXPECT_EQ(seal.top, 185);
  w.MouseMove(310, 205);  // over the seal now
  EXPECT_EQ(seal.left, 290);
  EXPECT_EQ(seal.top, 190);
  w.MouseMove(120, 75);  // left 100, top 60
  ASSERT_EQ(seal.left, 100);
  ASSERT_EQ(seal.top, 60);

  w.MouseDown(120, 75);
  w.MouseUp(120, 75);
  EXPECT_FALSE(w.stamp_dragging);
  EXPECT_FALSE(seal.visible);
  EXPECT_TRUE(w.pen.enabled);
  ASSERT_EQ(w.Document().Count(), 1);
  const ink::Stroke& e = *w.Document().Entry(0);
  EXPECT_EQ(e.kind, ink::StrokeKind::Stamp);
  EXPECT_FLOAT_EQ(e.x, 100 / 2.0f + v.ox);
  EXPECT_FLOAT_EQ(e.y, 60 / 2.0f + v.oy);
  EXPECT_FLOAT_EQ(e.width, 20);
  EXPECT_FLOAT_EQ(e.height, 15);
  EXPECT_EQ(w.player.bar.position, 1);
  EXPECT_EQ(w.player.bar.max, 1);
  // On the page: red in the middle.
  EXPECT_EQ(w.views.Page().Pixel(120, 75), gfx::Rgb(200, 0, 0));
}

TEST_F(Seals, ASealsWhiteHidesNothingOnScreenInTheExportOrInPrint) {
  TZevo3Win& w = *t.win;
  // A seal whose lower-left corner is red: its white is still paper.
  Bitmap24 seal = RedSeal(40, 40);
  for (int y = 0; y < 40; ++y) seal.SetPixel(0, y, gfx::Rgb(200, 0, 0));
  seal.SetPixel(0, 39, gfx::Rgb(200, 0, 0));
  ASSERT_TRUE(gfx::SaveBmpFile(seal, (stamps / "corner.bmp").string(), nullptr));
  // A stroke under where the seal's white top band will lie.
  t.Stroke({{100, 205}, {200, 205}}, 1023);
  const gfx::Color ink = w.views.Page().Pixel(150, 205);
  ASSERT_NE(ink, gfx::kWhite);

  QueueChooseFirst(t, 40);
  w.AddStampExecute();
  w.MouseMove(150, 220);  // the seal spans 130..170 x 200..240
  w.MouseDown(150, 220);
  ASSERT_EQ(w.Document().Count(), 2);
  EXPECT_EQ(w.views.Page().Pixel(150, 205), ink);  // the white band hides nothing
  EXPECT_EQ(w.views.Page().Pixel(150, 220), gfx::Rgb(200, 0, 0));

  // The same after a full redraw, in the export and in print.
  w.FullRedraw();
  EXPECT_EQ(w.views.Page().Pixel(150, 205), ink);
  auto picture = output::RenderSheetPicture(1024, 718, w.SheetToRender());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.Value().Pixel(150, 205), ink);
  EXPECT_EQ(picture.Value().Pixel(150, 220), gfx::Rgb(200, 0, 0));
  auto printer = std::make_unique<platform::ScriptedPrinter>(4096, 2872);
  auto log = printer->GetLog();
  t.ui.QueuePrinter(std::move(printer));
  w.PrintPicExecute();
  ASSERT_EQ(log->stretches.size(), 1u);
  const Bitmap24& work = log->stretches[0].copy;
  EXPECT_NE(work.Pixel(4 * 150 + 2, 4 * 205 + 2), gfx::kWhite);
  EXPECT_EQ(work.Pixel(4 * 150 + 2, 4 * 220 + 2), gfx::Rgb(200, 0, 0));
}

TEST_F(Seals, ViewOnlyRefusesSealsUntilPositionZero) {
  TZevo3Win& w = *t.win;
  ASSERT_TRUE(gfx::SaveBmpFile(RedSeal(40, 40), (stamps / "s.bmp").string(), nullptr));
  t.Stroke({{100, 100}, {200, 100}});
  w.player.view_only = true;
  w.AddStampExecute();
  EXPECT_EQ(t.ui.Messages(), (std::vector<std::string>{"message 15"}));
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::ShowModal), 0);
  w.GotoFirstExecute();
  QueueChooseFirst(t);
  w.AddStampExecute();
  ASSERT_TRUE(w.stamp_dragging);
  w.MouseMove(400, 400);
  w.MouseDown(400, 400);
  EXPECT_FALSE(w.player.view_only);
  EXPECT_EQ(w.Document().Count(), 1);
  // Closing the chooser without a seal places nothing.
  w.AddStampExecute();
  EXPECT_FALSE(w.stamp_dragging);
  EXPECT_FALSE(w.panels.ImgStamp.visible);
}

TEST_F(Seals, CapturedMarksBecomeTheNextSealFile) {
  TZevo3Win& w = *t.win;
  ASSERT_TRUE(gfx::SaveBmpFile(RedSeal(10, 10), (stamps / "Stamp01.BMP").string(), nullptr));
  ASSERT_TRUE(gfx::SaveBmpFile(RedSeal(10, 10), (stamps / "Stamp02.BMP").string(), nullptr));
  // A stroke touching the top edge of the page.
  t.Stroke({{300, 0}, {300, 40}, {340, 60}}, 1023);
  w.SaveStampExecute();
  auto captured = gfx::LoadBmpFile((stamps / "Stamp03.BMP").string());
  ASSERT_TRUE(captured) << captured.ErrorText();
  const Bitmap24& work = w.views.ViewRenderer().Work();
  // The top row of the work bitmap is in it; its size is the marks' at four times the page.
  bool top_row_marked = false;
  for (int x = 0; x < captured.Value().Width(); ++x)
    top_row_marked |= captured.Value().Pixel(x, 0) != gfx::kWhite;
  EXPECT_TRUE(top_row_marked);
  EXPECT_GT(captured.Value().Width(), 4 * 40);
  EXPECT_LT(captured.Value().Width(), 4 * 120);
  EXPECT_LT(captured.Value().Height(), work.Height() / 4);
  EXPECT_EQ(w.Document().Count(), 1);  // the history is not changed

  // The capture button saves and opens the chooser with the new seal listed.
  t.ui.QueueDialog([](DialogModel& m) {
    auto& d = static_cast<seals::TStampDlg&>(m);
    d.FormActivate();
    EXPECT_EQ(d.thumbnails.size(), 4u);
    EXPECT_TRUE(d.FormMouseUp(400, 200));  // the close area: no seal
    return false;
  });
  w.ShowControlExecute();
  t.Click("CaptureStamp");
  EXPECT_TRUE(fs::exists(stamps / "Stamp04.BMP"));
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::ShowModal), 1);
  EXPECT_FALSE(w.stamp_dragging);
}

TEST_F(Seals, AWhiteSheetIsCapturedWhole) {
  t.win->SaveStampExecute();
  auto captured = gfx::LoadBmpFile((stamps / "Stamp01.BMP").string());
  ASSERT_TRUE(captured) << captured.ErrorText();
  EXPECT_EQ(captured.Value().Width(), 4096);
  EXPECT_EQ(captured.Value().Height(), 2872);
}

TEST_F(Seals, ASealThatCannotBeWrittenIsTold) {
  fs::remove_all(stamps);
  std::ofstream(stamps) << "a file where the folder should be";
  t.Stroke({{300, 100}, {300, 140}});
  t.win->SaveStampExecute();
  EXPECT_EQ(t.ui.Errors().size(), 1u);
}

}  // namespace
}  // namespace zevo::app
