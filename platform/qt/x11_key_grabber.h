#pragma once

#include <functional>
#include <memory>

#include "platform/hot_keys.h"

namespace zevo::platform::qt {

// Passive key grabs on the X root window: the combinations reach this program whatever
// window has the keyboard focus, except a window of another copy of this program (which could
// not grab them while this one holds them): the key is sent on to that window, where the copy
// acts on it as a key of its own. Exists only when the application runs on X11.
class X11KeyGrabber {
 public:
  using Pressed = std::function<void(int id)>;
  virtual ~X11KeyGrabber() = default;

  // nullptr when the application does not run on X11 (or was built without XCB).
  static std::unique_ptr<X11KeyGrabber> Create(Pressed on_pressed);

  // False when the server refuses (another client holds the combination); nothing stays grabbed.
  virtual bool Grab(int id, KeyCombination keys) = 0;
  virtual void Ungrab(int id) = 0;
};

}  // namespace zevo::platform::qt
