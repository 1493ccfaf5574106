#include "platform/scripted_ui.h"

#include <gtest/gtest.h>

using zevo::gfx::Bitmap24;
using zevo::gfx::Rect;
using zevo::platform::ScriptedPrinter;
using zevo::platform::ScriptedUi;
using Kind = zevo::platform::ScriptedUi::Kind;

TEST(ScriptedUi, AnswersInOrderPerKindAndRecordsEveryCall) {
  ScriptedUi ui;
  ui.QueueOkCancel(true);
  ui.QueueOkCancel(false);
  ui.QueueSaveFile("/tmp/a.stk");
  ui.QueueOpenFile(std::nullopt);  // the user cancels
  ui.QueueFolder("/home/x/Stamps");

  ui.MessageBox("saved");
  EXPECT_TRUE(ui.AskOkCancel("Grid", "Take the file's grid?"));
  EXPECT_EQ(ui.SaveFileDialog("Save", "Stroke|*.stk", "/save", "Untitled01.stk"), "/tmp/a.stk");
  EXPECT_FALSE(ui.AskOkCancel("Grid", "again"));
  EXPECT_EQ(ui.OpenFileDialog("Open", "Stroke|*.stk", "/save", ""), std::nullopt);
  EXPECT_EQ(ui.BrowseFolder("Stamp folder", "/old"), "/home/x/Stamps");
  ui.ShowError("disk full");
  EXPECT_EQ(ui.unanswered, 0);

  ASSERT_EQ(ui.calls.size(), 7u);
  EXPECT_EQ(ui.calls[2].kind, Kind::SaveFile);
  EXPECT_EQ(ui.calls[2].caption, "Save");
  EXPECT_EQ(ui.calls[2].filter, "Stroke|*.stk");
  EXPECT_EQ(ui.calls[2].folder, "/save");
  EXPECT_EQ(ui.calls[2].text, "Untitled01.stk");
  EXPECT_EQ(ui.calls[5].text, "/old");
  EXPECT_EQ(ui.Messages(), std::vector<std::string>{"saved"});
  EXPECT_EQ(ui.Errors(), std::vector<std::string>{"disk full"});
  EXPECT_EQ(ui.Count(Kind::AskOkCancel), 2);
}

namespace {
struct LoginModel : zevo::platform::DialogModel {
  std::string_view FormName() const override { return "TLoginDlg"; }
  std::string name;
};
}  // namespace

TEST(ScriptedUi, ADialogIsPlayedByTheQueuedUser) {
  ScriptedUi ui;
  ui.QueueDialog([](zevo::platform::DialogModel& m) {
    static_cast<LoginModel&>(m).name = "Wang";
    return true;
  });
  LoginModel login;
  EXPECT_TRUE(ui.ShowModal(login));
  EXPECT_EQ(login.name, "Wang");
  EXPECT_FALSE(ui.ShowModal(login));  // nobody queued: cancelled
  EXPECT_EQ(ui.Texts(Kind::ShowModal), (std::vector<std::string>{"TLoginDlg", "TLoginDlg"}));
  EXPECT_EQ(ui.unanswered, 1);
}

TEST(ScriptedUi, UnqueuedQuestionsAreCancelledAndCounted) {
  ScriptedUi ui;
  EXPECT_FALSE(ui.AskOkCancel("c", "t"));
  EXPECT_EQ(ui.OpenFileDialog("t", "", "", ""), std::nullopt);
  EXPECT_EQ(ui.SaveFileDialog("t", "", "", ""), std::nullopt);
  EXPECT_EQ(ui.BrowseFolder("t", ""), std::nullopt);
  EXPECT_EQ(ui.ChoosePrinter(), nullptr);
  ui.MessageBox("not a question");
  EXPECT_EQ(ui.unanswered, 5);
}

TEST(ScriptedUi, ScriptedPrinterRecordsTheJobAfterTheCommandReleasedIt) {
  ScriptedUi ui;
  auto printer = std::make_unique<ScriptedPrinter>(7016, 4961);
  auto log = printer->GetLog();
  ui.QueuePrinter(std::move(printer));

  {
    std::unique_ptr<zevo::platform::Printer> p = ui.ChoosePrinter();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->PageWidth(), 7016);
    EXPECT_EQ(p->PageHeight(), 4961);
    std::string error;
    Bitmap24 sheet(5, 3, 0x00112233);
    EXPECT_FALSE(p->StretchBitmap(sheet, {0, 0, 10, 10}, error));  // no job yet
    EXPECT_TRUE(p->BeginJob(error));
    EXPECT_TRUE(p->StretchBitmap(sheet, {0, 0, 7016, 4961}, error));
    EXPECT_TRUE(p->EndJob(error));
  }
  EXPECT_EQ(log->jobs_begun, 1);
  EXPECT_EQ(log->jobs_ended, 1);
  ASSERT_EQ(log->stretches.size(), 1u);
  EXPECT_EQ(log->stretches[0].page, (Rect{0, 0, 7016, 4961}));
  EXPECT_EQ(log->stretches[0].bitmap_width, 5);
  EXPECT_EQ(log->stretches[0].copy.Pixel(4, 2), 0x00112233u);
}

TEST(ScriptedUi, ScriptedPrinterFailsWhereTold) {
  ScriptedPrinter p(100, 100);
  p.fail_begin = "printer offline";
  std::string error;
  EXPECT_FALSE(p.BeginJob(error));
  EXPECT_EQ(error, "printer offline");
  EXPECT_FALSE(p.EndJob(error));
  EXPECT_EQ(p.GetLog()->jobs_begun, 0);
}
