#include "platform/qt/qt_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "tests/platform/when_modal.h"

using zevo::platform::qt::QtUi;

namespace {

using zevo::test::WhenModal;

}  // namespace

TEST(QtUi, MessageBoxesCarryTheApplicationTitleAndAnswerOkOrCancel) {
  QtUi ui(nullptr, QStringLiteral("Zevo 題字系統"));
  QString title, text;
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    box->button(QMessageBox::Ok)->click();
  });
  ui.MessageBox("已儲存");
  EXPECT_EQ(title, QStringLiteral("Zevo 題字系統"));
  EXPECT_EQ(text, QStringLiteral("已儲存"));

  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    title = box->windowTitle();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_TRUE(ui.AskOkCancel("Grid", "Use the file's grid?"));
  EXPECT_EQ(title, QStringLiteral("Grid"));
  WhenModal(
      [](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Cancel)->click(); });
  EXPECT_FALSE(ui.AskOkCancel("Grid", "Use the file's grid?"));
}

TEST(QtUi, SaveDialogStartsInTheFolderWithTheProposedNameAndAsksNoOverwrite) {
  QTemporaryDir dir;
  {
    QFile existing(dir.filePath("Untitled01.stk"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  }
  QtUi ui(nullptr, QStringLiteral("Zevo"));
  QStringList filters;
  bool no_overwrite_question = false;
  QString folder;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(d, nullptr);
    filters = d->nameFilters();
    folder = d->directory().absolutePath();
    no_overwrite_question = d->testOption(QFileDialog::DontConfirmOverwrite);
    static_cast<QDialog*>(d)->accept();
  });
  const auto chosen =
      ui.SaveFileDialog("Save", "Strokes|*.stk", dir.path().toStdString(), "Untitled01.stk");
  EXPECT_EQ(filters, QStringList{QStringLiteral("Strokes (*.[sS][tT][kK])")});
  EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
  EXPECT_TRUE(no_overwrite_question);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, dir.filePath("Untitled01.stk").toStdString());

  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(ui.OpenFileDialog("Open", "Strokes|*.stk", dir.path().toStdString(), ""), std::nullopt);
}

namespace {
struct SaveOptions : zevo::platform::DialogModel {
  std::string_view FormName() const override { return "TSaveStkDlg"; }
  int quality = 0;
};
}  // namespace

TEST(QtUi, DialogModelsAreShownByTheirRegisteredView) {
  QtUi ui(nullptr, QStringLiteral("Zevo"));
  QWidget* seen_parent = reinterpret_cast<QWidget*>(1);
  ui.RegisterDialogView("TSaveStkDlg", [&](zevo::platform::DialogModel& m, QWidget* parent) {
    seen_parent = parent;
    static_cast<SaveOptions&>(m).quality = 3;
    return true;
  });
  SaveOptions options;
  EXPECT_TRUE(ui.ShowModal(options));
  EXPECT_EQ(options.quality, 3);
  EXPECT_EQ(seen_parent, nullptr);

  struct Unknown : zevo::platform::DialogModel {
    std::string_view FormName() const override { return "TNoSuchDlg"; }
  } unknown;
  QString error;
  WhenModal([&](QWidget* w) {
    error = qobject_cast<QMessageBox*>(w)->text();
    qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  });
  EXPECT_FALSE(ui.ShowModal(unknown));
  EXPECT_TRUE(error.contains(QStringLiteral("TNoSuchDlg")));
}
