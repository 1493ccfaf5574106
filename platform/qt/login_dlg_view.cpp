#include "platform/qt/login_dlg_view.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyleFactory>

#include <functional>
#include <initializer_list>

#include "platform/qt/dialog_widgets.h"
#include "settings/login_dlg.h"

namespace zevo::platform::qt {

namespace {

using dialog::Q;
using dialog::S;
using settings::TLoginDlg;
using Focus = TLoginDlg::Focus;

// The application's style with '#' for each character of a masked box, shown at once.
class HashMaskStyle : public QProxyStyle {
 public:
  HashMaskStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '#';
    if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// A box that says when a key reaches it (before it takes the key) and when the focus enters
// or leaves it from or to another control of the dialog. Tab, Backtab, Escape, Return and
// Enter are not its keys: they move the focus or press the dialog's buttons.
class HandlerEdit : public QLineEdit {
 public:
  explicit HandlerEdit(QWidget* parent) : QLineEdit(parent) {}
  std::function<void()> on_key, on_enter, on_exit;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (on_key && !PassesOn(event->key())) on_key();
    QLineEdit::keyPressEvent(event);
  }
  // Text an input method commits arrives without a key press of its own.
  void inputMethodEvent(QInputMethodEvent* event) override {
    if (on_key && !event->commitString().isEmpty()) on_key();
    QLineEdit::inputMethodEvent(event);
  }
  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    if (on_enter && WithinDialog(event->reason())) on_enter();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    if (on_exit && WithinDialog(event->reason())) on_exit();
  }

 private:
  static bool PassesOn(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
           key == Qt::Key_Return || key == Qt::Key_Enter;
  }
  // Another window coming up (a message box) or going, or a context menu, is no move of the
  // focus between the dialog's controls.
  static bool WithinDialog(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
  }
};

void SetText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() != q) edit->setText(q);
}

void SetMasked(QLineEdit* edit, bool masked) {
  const QLineEdit::EchoMode mode = masked ? QLineEdit::Password : QLineEdit::Normal;
  if (edit->echoMode() != mode) edit->setEchoMode(mode);
}

QLabel* BoxLabel(const std::string& text, QLineEdit* box, QWidget* parent, int y) {
  auto* label = new QLabel(Q(text), parent);
  label->setGeometry(16, y + 4, 68, 17);
  label->setBuddy(box);
  return label;
}

}  // namespace

bool ShowLoginDlg(QtUi& ui, DialogModel& model, QWidget* parent) {
  auto& m = static_cast<TLoginDlg&>(model);
  m.FormActivate();

  HashMaskStyle hash_mask;  // outlives the boxes that use it
  dialog::CancelOnEscape dialog(parent);
  dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setWindowTitle(Q(m.texts[0]));
  dialog.setFixedSize(289, 244);
  dialog::CentreOnScreen(dialog, parent);

  auto* group = new QGroupBox(&dialog);
  group->setGeometry(8, 4, 273, 196);

  // Memo2: read-only information, drawn on the dialog's own colour without a frame.
  auto* memo = new QPlainTextEdit(group);
  memo->setGeometry(24, 16, 225, 41);
  memo->setReadOnly(true);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setFocusPolicy(Qt::NoFocus);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette face = memo->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  face.setColor(QPalette::Text, face.color(QPalette::ButtonText));
  memo->setPalette(face);

  auto* author = new QLineEdit(group);  // Edit1
  author->setGeometry(88, 70, 161, 24);
  BoxLabel(m.texts[1], author, group, 70);
  auto* password = new HandlerEdit(group);  // Edit2
  password->setGeometry(88, 106, 161, 24);
  password->setStyle(&hash_mask);
  BoxLabel(m.texts[2], password, group, 106);
  auto* check = new HandlerEdit(group);  // Edit3
  check->setGeometry(88, 142, 161, 24);
  check->setStyle(&hash_mask);
  BoxLabel(m.texts[3], check, group, 142);

  auto* ok = new QPushButton(Q(m.texts[5]), &dialog);
  ok->setGeometry(118, 210, 75, 25);
  ok->setDefault(true);
  auto* cancel = new QPushButton(Q(m.texts[6]), &dialog);
  cancel->setGeometry(206, 210, 75, 25);
  dialog.cancel = cancel;

  // The controls as the model has them; setting them runs no handler.
  bool syncing = false;
  auto sync = [&] {
    syncing = true;
    const QSignalBlocker b1(author), b2(password), b3(check);
    if (memo->toPlainText() != Q(m.memo2)) memo->setPlainText(Q(m.memo2));
    SetText(author, m.edit1);
    SetMasked(password, m.edit2_masked);
    SetText(password, m.edit2);
    SetMasked(check, m.edit3_masked);
    SetText(check, m.edit3);
    check->setEnabled(m.edit3_enabled);
    syncing = false;
  };
  sync();
  if (m.focus == Focus::kEdit1) {
    author->setFocus();
    author->selectAll();
  }

  // A handler, then the controls follow the model.
  auto handle = [&](const std::function<void()>& handler) {
    if (syncing) return;
    handler();
    sync();
  };
  QObject::connect(author, &QLineEdit::textEdited,
                   [&](const QString& text) { handle([&] { m.Edit1Change(S(text)); }); });
  // Each box is entered once and left once, however often the Qt focus comes and goes.
  password->on_enter = [&] {
    handle([&] {
      if (m.focus != Focus::kEdit2) m.Edit2Enter();
    });
  };
  password->on_key = [&] { handle([&] { m.Edit2KeyDown(); }); };
  QObject::connect(password, &QLineEdit::textEdited,
                   [&](const QString& text) { handle([&] { m.Edit2Change(S(text)); }); });
  password->on_exit = [&] {
    handle([&] {
      if (m.focus == Focus::kEdit2) m.Edit2Exit();
    });
  };
  check->on_enter = [&] {
    handle([&] {
      if (m.focus != Focus::kEdit3) m.Edit3Enter();
    });
  };
  check->on_key = [&] { handle([&] { m.Edit3KeyDown(); }); };
  QObject::connect(check, &QLineEdit::textEdited,
                   [&](const QString& text) { handle([&] { m.Edit3Change(S(text)); }); });
  check->on_exit = [&] {
    handle([&] {
      if (m.focus == Focus::kEdit3) m.Edit3Exit();
    });
  };

  QObject::connect(ok, &QPushButton::clicked, [&] {
    // The message comes up over this dialog, then the Ui goes back to the main window.
    ui.SetParent(&dialog);
    const bool done = m.OKBtnClick(ui);
    ui.SetParent(parent);
    if (done) {
      sync();
      dialog.accept();
      return;
    }
    // Return pressed in a box: the model left it before its message, but the focus is still
    // (or again) in it. It is entered anew, so that what is typed next is taken on leaving.
    QWidget* focused = dialog.focusWidget();
    if (focused == password && m.focus != Focus::kEdit2) m.Edit2Enter();
    if (focused == check && m.focus != Focus::kEdit3) m.Edit3Enter();
    sync();
  });
  QObject::connect(cancel, &QPushButton::clicked, [&] {
    m.CancelBtnClick();
    dialog.reject();
  });

  const bool accepted = dialog.exec() == QDialog::Accepted;
  // The boxes say nothing more once the dialog is gone.
  for (HandlerEdit* box : {password, check}) box->on_key = box->on_enter = box->on_exit = nullptr;
  return accepted;
}

void RegisterLoginDlgView(QtUi& ui) {
  ui.RegisterDialogView("TLoginDlg", [&ui](DialogModel& model, QWidget* parent) {
    return ShowLoginDlg(ui, model, parent);
  });
}

}  // namespace zevo::platform::qt
