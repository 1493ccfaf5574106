#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace zevo::test {

// Runs `act` on the modal window as soon as one is open (the dialog's own loop is running).
inline void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    }
  });
  timer->start();
}

}  // namespace zevo::test
