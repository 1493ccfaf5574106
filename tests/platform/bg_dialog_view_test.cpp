#include "platform/qt/bg_dialog_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <functional>

#include "tests/platform/when_modal.h"

#include "seals/bg_dialog.h"
#include "tests/settings/test_support.h"

namespace zevo::platform::qt {
namespace {

using test::WhenModal;

template <class T>
T* Named(QWidget* dialog, const char* text) {
  for (T* w : dialog->findChildren<T*>())
    if (w->text() == QString::fromUtf8(text)) return w;
  return nullptr;
}

TEST(BGDialogView, ControlsRunTheHandlersAndCloseAsTheButtonsSay) {
  settings::testing::MemoryStore store;
  seals::TBGDialog model(store, "/nowhere/");
  QtUi ui(nullptr, QStringLiteral("Zevo"));
  RegisterBGDialogView(ui);

  // Image, "Full", "75 %", OK.
  WhenModal([](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Select Background Style"));
    EXPECT_EQ(w->size(), QSize(409, 192));
    auto* pages = w->findChild<QStackedWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->currentIndex(), 0);
    Named<QRadioButton>(w, "Image")->click();
    EXPECT_EQ(pages->currentIndex(), 2);
    Named<QRadioButton>(w, "Full")->click();
    auto* combo = w->findChild<QComboBox*>();
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    Named<QPushButton>(w, "OK")->click();
  });
  EXPECT_TRUE(ui.ShowModal(model));
  EXPECT_EQ(model.selected_kind, seals::kKindImage);
  EXPECT_EQ(model.committed_fit, 1);
  EXPECT_EQ(model.committed_transparency, 2);

  // Escape is Cancel: the controls go back to the last OK.
  WhenModal([](QWidget* w) {
    EXPECT_TRUE(Named<QRadioButton>(w, "Full")->isChecked());
    EXPECT_EQ(w->findChild<QComboBox*>()->currentIndex(), 2);
    Named<QRadioButton>(w, "Left && Top")->click();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &escape);
  });
  EXPECT_FALSE(ui.ShowModal(model));
  EXPECT_EQ(model.fit_button, 1);

  // The window's close button only closes.
  WhenModal([](QWidget* w) {
    Named<QRadioButton>(w, "Left && Top")->click();
    w->close();
  });
  EXPECT_FALSE(ui.ShowModal(model));
  EXPECT_EQ(model.fit_button, 3);
  EXPECT_EQ(model.committed_fit, 1);
}

}  // namespace
}  // namespace zevo::platform::qt
