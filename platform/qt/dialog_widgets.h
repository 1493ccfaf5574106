#pragma once

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QString>

#include <string>

// Small pieces the dialog views share.
namespace zevo::platform::qt::dialog {

inline QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

inline std::string S(const QString& s) {
  const QByteArray b = s.toUtf8();
  return std::string(b.constData(), std::size_t(b.size()));
}

// A dialog whose Escape key is its Cancel button, so that Cancel's handler runs; the window's
// close button only closes.
class CancelOnEscape : public QDialog {
 public:
  explicit CancelOnEscape(QWidget* parent) : QDialog(parent) {}
  QPushButton* cancel = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && cancel != nullptr) {
      cancel->click();
      return;
    }
    QDialog::keyPressEvent(event);
  }
};

// Places a fixed-size dialog in the middle of the screen of `parent` (the primary screen
// without one).
inline void CentreOnScreen(QWidget& dialog, QWidget* parent) {
  QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  dialog.move(area.x() + (area.width() - dialog.width()) / 2,
              area.y() + (area.height() - dialog.height()) / 2);
}

}  // namespace zevo::platform::qt::dialog
