#pragma once

#include <QTimer>
#include <functional>

#include "platform/timer.h"

namespace zevo::platform::qt {

class QtTimer : public Timer {
 public:
  explicit QtTimer(int interval_ms = 1000, bool enabled = false);

  void SetInterval(int milliseconds) override;
  int Interval() const override { return timer_.interval(); }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }
  void SetCallback(std::function<void()> on_tick) override { on_tick_ = std::move(on_tick); }

 private:
  QTimer timer_;
  std::function<void()> on_tick_;
};

}  // namespace zevo::platform::qt
