// Zevo 3 started by another program: the command line, and the files delivered at close.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/save_rules.h"
#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "gfx/jpeg_file.h"
#include "tests/gfx/sample_pictures.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using platform::ScriptedUi;
using test::TestWindow;
using test::TestWindowOptions;

// A stroke file another author wrote, protected against others opening or editing it.
std::string WriteForeignFile(const fs::path& folder, const std::string& name,
                             const files::CodecBinding& codec) {
  ink::StrokeDocument d(1024, 718);
  for (int i = 0; i <= 20; ++i) d.AddSample(100.0f + float(i) * 10, 300, 6);
  d.AddSample(300, 300, 0);
  d.protection = 0xFFFFFFFCu;
  const std::string path = (folder / name).string();
  EXPECT_EQ(files::WriteStrokeFile(d, path, 1, "stone", "Mi Fu", codec), 0);
  return path;
}

TEST(CommandLine, SwitchesSetTheBrushTheInkAndTheDeliveries) {
  TestWindowOptions o;
  o.arguments = {"/p:25",        "/c:255",     "/w:2048", "/h:1436",
                 "/o:page.jpeg", "/s:out.stk", "/u:1",    "/z:1"};
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  EXPECT_FLOAT_EQ(t.win->pen.brush_size, 2.5f);
  EXPECT_EQ(t.win->pen.ink_color, 0x000000FFu);
  EXPECT_EQ(t.win->export_width, 2048);
  EXPECT_EQ(t.win->export_height, 1436);
  EXPECT_EQ(t.win->close_picture_path, "page.jpeg");
  EXPECT_EQ(t.win->close_stroke_path, "out.stk");
  EXPECT_TRUE(t.ui.calls.empty());
}

TEST(CommandLine, PathsFromTheRootAreFilesNotSwitches) {
  TestWindowOptions o;
  o.arguments = {"/tmp/zevo-no-such-folder/a.stk", "/p:20"};
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  ASSERT_EQ(t.ui.Messages().size(), 1u);  // cannot be opened, and says so
  EXPECT_NE(t.ui.Messages()[0].find("/tmp/zevo-no-such-folder/a.stk"), std::string::npos);
  EXPECT_FLOAT_EQ(t.win->pen.brush_size, 2.0f);
}

TEST(CommandLine, AShortSwitchOrABadNumberEndsTheLine) {
  {
    TestWindowOptions o;
    o.arguments = {"/p:30", "/x", "missing.stk", "/p:40"};
    TestWindow t(o);
    ASSERT_TRUE(t.win) << t.error;
    t.win->FormCreate();
    EXPECT_FLOAT_EQ(t.win->pen.brush_size, 3.0f);
    EXPECT_TRUE(t.ui.Messages().empty());  // the file after "/x" is not opened
  }
  {
    TestWindowOptions o;
    o.arguments = {"/w:12a", "/h:500"};
    TestWindow t(o);
    ASSERT_TRUE(t.win) << t.error;
    t.win->FormCreate();
    EXPECT_EQ(t.ui.Errors().size(), 1u);
    EXPECT_EQ(t.win->export_width, 1024);
    EXPECT_EQ(t.win->export_height, 718);
  }
  {
    // A brush that would cover the sheet is refused; the line goes on.
    TestWindowOptions o;
    o.arguments = {"/p:999999", "/c:65280"};
    TestWindow t(o);
    ASSERT_TRUE(t.win) << t.error;
    t.win->FormCreate();
    EXPECT_EQ(t.ui.Errors().size(), 1u);
    EXPECT_FLOAT_EQ(t.win->pen.brush_size, 10.0f);
    EXPECT_EQ(t.win->pen.ink_color, 0x0000FF00u);
  }
}

TEST(CommandLine, AnotherAuthorsFileOpensWithoutViewOnly) {
  TestWindow maker;
  ASSERT_TRUE(maker.win) << maker.error;
  fs::path files = maker.folder / "files";
  fs::create_directories(files);
  const std::string path = WriteForeignFile(files, "theirs.stk", *maker.win->codec);
  TestWindowOptions o;
  o.arguments = {path};
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  EXPECT_TRUE(t.ui.Messages().empty());
  EXPECT_EQ(t.win->Document().Count(), 1);
  EXPECT_EQ(t.win->player.bar.position, 1);
  EXPECT_FALSE(t.win->player.view_only);
  EXPECT_NE(t.win->views.Page().Pixel(200, 300), gfx::kWhite);
  // No offer to restore earlier writing: the caller's file is what is continued.
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::AskOkCancel), 0);
}

TEST(CommandLine, ADamagedFileIsNamed) {
  TestWindow maker;
  ASSERT_TRUE(maker.win);
  const fs::path bad = maker.folder / "bad.stk";
  std::ofstream(bad) << "zvRD and then nothing that decodes";
  TestWindowOptions o;
  o.arguments = {bad.string()};
  TestWindow t(o);
  ASSERT_TRUE(t.win);
  t.win->FormCreate();
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  EXPECT_NE(t.ui.Messages()[0].find(bad.string()), std::string::npos);
}

TEST(CommandLine, ABackgroundFileBecomesCentredPaper) {
  TestWindow maker;
  ASSERT_TRUE(maker.win);
  const std::string image = (maker.folder / "paper.bmp").string();
  ASSERT_TRUE(gfx::SaveBmpFile(gfx::testing::AsymmetricPicture(200, 100), image, nullptr));
  TestWindowOptions o;
  o.arguments = {"/b:" + image};
  TestWindow t(o);
  ASSERT_TRUE(t.win);
  t.win->FormCreate();
  TZevo3Win& w = *t.win;
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundImage);
  EXPECT_EQ(w.sheet.background.fit, seals::kFitCentre);
  EXPECT_EQ(w.Document().BackgroundA(), seals::kBackgroundImage);
  EXPECT_EQ(w.bg_dialog->picked_image_file, image);
  EXPECT_EQ(w.bg_dialog->fit_button, seals::kFitCentre);
  // Centred: the middle of the page is the picture, the corner is white.
  EXPECT_NE(w.views.Page().Pixel(512, 359), gfx::kWhite);
  EXPECT_EQ(w.views.Page().Pixel(5, 5), gfx::kWhite);
}

TEST(CloseTime, TheCallingProgramGetsThePictureAndTheWriting) {
  TestWindow maker;
  ASSERT_TRUE(maker.win);
  const fs::path out = maker.folder / "out";
  fs::create_directories(out);
  TestWindowOptions o;
  o.arguments = {"/w:2048", "/h:1436", "/o:" + (out / "page.jpg").string(),
                 "/s:" + (out / "out.stk").string()};
  TestWindow t(o);
  ASSERT_TRUE(t.win);
  TZevo3Win& w = *t.win;
  w.FormCreate();
  t.Stroke({{200, 200}, {300, 260}});
  w.FormCloseQuery();
  EXPECT_EQ(w.exit_status, 0);
  EXPECT_TRUE(t.ui.Messages().empty());
  auto jpeg = gfx::LoadJpegFile((out / "page.jpg").string());
  ASSERT_TRUE(jpeg) << jpeg.ErrorText();
  EXPECT_EQ(jpeg.Value().Width(), 2048);
  EXPECT_EQ(jpeg.Value().Height(), 1436);
  ink::StrokeDocument back(1024, 718);
  ASSERT_EQ(files::ReadStrokeFile(back, (out / "out.stk").string(), w.codec.get()), 0);
  EXPECT_EQ(back.Count(), 1);
  EXPECT_TRUE(files::SameAuthor(back, "", ""));  // no author or password
  // Delivered: nothing left to recover.
  EXPECT_FALSE(fs::exists(t.RecoveryPath()));
}

TEST(CloseTime, AFileThatCannotBeWrittenIsToldAndTheStatusSaysSo) {
  TestWindow maker;
  ASSERT_TRUE(maker.win);
  const fs::path out = maker.folder / "out";
  fs::create_directories(out);
  TestWindowOptions o;
  o.arguments = {"/o:" + (out / "page.jpeg").string(),
                 "/s:" + (out / "missing" / "out.stk").string()};
  TestWindow t(o);
  ASSERT_TRUE(t.win);
  TZevo3Win& w = *t.win;
  w.FormCreate();
  t.Stroke({{200, 200}, {300, 260}});
  w.FormCloseQuery();
  EXPECT_NE(w.exit_status, 0);
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  EXPECT_NE(t.ui.Messages()[0].find("missing"), std::string::npos);
  EXPECT_FALSE(fs::exists(out / "missing"));
  // The picture was still delivered, as BMP data under its ".jpeg" name.
  auto bmp = gfx::LoadBmpFile((out / "page.jpeg").string());
  EXPECT_TRUE(bmp) << bmp.ErrorText();
  // The writing is kept for the writer.
  EXPECT_TRUE(fs::exists(t.RecoveryPath()));
}

}  // namespace
}  // namespace zevo::app
