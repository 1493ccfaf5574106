#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "platform/hot_keys.h"

class QKeyEvent;

namespace zevo::platform::qt {

class X11KeyGrabber;

// Hot keys system-wide on X11 (passive key grabs on the root window), and application-wide
// elsewhere (Wayland, offscreen) or for a combination whose grab failed: any key press in the
// program that matches a registered combination is taken before the focused widget sees it.
class QtHotKeys : public QObject, public HotKeys {
 public:
  enum class Mode { Automatic, ApplicationOnly };
  explicit QtHotKeys(Mode mode = Mode::Automatic);
  ~QtHotKeys() override;

  void SetCallback(Callback callback) override { callback_ = std::move(callback); }
  bool Register(int id, KeyCombination keys) override;
  void Unregister(int id) override;

  // True when the combinations are grabbed from the window system.
  bool SystemWide() const { return grabber_ != nullptr; }

  // The registered id a key event stands for, or 0.
  int Match(const QKeyEvent& event) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    KeyCombination keys;
    bool grabbed = false;
  };
  void Fire(int id);

  Callback callback_;
  std::map<int, Entry> entries_;
  std::unique_ptr<X11KeyGrabber> grabber_;
};

}  // namespace zevo::platform::qt
