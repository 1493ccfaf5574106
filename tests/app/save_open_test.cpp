// Saving and opening stroke files from the running window, the trace model, and what an opened
// file brings: its author's protection, its paper and its grid.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/save_rules.h"
#include "files/save_stk_dlg.h"
#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "settings/login_dlg.h"
#include "tests/gfx/sample_pictures.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using gfx::Bitmap24;
using platform::DialogModel;
using platform::ScriptedUi;
using test::TestWindow;
using test::TestWindowOptions;

// The writer in the save options dialog: activation as the view does it, then the choices.
void QueueSaveOptions(TestWindow& t, int track_bar = 3, bool may_open = true,
                      bool may_edit = true) {
  t.ui.QueueDialog([=](DialogModel& m) {
    auto& d = static_cast<files::TSaveStkDlg&>(m);
    d.FormActivate();
    d.TrackBar1Change(track_bar);
    d.CheckBox1Click(may_open);
    d.CheckBox2Click(may_edit);
    d.OKBtnClick();
    return true;
  });
}

void Save(TestWindow& t, const std::string& name) {
  t.ui.QueueSaveFile(name);
  QueueSaveOptions(t);
  t.win->DataSaveExecute();
}

void Open(TestWindow& t, const std::string& name) {
  t.ui.QueueOpenFile(name);
  t.win->DataOpenExecute();
}

void WriteSomeStrokes(TestWindow& t) {
  fs::create_directories(t.folder / "Save");
  t.Stroke({{200, 200}, {260, 230}, {320, 250}});
  t.Stroke({{500, 300}, {520, 400}, {560, 420}});
  t.Stroke({{700, 100}, {650, 160}});
}

// A file as another program (or author) wrote it.
std::string WriteFile(TestWindow& t, const std::string& name, ink::StrokeDocument& d,
                      const std::string& author, const std::string& password) {
  const std::string path = (t.folder / "Save" / name).string();
  fs::create_directories(t.folder / "Save");
  EXPECT_EQ(files::WriteStrokeFile(d, path, 1, password, author, *t.win->codec), 0);
  return path;
}

void AddStroke(ink::StrokeDocument& d, float x0, float y0, float x1, float y1) {
  for (int i = 0; i <= 20; ++i)
    d.AddSample(x0 + (x1 - x0) * float(i) / 20, y0 + (y1 - y0) * float(i) / 20, 6);
  d.AddSample(x1, y1, 0);
}

bool IsWhite(gfx::Color c) {
  return c == gfx::kWhite;
}

TEST(SaveOpen, SavedWritingComesBackPixelForPixel) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  ASSERT_EQ(w.Document().Count(), 3);
  const Bitmap24 page = w.views.Page();
  const Bitmap24 overview = w.views.Overview();

  // From the control panel; the dialog starts in the save folder and proposes the first free
  // name; a name without the extension gets it.
  t.ui.QueueSaveFile((t.folder / "Save" / "sheet").string());
  QueueSaveOptions(t);
  w.ShowControlExecute();
  t.Click("DataSave");
  EXPECT_EQ(t.ui.unanswered, 0);
  const ScriptedUi::Call& dialog = t.ui.calls.at(0);
  EXPECT_EQ(dialog.kind, ScriptedUi::Kind::SaveFile);
  EXPECT_EQ(dialog.caption, "message 10");
  EXPECT_EQ(dialog.filter, "message 8|*.stk");
  EXPECT_EQ(dialog.folder, (t.folder / "Save").string() + "/");
  EXPECT_EQ(dialog.text, (t.folder / "Save" / "Untitled01.stk").string());
  const fs::path saved = t.folder / "Save" / "sheet.stk";
  ASSERT_TRUE(fs::exists(saved));
  EXPECT_TRUE(t.ui.Messages().empty());

  w.WriteClearExecute();
  EXPECT_EQ(w.Document().Count(), 0);
  t.ui.calls.clear();
  Open(t, saved.string());
  EXPECT_EQ(t.ui.calls.at(0).caption, "message 6");
  EXPECT_EQ(t.ui.calls.at(0).filter, "message 8|*.stk|message 9|*.*");
  EXPECT_TRUE(t.ui.Messages().empty());
  EXPECT_EQ(w.Document().Count(), 3);
  EXPECT_EQ(w.Document().Position(), 3);
  EXPECT_EQ(w.player.bar.position, 3);
  EXPECT_EQ(w.player.bar.max, 3);
  EXPECT_FALSE(w.player.view_only);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
  EXPECT_TRUE(w.views.Overview().SamePixels(overview));
}

TEST(SaveOpen, ProposedNamesAndTheExtensionRule) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  WriteSomeStrokes(t);
  const fs::path folder = t.folder / "Save";
  Save(t, (folder / "Untitled01.stk").string());
  Save(t, (folder / "a.txt").string());
  Save(t, (folder / "b.Stk").string());
  EXPECT_TRUE(fs::exists(folder / "a.txt.stk"));
  EXPECT_TRUE(fs::exists(folder / "b.Stk"));
  EXPECT_FALSE(fs::exists(folder / "b.Stk.stk"));
  const auto proposed = t.ui.Texts(ScriptedUi::Kind::SaveFile);
  EXPECT_EQ(proposed[1], (folder / "Untitled02.stk").string());
  // Cancelling either dialog writes nothing.
  t.ui.QueueSaveFile((folder / "c.stk").string());
  t.win->DataSaveExecute();
  t.win->DataSaveExecute();
  EXPECT_FALSE(fs::exists(folder / "c.stk"));
}

TEST(SaveOpen, AFailedSaveSaysWhyAndKeepsThePreviousFile) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  WriteSomeStrokes(t);
  const fs::path good = t.folder / "Save" / "keep.stk";
  Save(t, good.string());
  const auto before = fs::file_size(good);

  Save(t, (t.folder / "no such folder" / "x.stk").string());
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  const std::string message = t.ui.Messages()[0];
  EXPECT_EQ(message.rfind("message 1\n\n", 0), 0u) << message;
  EXPECT_NE(message.find("no such folder"), std::string::npos) << message;
  EXPECT_EQ(message.find("brush"), std::string::npos);  // the password stays out

  // A folder where the file should be: refused, and the folder is untouched.
  fs::create_directories(t.folder / "Save" / "dir.stk");
  Save(t, (t.folder / "Save" / "dir.stk").string());
  EXPECT_EQ(t.ui.Messages().size(), 2u);
  EXPECT_TRUE(fs::is_directory(t.folder / "Save" / "dir.stk"));
  EXPECT_EQ(fs::file_size(good), before);
}

TEST(SaveOpen, SavingLetsTheRecoveryFileGo) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  WriteSomeStrokes(t);
  t.win->FormDeactivate();  // writes the recovery file at once
  ASSERT_TRUE(fs::exists(t.RecoveryPath()));
  Save(t, (t.folder / "Save" / "s.stk").string());
  EXPECT_FALSE(fs::exists(t.RecoveryPath()));
}

TEST(SaveOpen, AnotherAuthorsProtectionIsApplied) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  ink::StrokeDocument d(1024, 718);
  AddStroke(d, 100, 100, 300, 300);
  AddStroke(d, 400, 100, 600, 300);

  // The writer's own files open whatever their protection.
  d.protection = 0xFFFFFFFCu;
  Open(t, WriteFile(t, "mine.stk", d, "Test Writer", "brush"));
  EXPECT_EQ(w.Document().Count(), 2);
  EXPECT_TRUE(t.ui.Messages().empty());

  // Not to be opened by others: nothing of it remains.
  Open(t, WriteFile(t, "closed.stk", d, "Mi Fu", "stone"));
  EXPECT_EQ(t.ui.Messages(), (std::vector<std::string>{"message 11"}));
  EXPECT_EQ(w.Document().Count(), 0);
  EXPECT_EQ(w.player.bar.max, 0);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(200, 200)));

  // To be viewed only: shown, but not saved while it is shown.
  d.protection = 0xFFFFFFFDu;
  Open(t, WriteFile(t, "view.stk", d, "Mi Fu", "stone"));
  EXPECT_EQ(t.ui.Messages().back(), "message 12");
  EXPECT_EQ(w.Document().Count(), 2);
  EXPECT_TRUE(w.player.view_only);
  EXPECT_FALSE(IsWhite(w.views.Page().Pixel(200, 200)));
  t.ui.calls.clear();
  w.DataSaveExecute();
  EXPECT_EQ(t.ui.Messages(), (std::vector<std::string>{"message 15"}));
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::SaveFile), 0);
  // Writing is refused too, until the writer goes back to the start of the history.
  t.Stroke({{800, 500}, {850, 550}});
  EXPECT_EQ(w.Document().Count(), 2);
  w.GotoFirstExecute();
  t.Stroke({{800, 500}, {850, 550}});
  EXPECT_FALSE(w.player.view_only);
  EXPECT_EQ(w.Document().Count(), 1);
  Save(t, (t.folder / "Save" / "own.stk").string());
  EXPECT_TRUE(fs::exists(t.folder / "Save" / "own.stk"));
  EXPECT_EQ(t.ui.Messages().size(), 1u);
}

TEST(SaveOpen, FilesThatCannotBeReadAreNamed) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  const fs::path good = t.folder / "Save" / "good.stk";
  Save(t, good.string());

  // Damaged: the end cut off.
  std::ifstream in(good, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const fs::path cut = t.folder / "Save" / "cut.stk";
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 30);
  Open(t, cut.string());
  EXPECT_EQ(t.ui.Messages().back(), "message 3\n\n" + cut.string());
  EXPECT_EQ(w.Document().Count(), 0);

  const fs::path text = t.folder / "Save" / "notes.stk";
  std::ofstream(text) << "These are not strokes, but they are long enough.";
  Open(t, text.string());
  EXPECT_EQ(t.ui.Messages().back(), "message 4\n\n" + text.string());

  Open(t, (t.folder / "Save" / "gone.stk").string());
  EXPECT_EQ(t.ui.Messages().back(), "message 2\n\n" + (t.folder / "Save" / "gone.stk").string());
  EXPECT_EQ(w.Document().Count(), 0);
  EXPECT_FALSE(w.player.view_only);
}

TEST(SaveOpen, TheFilesPaperComesAndGoes) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  const Bitmap24 picture = gfx::testing::AsymmetricPicture(300, 200);
  ink::StrokeDocument with(1024, 718);
  AddStroke(with, 100, 100, 300, 300);
  with.SetBackground(&picture, seals::kBackgroundImage, seals::kFitCentre);
  const std::string with_path = WriteFile(t, "with.stk", with, "Test Writer", "brush");
  ink::StrokeDocument without(1024, 718);
  AddStroke(without, 100, 100, 300, 300);
  const std::string without_path = WriteFile(t, "without.stk", without, "Test Writer", "brush");
  const fs::path temporary = w.TemporaryBackgroundPath();

  Open(t, with_path);
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundImage);
  EXPECT_EQ(w.sheet.background.fit, seals::kFitCentre);
  EXPECT_TRUE(w.file_background_in_use);
  ASSERT_TRUE(fs::exists(temporary));
  auto kept = gfx::LoadBmpFile(temporary.string());
  ASSERT_TRUE(kept);
  EXPECT_TRUE(kept.Value().SamePixels(picture));
  // The page shows the paper (centred) where no ink is.
  EXPECT_FALSE(IsWhite(w.views.Page().Pixel(512, 359)));
  // The background dialog offers the file's paper again as it is.
  const seals::TBGDialog& bg = *w.bg_dialog;
  EXPECT_EQ(bg.committed_kind, seals::kKindImage);
  EXPECT_EQ(bg.kind_button, seals::kKindImage);
  EXPECT_EQ(bg.picked_image_file, temporary.string());
  EXPECT_EQ(bg.static_text1, temporary.filename().string());
  EXPECT_EQ(bg.fit_button, seals::kFitCentre);
  EXPECT_EQ(bg.combo_box1_index, 0);
  EXPECT_TRUE(bg.picked_texture_file.empty());

  Open(t, without_path);
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(w.sheet.background.mode, seals::kBackgroundNone);
  EXPECT_FALSE(w.file_background_in_use);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(512, 359)));
  EXPECT_EQ(bg.committed_kind, seals::kKindWhite);
  EXPECT_EQ(bg.kind_button, seals::kKindWhite);
  EXPECT_TRUE(bg.picked_image_file.empty());
  EXPECT_TRUE(bg.static_text1.empty());

  // Closing removes the file too.
  Open(t, with_path);
  ASSERT_TRUE(fs::exists(temporary));
  w.FormCloseQuery();
  EXPECT_FALSE(fs::exists(temporary));
}

TEST(SaveOpen, AFilesGridIsOfferedWhenItDiffersOrIsHidden) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  w.GridShowToggle();
  const seals::GridLayout shown = w.sheet.grid;
  const std::string path = (t.folder / "Save" / "grid.stk").string();
  Save(t, path);

  // The same grid, shown: nothing to ask.
  Open(t, path);
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::AskOkCancel), 0);
  // Hidden: asked; Cancel keeps it hidden.
  w.GridShowToggle();
  Open(t, path);
  ASSERT_EQ(t.ui.Count(ScriptedUi::Kind::AskOkCancel), 1);
  EXPECT_FALSE(w.sheet.grid_shown);
  const ScriptedUi::Call& ask = t.ui.calls.back();
  EXPECT_EQ(ask.caption, "message 13");
  EXPECT_EQ(ask.text, "message 14");
  // A different grid, OK: taken over and shown.
  w.sheet.grid.cell_width = 100;
  w.GridShowToggle();
  t.ui.QueueOkCancel(true);
  Open(t, path);
  EXPECT_EQ(t.ui.Count(ScriptedUi::Kind::AskOkCancel), 2);
  EXPECT_EQ(w.sheet.grid, shown);
  EXPECT_TRUE(w.sheet.grid_shown);
}

TEST(SaveOpen, AGridWithMissingValuesIsCompleted) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  ink::StrokeDocument d(1024, 718);
  AddStroke(d, 100, 100, 300, 300);
  d.grid = files::GridWords({0, 40, 5, 7, 0, 0});
  const std::string path = WriteFile(t, "cells.stk", d, "Test Writer", "brush");
  t.ui.QueueOkCancel(true);
  Open(t, path);
  EXPECT_EQ(w.sheet.grid, (seals::GridLayout{40, 40, 5, 7, 26, 18}));
  EXPECT_TRUE(w.sheet.grid_shown);
  // No preset has 40-pixel cells: the chooser keeps its choice.
  EXPECT_EQ(w.grid_view.selected_preset, seals::kInitialGridPreset);
  // A grid line is drawn on the page at the left line.
  EXPECT_FALSE(IsWhite(w.views.Page().Pixel(5, 600)));
}

TEST(SaveOpen, TheTraceModelIsDrawnPaleRedWithoutItsStamps) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  ink::StrokeDocument model(1024, 718);
  model.SetInkColor(0);
  AddStroke(model, 100, 400, 400, 400);
  model.AddStampEntry(std::make_unique<Bitmap24>(40, 40, gfx::Rgb(200, 0, 0)), 600, 100, 40, 40);
  const std::string path = WriteFile(t, "model.stk", model, "Mi Fu", "stone");

  // Upper half of the toggle while no model is loaded: the trace dialog.
  t.ui.QueueOpenFile(path);
  w.ShowControlExecute();
  t.Click("TraceToggle");
  const ScriptedUi::Call& dialog = t.ui.calls.at(0);
  EXPECT_EQ(dialog.caption, "message 5");
  EXPECT_EQ(dialog.filter, "message 7|*.stk;*smp|message 8|*.stk|message 9|*.*");
  EXPECT_TRUE(w.sheet.trace_shown);
  EXPECT_EQ(w.sheet.TraceModel().Count(), 2);
  EXPECT_EQ(w.Document().Count(), 0);
  EXPECT_EQ(w.views.Page().Pixel(250, 400), 0x00B0B0FFu);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(620, 120)));  // no stamp
  // Writing goes over it, and clearing keeps it.
  w.ImgAMouseMove(10, 10);  // back from the control panel
  t.Stroke({{250, 300}, {250, 500}});
  EXPECT_EQ(w.views.Page().Pixel(250, 450) & 0xFF, 0u);
  w.WriteClearExecute();
  EXPECT_EQ(w.views.Page().Pixel(250, 400), 0x00B0B0FFu);

  // The toggle hides it, and a hidden model is let go.
  w.ShowControlExecute();
  t.Click("TraceToggle");
  EXPECT_FALSE(w.sheet.trace_shown);
  EXPECT_EQ(w.sheet.TraceModel().Count(), 0);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(250, 400)));

  // The lower half always asks; cancelling hides and discards the model.
  t.ui.QueueOpenFile(path);
  t.Click("OpenTrace");
  EXPECT_TRUE(w.sheet.trace_shown);
  t.Click("OpenTrace");
  EXPECT_FALSE(w.sheet.trace_shown);
  EXPECT_EQ(w.sheet.TraceModel().Count(), 0);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(250, 400)));
}

TEST(SaveOpen, AModelThatMayNotBeOpenedIsNotShown) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  ink::StrokeDocument model(1024, 718);
  AddStroke(model, 100, 400, 400, 400);
  model.protection = 0xFFFFFFFDu;  // view only: a model may still be traced
  const std::string viewable = WriteFile(t, "viewable.stk", model, "Mi Fu", "stone");
  model.protection = 0xFFFFFFFEu;
  const std::string closed = WriteFile(t, "closed.stk", model, "Mi Fu", "stone");
  t.ui.QueueOpenFile(viewable);
  w.OpenWordGNDExecute();
  EXPECT_TRUE(w.sheet.trace_shown);
  EXPECT_TRUE(t.ui.Messages().empty());
  t.ui.QueueOpenFile(closed);
  w.OpenWordGNDExecute();
  EXPECT_EQ(t.ui.Messages(), (std::vector<std::string>{"message 11"}));
  EXPECT_FALSE(w.sheet.trace_shown);
  EXPECT_EQ(w.sheet.TraceModel().Count(), 0);
  EXPECT_TRUE(IsWhite(w.views.Page().Pixel(250, 400)));
}

TEST(SaveOpen, CtrlOOpensAndCentresThePointer) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  int centred = 0;
  w.center_pointer = [&] { ++centred; };
  WriteSomeStrokes(t);
  const std::string path = (t.folder / "Save" / "k.stk").string();
  Save(t, path);
  w.WriteClearExecute();
  t.ui.QueueOpenFile(path);
  w.HotKey(5);
  EXPECT_EQ(w.Document().Count(), 3);
  EXPECT_EQ(centred, 1);
}

TEST(SaveOpen, FirstStartAsksForTheAuthorAndSavesUnderIt) {
  TestWindowOptions o;
  o.author.clear();
  ScriptedUi messages;  // what the author dialog itself would show
  o.start_dialogs.push_back([&messages](DialogModel& m) {
    auto& d = static_cast<settings::TLoginDlg&>(m);
    d.FormActivate();
    EXPECT_EQ(d.mode, settings::TLoginDlg::kFirstUse);
    d.Edit1Change("Yan Zhenqing");
    d.Edit2Enter();
    d.Edit2KeyDown();
    d.Edit2Change("seal");
    d.Edit2Exit();
    d.Edit3Enter();
    d.Edit3KeyDown();
    d.Edit3Change("seal");
    d.Edit3Exit();
    return d.OKBtnClick(messages);
  });
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  EXPECT_TRUE(messages.calls.empty());
  EXPECT_EQ(w.author.name, "Yan Zhenqing");
  EXPECT_EQ(w.author.password, "seal");
  EXPECT_EQ(settings::AuthorIdentity::Read(*t.settings).name, "Yan Zhenqing");

  // The files it saves are its own: protected, they still open for it and for nobody else.
  WriteSomeStrokes(t);
  const std::string path = (t.folder / "Save" / "mine.stk").string();
  t.ui.QueueSaveFile(path);
  QueueSaveOptions(t, 3, false, false);
  w.DataSaveExecute();
  ink::StrokeDocument back(1024, 718);
  ASSERT_EQ(files::ReadStrokeFile(back, path, w.codec.get()), files::kReadOk);
  EXPECT_TRUE(files::SameAuthor(back, "Yan Zhenqing", "seal"));
  EXPECT_EQ(back.protection, 0xFFFFFFFCu);
  EXPECT_EQ(files::AccessTo(back, "Yan Zhenqing", "sea"), files::OpenAccess::kRefused);
  Open(t, path);
  EXPECT_EQ(w.Document().Count(), 3);
}

TEST(SaveOpen, ASkinShortOfTextsAbandonsTheCommandBeforeItChangesAnything) {
  TestWindowOptions o;
  o.message_lines = 13;
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  WriteSomeStrokes(t);
  ink::StrokeDocument closed(1024, 718);
  AddStroke(closed, 100, 100, 300, 300);
  closed.protection = 0;
  const std::string path = WriteFile(t, "closed.stk", closed, "Mi Fu", "stone");
  t.ui.QueueOpenFile(path);
  EXPECT_THROW(w.DataOpenExecute(), settings::TextIndexError);
  EXPECT_THROW(w.DataSaveExecute(), settings::TextIndexError);
  EXPECT_THROW(w.OpenWordGNDExecute(), settings::TextIndexError);
  EXPECT_EQ(t.ui.calls.size(), 0u);
  EXPECT_EQ(w.Document().Count(), 3);
  EXPECT_FALSE(IsWhite(w.views.Page().Pixel(260, 230)));
}

}  // namespace
}  // namespace zevo::app
