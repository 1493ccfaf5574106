#include "platform/qt/x11_key_grabber.h"

#if defined(ZEVO_HAVE_XCB)

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace zevo::platform::qt {

namespace {

constexpr xcb_keysym_t kNumLockSym = 0xff7f;  // XK_Num_Lock

// The lock modifiers a grab must ignore: every combination of them is grabbed too, as a press
// with Caps Lock or Num Lock on is still the hot key.
struct LockMasks {
  std::uint16_t caps = XCB_MOD_MASK_LOCK;
  std::uint16_t num = XCB_MOD_MASK_2;
  std::vector<std::uint16_t> Variants() const { return {0, caps, num, std::uint16_t(caps | num)}; }
  std::uint16_t All() const { return std::uint16_t(caps | num); }
};

class Grabber : public X11KeyGrabber, public QAbstractNativeEventFilter {
 public:
  Grabber(xcb_connection_t* c, Pressed on_pressed) : conn_(c), on_pressed_(std::move(on_pressed)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    LoadKeyboardMapping();
    QCoreApplication::instance()->installNativeEventFilter(this);
  }

  ~Grabber() override {
    for (auto& [id, g] : grabs_) UngrabKeys(g);
    xcb_flush(conn_);
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool Grab(int id, KeyCombination keys) override {
    Ungrab(id);
    const xcb_keycode_t code = KeycodeFor(keys.key);
    if (code == 0) return false;
    Grabbed g{code, ModifierMask(keys.modifiers)};
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t lock : locks_.Variants())
      cookies.push_back(xcb_grab_key_checked(conn_, 1, root_, std::uint16_t(g.modifiers | lock),
                                             g.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool ok = true;
    for (auto cookie : cookies) {
      if (xcb_generic_error_t* error = xcb_request_check(conn_, cookie)) {
        ok = false;
        std::free(error);
      }
    }
    if (!ok) {
      UngrabKeys(g);
      xcb_flush(conn_);
      return false;
    }
    grabs_[id] = g;
    return true;
  }

  void Ungrab(int id) override {
    auto it = grabs_.find(id);
    if (it == grabs_.end()) return;
    UngrabKeys(it->second);
    xcb_flush(conn_);
    grabs_.erase(it);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* ev = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t kind = ev->response_type & 0x7f;
    if (kind == XCB_MAPPING_NOTIFY) {
      LoadKeyboardMapping();
      return false;
    }
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
    if (key->event != root_) return false;  // a key for one of our windows, not a grab
    const std::uint16_t mods =
        key->state & ~locks_.All() & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
    for (const auto& [id, g] : grabs_) {
      if (g.keycode == key->detail && g.modifiers == mods) {
        // Another copy of this program has the focus: it could not take the combination
        // (this copy holds it), so the key is its to act on, not this one's.
        if (const xcb_window_t other = FocusOfAnotherCopy(); other != XCB_NONE) {
          ForwardKey(*key, other);
          return true;
        }
        if (kind == XCB_KEY_PRESS && on_pressed_) on_pressed_(id);
        return true;
      }
    }
    return false;
  }

 private:
  struct Grabbed {
    xcb_keycode_t keycode;
    std::uint16_t modifiers;
  };

  static std::uint16_t ModifierMask(unsigned m) {
    std::uint16_t out = 0;
    if (m & kModCtrl) out |= XCB_MOD_MASK_CONTROL;
    if (m & kModShift) out |= XCB_MOD_MASK_SHIFT;
    if (m & kModAlt) out |= XCB_MOD_MASK_1;
    return out;
  }

  void UngrabKeys(const Grabbed& g) {
    for (std::uint16_t lock : locks_.Variants())
      xcb_ungrab_key(conn_, g.keycode, root_, std::uint16_t(g.modifiers | lock));
  }

  void LoadKeyboardMapping() {
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    min_keycode_ = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    keysyms_.clear();
    per_code_ = 0;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        conn_, xcb_get_keyboard_mapping(conn_, setup->min_keycode, std::uint8_t(count)), nullptr);
    if (reply) {
      const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
      const int n = xcb_get_keyboard_mapping_keysyms_length(reply);
      keysyms_.assign(syms, syms + n);
      per_code_ = reply->keysyms_per_keycode;
      std::free(reply);
    }
    // Which modifier bit Num Lock is on differs between keyboards.
    if (xcb_get_modifier_mapping_reply_t* mm =
            xcb_get_modifier_mapping_reply(conn_, xcb_get_modifier_mapping(conn_), nullptr)) {
      const xcb_keycode_t num_code = KeycodeForSym(kNumLockSym);
      const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mm);
      const int per_mod = mm->keycodes_per_modifier;
      for (int mod = 0; mod < 8 && num_code != 0; ++mod)
        for (int k = 0; k < per_mod; ++k)
          if (codes[mod * per_mod + k] == num_code) locks_.num = std::uint16_t(1u << mod);
      std::free(mm);
    }
  }

  xcb_keycode_t KeycodeForSym(xcb_keysym_t sym) const {
    if (per_code_ == 0) return 0;
    for (std::size_t i = 0; i < keysyms_.size(); ++i)
      if (keysyms_[i] == sym) return xcb_keycode_t(min_keycode_ + i / per_code_);
    return 0;
  }

  xcb_keycode_t KeycodeFor(char key) const {
    if (key >= 'A' && key <= 'Z') key = char(key - 'A' + 'a');  // letters' keysyms are lower case
    return KeycodeForSym(xcb_keysym_t(static_cast<unsigned char>(key)));
  }

  // A property's value as bytes; empty when the window has none.
  std::string Property(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) const {
    std::string out;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, w, property, type, 0, 256), nullptr);
    if (reply) {
      const int n = xcb_get_property_value_length(reply);
      if (n > 0)
        out.assign(static_cast<const char*>(xcb_get_property_value(reply)), std::size_t(n));
      std::free(reply);
    }
    return out;
  }

  xcb_atom_t Atom(const char* name) const {
    xcb_atom_t atom = XCB_NONE;
    if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, std::uint16_t(std::strlen(name)), name), nullptr)) {
      atom = reply->atom;
      std::free(reply);
    }
    return atom;
  }

  // The window class this program's top-level windows carry (the same in every copy).
  std::string OwnClass() const {
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
      if (w->handle() == nullptr) continue;
      std::string c = Property(xcb_window_t(w->winId()), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
      if (!c.empty()) return c;
    }
    return {};
  }

  // The window with the keyboard focus when it belongs to another process of this program's
  // window class, else none. The focus may lie on a child of the top-level window that carries
  // the class and the process number.
  xcb_window_t FocusOfAnotherCopy() const {
    xcb_window_t focus = XCB_NONE;
    if (xcb_get_input_focus_reply_t* reply =
            xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr)) {
      focus = reply->focus;
      std::free(reply);
    }
    if (focus == XCB_NONE || focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus == root_)
      return XCB_NONE;
    const std::string own = OwnClass();
    if (own.empty()) return XCB_NONE;
    xcb_window_t w = focus;
    for (int depth = 0; depth < 16 && w != XCB_NONE && w != root_; ++depth) {
      const std::string c = Property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
      if (!c.empty()) {
        if (c != own) return XCB_NONE;
        const std::string pid = Property(w, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
        if (pid.size() != 4) return XCB_NONE;
        std::uint32_t value = 0;
        std::memcpy(&value, pid.data(), 4);
        return value != std::uint32_t(getpid()) ? focus : XCB_NONE;
      }
      xcb_query_tree_reply_t* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, w), nullptr);
      if (!tree) return XCB_NONE;
      w = tree->parent;
      std::free(tree);
    }
    return XCB_NONE;
  }

  // Sends the key on to a window, as if it had been pressed there.
  void ForwardKey(const xcb_key_press_event_t& key, xcb_window_t to) {
    xcb_key_press_event_t ev = key;
    ev.event = to;
    ev.child = XCB_NONE;
    const bool press = (key.response_type & 0x7f) == XCB_KEY_PRESS;
    xcb_send_event(conn_, 0, to, press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                   reinterpret_cast<const char*>(&ev));
    xcb_flush(conn_);
  }

  xcb_connection_t* conn_;
  Pressed on_pressed_;
  xcb_window_t root_ = 0;
  LockMasks locks_;
  std::vector<xcb_keysym_t> keysyms_;
  int per_code_ = 0;
  int min_keycode_ = 0;
  std::map<int, Grabbed> grabs_;
};

}  // namespace

std::unique_ptr<X11KeyGrabber> X11KeyGrabber::Create(Pressed on_pressed) {
  auto* app = qGuiApp;
  if (!app) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return nullptr;
  return std::make_unique<Grabber>(x11->connection(), std::move(on_pressed));
}

}  // namespace zevo::platform::qt

#else

namespace zevo::platform::qt {

std::unique_ptr<X11KeyGrabber> X11KeyGrabber::Create(Pressed) {
  return nullptr;
}

}  // namespace zevo::platform::qt

#endif
