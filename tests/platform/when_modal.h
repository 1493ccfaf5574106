#pragma once

#include <gtest/gtest.h>

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

// While it lives, a test that has failed closes whatever modal window is open, so that a step
// that stopped early does not leave the test waiting on a dialog nobody answers.
class CloseModalsOnFailure {
 public:
  CloseModalsOnFailure() {
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [] {
      if (!::testing::Test::HasFailure()) return;
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    timer_.start();
  }

 private:
  QTimer timer_;
};

}  // namespace zevo::test
