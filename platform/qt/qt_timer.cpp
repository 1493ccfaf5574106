#include "platform/qt/qt_timer.h"

namespace zevo::platform::qt {

QtTimer::QtTimer(int interval_ms, bool enabled) {
  // The repaint and replay ticks are 10 and 33 ms: coarse timers would make both uneven.
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(interval_ms);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (on_tick_) on_tick_();
  });
  if (enabled) timer_.start();
}

void QtTimer::SetInterval(int milliseconds) {
  timer_.setInterval(milliseconds);
}

void QtTimer::SetEnabled(bool enabled) {
  if (enabled) {
    if (!timer_.isActive()) timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace zevo::platform::qt
