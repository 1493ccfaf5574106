#include "platform/qt/login_dlg_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "settings/login_dlg.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/platform/when_modal.h"
#include "tests/settings/test_support.h"

// Readable strings in failure messages.
static void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace zevo::platform::qt {
namespace {

using settings::TLoginDlg;
using test::WhenModal;

// The author dialog as the writer meets it: the boxes found by their labels, keys sent to
// whichever control has the focus.
struct LoginDialog {
  explicit LoginDialog(QWidget* w) : window(w) {}

  QLineEdit* Box(const char* label) const {
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->text() == QString::fromUtf8(label)) return qobject_cast<QLineEdit*>(l->buddy());
    return nullptr;
  }
  QLineEdit* Author() const { return Box("Author"); }
  QLineEdit* Password() const { return Box("Password"); }
  QLineEdit* Check() const { return Box("Check"); }
  QPushButton* Button(const char* text) const {
    for (QPushButton* b : window->findChildren<QPushButton*>())
      if (b->text() == QString::fromUtf8(text)) return b;
    return nullptr;
  }
  QWidget* Focused() const { return QApplication::focusWidget(); }

  void Key(int key, const QString& text = {}) const {
    QWidget* target = Focused();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
  }
  void Type(const QString& text) const {
    for (QChar c : text) Key(c.toUpper().unicode(), QString(c));
  }
  // OK pressed with the mouse: the focus goes to the button first.
  void ClickOk() const {
    QPushButton* ok = Button("OK");
    ok->setFocus(Qt::MouseFocusReason);
    ok->click();
  }
  // After a message box the window manager gives the dialog the focus again (the offscreen
  // platform has none to do it).
  void Reactivate() const {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  QWidget* window;
};

// Runs `act` on the message box that the next step brings up, then closes it.
void OnMessage(std::function<void(QMessageBox*)> act) {
  WhenModal([act](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    act(box);
    box->button(QMessageBox::Ok)->click();
  });
}

class LoginDlgView : public ::testing::Test {
 protected:
  LoginDlgView() { RegisterLoginDlgView(ui); }
  bool Show(TLoginDlg& model, std::function<void(const LoginDialog&)> act) {
    WhenModal([act](QWidget* w) {
      // Focus moves between the controls only in the active window.
      w->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(w));
      act(LoginDialog(w));
    });
    return ui.ShowModal(model);
  }

  settings::testing::MemoryStore store;
  QtUi ui{nullptr, QStringLiteral("Zevo")};
  test::CloseModalsOnFailure rescue;
};

TEST_F(LoginDlgView, FirstUseMasksTheTypedPasswordAndStoresItWithTheAuthorWhenChecked) {
  TLoginDlg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    EXPECT_EQ(d.window->windowTitle(), QStringLiteral("Author information"));
    EXPECT_EQ(d.window->size(), QSize(289, 244));
    auto* memo = d.window->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Using first time"));
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->focusPolicy(), Qt::NoFocus);
    ASSERT_NE(d.Password(), nullptr);
    EXPECT_EQ(d.Password()->text(), QStringLiteral("/*Change password*/"));
    EXPECT_EQ(d.Password()->echoMode(), QLineEdit::Normal);
    EXPECT_FALSE(d.Check()->isEnabled());
    ASSERT_EQ(d.Focused(), d.Author());

    d.Type(QStringLiteral("Mi Fu"));
    d.Key(Qt::Key_Tab);
    ASSERT_EQ(d.Focused(), d.Password());
    EXPECT_EQ(d.Password()->text(), QString());  // entering clears the placeholder
    d.Type(QStringLiteral("ab#1"));
    EXPECT_EQ(d.Password()->text(), QStringLiteral("ab#1"));
    EXPECT_EQ(d.Password()->displayText(), QStringLiteral("####"));
    EXPECT_TRUE(d.Check()->isEnabled());
    EXPECT_EQ(d.Check()->text(), QStringLiteral("/*Check password*/"));
    EXPECT_EQ(d.Check()->echoMode(), QLineEdit::Normal);

    d.Key(Qt::Key_Tab);
    ASSERT_EQ(d.Focused(), d.Check());
    EXPECT_EQ(d.Password()->text(), QStringLiteral("/*Change password*/"));
    EXPECT_EQ(d.Password()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(d.Check()->text(), QString());
    d.Type(QStringLiteral("ab#1"));
    EXPECT_EQ(d.Check()->displayText(), QStringLiteral("####"));
    d.ClickOk();
  }));
  EXPECT_TRUE(model.confirmed);
  EXPECT_EQ(settings::ReadSettingText(store, settings::kAuthor, ""), "Mi Fu");
  EXPECT_EQ(settings::ReadStoredPassword(store), "ab#1");
}

TEST_F(LoginDlgView, AMessageComesUpOverTheDialogWhichStaysOpen) {
  TLoginDlg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    OnMessage([&](QMessageBox* box) {
      EXPECT_EQ(box->text(), QStringLiteral("Please input author"));
      EXPECT_EQ(box->parentWidget(), d.window);
    });
    d.ClickOk();
    EXPECT_TRUE(d.window->isVisible());
    d.Reactivate();

    // A check that differs from the password is refused the same way.
    d.Author()->setFocus(Qt::MouseFocusReason);
    d.Type(QStringLiteral("Mi Fu"));
    d.Password()->setFocus(Qt::MouseFocusReason);
    d.Type(QStringLiteral("one"));
    d.Check()->setFocus(Qt::MouseFocusReason);
    d.Type(QStringLiteral("two"));
    OnMessage(
        [](QMessageBox* box) { EXPECT_EQ(box->text(), QStringLiteral("Please input password")); });
    d.ClickOk();
    EXPECT_TRUE(d.window->isVisible());
    d.Reactivate();

    d.Check()->setFocus(Qt::MouseFocusReason);
    d.Type(QStringLiteral("one"));
    d.ClickOk();
  }));
  EXPECT_EQ(settings::ReadStoredPassword(store), "one");
}

TEST_F(LoginDlgView, PassingThroughThePasswordBoxKeepsTheStoredPassword) {
  settings::WriteSettingText(store, settings::kAuthor, "Wang");
  settings::StorePassword(store, "old");
  {
    TLoginDlg model(store, "/nowhere/");
    EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
      EXPECT_EQ(d.Author()->text(), QStringLiteral("Wang"));
      d.Key(Qt::Key_Tab);
      ASSERT_EQ(d.Focused(), d.Password());
      d.Key(Qt::Key_Tab);  // the check box is still disabled: on to OK
      EXPECT_EQ(d.Focused(), d.Button("OK"));
      EXPECT_EQ(d.Password()->text(), QStringLiteral("/*Change password*/"));
      EXPECT_FALSE(d.Check()->isEnabled());
      d.Key(Qt::Key_Return);
    }));
    EXPECT_TRUE(model.confirmed);
    EXPECT_EQ(model.password, "old");
  }
  // Return is no key of the box: it only presses OK.
  TLoginDlg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    d.Key(Qt::Key_Tab);
    ASSERT_EQ(d.Focused(), d.Password());
    d.Key(Qt::Key_Return);
  }));
  EXPECT_TRUE(model.confirmed);
  EXPECT_EQ(model.password, "old");
  EXPECT_EQ(settings::ReadStoredPassword(store), "old");
}

TEST_F(LoginDlgView, LeavingTheWindowIsNotLeavingTheBox) {
  settings::WriteSettingText(store, settings::kAuthor, "Wang");
  TLoginDlg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    d.Key(Qt::Key_Tab);
    d.Type(QStringLiteral("ab"));
    {
      QWidget other;
      other.show();
      other.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    d.Reactivate();
    ASSERT_EQ(d.Focused(), d.Password());
    EXPECT_EQ(d.Password()->displayText(), QStringLiteral("##"));
    d.Type(QStringLiteral("c"));
    d.Key(Qt::Key_Tab);
    d.Type(QStringLiteral("abc"));
    d.Key(Qt::Key_Return);
  }));
  EXPECT_TRUE(model.confirmed);
  EXPECT_EQ(settings::ReadStoredPassword(store), "abc");
}

TEST_F(LoginDlgView, AnyKeyInThePasswordBoxStartsANewPassword) {
  settings::WriteSettingText(store, settings::kAuthor, "Wang");
  settings::StorePassword(store, "old");
  TLoginDlg model(store, "/nowhere/");
  model.mode = TLoginDlg::kChange;
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    d.Key(Qt::Key_Tab);
    d.Key(Qt::Key_Left);  // no text changes, but the box is touched
    EXPECT_EQ(d.Password()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(d.Check()->isEnabled());
    d.ClickOk();
  }));
  EXPECT_EQ(model.password, "");
  // Change mode leaves the storing to the caller.
  EXPECT_EQ(settings::ReadStoredPassword(store), "old");
}

TEST_F(LoginDlgView, ReturnInTheBoxesTakesWhatWasTypedThere) {
  settings::WriteSettingText(store, settings::kAuthor, "Wang");
  settings::StorePassword(store, "old");
  TLoginDlg model(store, "/nowhere/");
  EXPECT_TRUE(Show(model, [](const LoginDialog& d) {
    d.Key(Qt::Key_Tab);
    d.Type(QStringLiteral("new"));
    // Taken as the password, which the empty check does not confirm.
    OnMessage(
        [](QMessageBox* box) { EXPECT_EQ(box->text(), QStringLiteral("Please input password")); });
    d.Key(Qt::Key_Return);
    ASSERT_TRUE(d.window->isVisible());
    d.Reactivate();
    // Still in the password box, which is empty again and takes a fresh password.
    ASSERT_EQ(d.Focused(), d.Password());
    EXPECT_EQ(d.Password()->text(), QString());
    d.Type(QStringLiteral("newer"));
    EXPECT_EQ(d.Password()->text(), QStringLiteral("newer"));
    d.Key(Qt::Key_Tab);
    d.Type(QStringLiteral("newer"));
    d.Key(Qt::Key_Return);
  }));
  EXPECT_TRUE(model.confirmed);
  EXPECT_EQ(settings::ReadStoredPassword(store), "newer");
}

TEST_F(LoginDlgView, EscapeCancelsAndStoresNothing) {
  TLoginDlg model(store, "/nowhere/");
  EXPECT_FALSE(Show(model, [](const LoginDialog& d) {
    d.Type(QStringLiteral("Mi Fu"));
    d.Key(Qt::Key_Escape);
  }));
  EXPECT_FALSE(model.confirmed);
  EXPECT_FALSE(store.Read(settings::kAuthor).has_value());
}

}  // namespace
}  // namespace zevo::platform::qt
