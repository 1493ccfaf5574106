#include "platform/qt/qt_hot_keys.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

#include "platform/qt/x11_key_grabber.h"

namespace zevo::platform::qt {

namespace {

Qt::Key QtKeyOf(char key) {
  if (key >= 'a' && key <= 'z') key = char(key - 'a' + 'A');
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
    return Qt::Key(key);  // Qt::Key_A == 'A'
  return Qt::Key_unknown;
}

unsigned ModifiersOf(Qt::KeyboardModifiers m) {
  unsigned out = 0;
  if (m & Qt::ControlModifier) out |= kModCtrl;
  if (m & Qt::ShiftModifier) out |= kModShift;
  if (m & Qt::AltModifier) out |= kModAlt;
  return out;
}

}  // namespace

QtHotKeys::QtHotKeys(Mode mode) {
  if (mode == Mode::Automatic) grabber_ = X11KeyGrabber::Create([this](int id) { Fire(id); });
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

QtHotKeys::~QtHotKeys() {
  for (auto& [id, e] : entries_)
    if (e.grabbed && grabber_) grabber_->Ungrab(id);
}

bool QtHotKeys::Register(int id, KeyCombination keys) {
  Unregister(id);
  if (QtKeyOf(keys.key) == Qt::Key_unknown) return false;
  Entry e{keys, false};
  if (grabber_) {
    e.grabbed = grabber_->Grab(id, keys);
    // Held by another program: the combination still works inside this one.
    entries_[id] = e;
    return e.grabbed;
  }
  entries_[id] = e;
  return true;
}

void QtHotKeys::Unregister(int id) {
  auto it = entries_.find(id);
  if (it == entries_.end()) return;
  if (it->second.grabbed && grabber_) grabber_->Ungrab(id);
  entries_.erase(it);
}

int QtHotKeys::Match(const QKeyEvent& event) const {
  const unsigned mods = ModifiersOf(event.modifiers());
  for (const auto& [id, e] : entries_)
    if (QtKeyOf(e.keys.key) == event.key() && e.keys.modifiers == mods) return id;
  return 0;
}

bool QtHotKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int id = Match(*key);
    // A grabbed combination arrives from the window system; a key event for it here comes
    // from elsewhere (a synthetic event) and is left alone rather than acted on twice.
    if (id != 0 && !entries_.at(id).grabbed) {
      if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that no shortcut of a focused widget takes it; the key press follows.
        key->accept();
        return true;
      }
      Fire(id);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void QtHotKeys::Fire(int id) {
  if (callback_) callback_(id);
}

}  // namespace zevo::platform::qt
