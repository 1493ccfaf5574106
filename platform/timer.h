#pragma once

#include <functional>

namespace zevo::platform {

// A repeating timer on the UI thread, as the program's Timer1 (repaint) and Timer2 (replay).
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int milliseconds) = 0;
  virtual int Interval() const = 0;
  // Enabling an enabled timer changes nothing; disabling drops a pending tick. A new
  // interval starts counting afresh.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetCallback(std::function<void()> on_tick) = 0;
};

}  // namespace zevo::platform
