#include "platform/qt/qt_hot_keys.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QWidget>
#include <cstdlib>
#include <vector>

#if defined(ZEVO_HAVE_XCB)
#include <xcb/xcb.h>
#endif

using zevo::platform::kModCtrl;
using zevo::platform::kModShift;
using zevo::platform::kProgramHotKeys;
using zevo::platform::qt::QtHotKeys;

namespace {

class KeyCounter : public QWidget {
 public:
  int presses = 0;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    ++presses;
    e->accept();
  }
};

void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods) {
  QKeyEvent ev(QEvent::KeyPress, key, mods);
  QCoreApplication::sendEvent(target, &ev);
}

}  // namespace

TEST(HotKeys, TheSevenProgramKeysAndTheirIdentifiers) {
  ASSERT_EQ(kProgramHotKeys.size(), 7u);
  EXPECT_STREQ(kProgramHotKeys[0].name, "E_ZEVO3_001");
  EXPECT_STREQ(kProgramHotKeys[6].name, "E_ZEVO3_007");
  EXPECT_EQ(kProgramHotKeys[5].keys.key, 'B');
  EXPECT_EQ(kProgramHotKeys[5].keys.modifiers, kModCtrl | kModShift);
  for (std::size_t i = 0; i < kProgramHotKeys.size(); ++i)
    EXPECT_EQ(kProgramHotKeys[i].id, int(i + 1));
}

TEST(HotKeys, ApplicationWidePressesReachTheCallbackAndNotTheFocusedWidget) {
  QtHotKeys keys(QtHotKeys::Mode::ApplicationOnly);
  EXPECT_FALSE(keys.SystemWide());
  std::vector<int> fired;
  keys.SetCallback([&](int id) { fired.push_back(id); });
  keys.RegisterProgramHotKeys();

  KeyCounter window;
  QLineEdit edit(&window);  // a dialog's text field has the focus
  window.show();

  Press(&window, Qt::Key_B, Qt::ControlModifier);
  Press(&edit, Qt::Key_F, Qt::ControlModifier);
  Press(&window, Qt::Key_P, Qt::ControlModifier);
  Press(&window, Qt::Key_S, Qt::ControlModifier);
  Press(&edit, Qt::Key_O, Qt::ControlModifier);
  Press(&window, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  Press(&window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(window.presses, 0);

  // Other combinations go to the widget as usual.
  fired.clear();
  Press(&window, Qt::Key_B, Qt::NoModifier);
  Press(&window, Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
  Press(&window, Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(fired.empty());
  EXPECT_EQ(window.presses, 3);

  // The keypad flag is not a modifier: Ctrl+S is Ctrl+S on any keyboard.
  Press(&window, Qt::Key_S, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(fired, std::vector<int>{4});
}

TEST(HotKeys, UnregisteredKeysAreLeftAlone) {
  QtHotKeys keys(QtHotKeys::Mode::ApplicationOnly);
  std::vector<int> fired;
  keys.SetCallback([&](int id) { fired.push_back(id); });
  keys.RegisterProgramHotKeys();
  keys.Unregister(1);
  KeyCounter w;
  Press(&w, Qt::Key_B, Qt::ControlModifier);
  Press(&w, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(fired, std::vector<int>{2});
  EXPECT_EQ(w.presses, 1);

  keys.UnregisterProgramHotKeys();
  Press(&w, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(fired.size(), 1u);
  EXPECT_FALSE(keys.Register(9, {'#', kModCtrl}));  // not a letter or digit
}

// System-wide path: runs only under X11 (QT_QPA_PLATFORM=xcb with a display and xdotool).
TEST(HotKeys, SystemWideOnX11) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "not on X11";
  QtHotKeys keys;
  ASSERT_TRUE(keys.SystemWide());
  std::vector<int> fired;
  keys.SetCallback([&](int id) { fired.push_back(id); });
  ASSERT_TRUE(keys.Register(2, {'F', kModCtrl}));
  ASSERT_TRUE(keys.Register(6, {'B', kModCtrl | kModShift}));
  if (QProcess::execute(QStringLiteral("xdotool"), {"key", "ctrl+f", "ctrl+shift+b", "ctrl+x"}) !=
      0)
    GTEST_SKIP() << "xdotool not available";
  QElapsedTimer t;
  t.start();
  while (fired.size() < 2 && t.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(fired, (std::vector<int>{2, 6}));

  // With Num Lock and Caps Lock on it is still the hot key.
  fired.clear();
  QProcess::execute(QStringLiteral("xdotool"),
                    {"key", "Num_Lock", "Caps_Lock", "ctrl+f", "Num_Lock", "Caps_Lock"});
  t.restart();
  while (fired.empty() && t.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(fired, std::vector<int>{2});

#if defined(ZEVO_HAVE_XCB)
  // Another program holding a combination: the registration reports it and the key still
  // works inside this program.
  int screen = 0;
  xcb_connection_t* other = xcb_connect(nullptr, &screen);
  ASSERT_FALSE(xcb_connection_has_error(other));
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
  KeyCounter w;
  w.show();
  keys.Unregister(2);
  // The other client takes every key with Ctrl alone.
  xcb_void_cookie_t c = xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_CONTROL, XCB_GRAB_ANY,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  ASSERT_EQ(xcb_request_check(other, c), nullptr);
  EXPECT_FALSE(keys.Register(2, {'F', kModCtrl}));
  fired.clear();
  Press(&w, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(fired, std::vector<int>{2});
  xcb_disconnect(other);
#endif
}

#if defined(ZEVO_HAVE_XCB)
// A second copy of the program could not take the combinations this one holds: while a window
// of it has the focus, a hot key pressed is sent on to that window, and this copy does not act.
TEST(HotKeys, AKeyGoesToTheFocusedWindowOfAnotherCopy) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "not on X11";
  if (QProcess::execute(QStringLiteral("xdotool"), {"version"}) != 0)
    GTEST_SKIP() << "xdotool not available";
  KeyCounter own;  // this copy's window, whose class the other copy's window shares
  own.show();
  QCoreApplication::processEvents();
  QtHotKeys keys;
  std::vector<int> fired;
  keys.SetCallback([&](int id) { fired.push_back(id); });
  ASSERT_TRUE(keys.Register(3, {'F', kModCtrl}));

  int screen = 0;
  xcb_connection_t* other = xcb_connect(nullptr, &screen);
  ASSERT_FALSE(xcb_connection_has_error(other));
  const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
  const xcb_window_t win = xcb_generate_id(other);
  const std::uint32_t mask = XCB_EVENT_MASK_KEY_PRESS;
  xcb_create_window(other, XCB_COPY_FROM_PARENT, win, s->root, 0, 0, 50, 50, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, s->root_visual, XCB_CW_EVENT_MASK, &mask);
  // The class this program's windows carry, read from its own window.
  xcb_get_property_reply_t* cls =
      xcb_get_property_reply(other,
                             xcb_get_property(other, 0, xcb_window_t(own.winId()),
                                              XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
                             nullptr);
  ASSERT_NE(cls, nullptr);
  ASSERT_GT(xcb_get_property_value_length(cls), 0);
  xcb_change_property(other, XCB_PROP_MODE_REPLACE, win, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      std::uint32_t(xcb_get_property_value_length(cls)),
                      xcb_get_property_value(cls));
  std::free(cls);
  const char kPid[] = "_NET_WM_PID";
  xcb_intern_atom_reply_t* pid_atom =
      xcb_intern_atom_reply(other, xcb_intern_atom(other, 0, sizeof kPid - 1, kPid), nullptr);
  ASSERT_NE(pid_atom, nullptr);
  const std::uint32_t other_pid = std::uint32_t(QCoreApplication::applicationPid()) + 1;
  xcb_change_property(other, XCB_PROP_MODE_REPLACE, win, pid_atom->atom, XCB_ATOM_CARDINAL, 32, 1,
                      &other_pid);
  std::free(pid_atom);
  xcb_map_window(other, win);
  xcb_flush(other);
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  xcb_set_input_focus(other, XCB_INPUT_FOCUS_POINTER_ROOT, win, XCB_CURRENT_TIME);
  xcb_flush(other);

  QProcess::execute(QStringLiteral("xdotool"), {"key", "ctrl+f"});
  bool forwarded = false;
  t.restart();
  while (!forwarded && t.elapsed() < 3000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (xcb_generic_event_t* ev = xcb_poll_for_event(other)) {
      const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(ev);
      // Sent by the copy holding the grab, to this window.
      if ((ev->response_type & 0x7f) == XCB_KEY_PRESS && (ev->response_type & 0x80) != 0 &&
          key->event == win && (key->state & XCB_MOD_MASK_CONTROL) != 0)
        forwarded = true;
      std::free(ev);
    }
  }
  EXPECT_TRUE(forwarded);
  EXPECT_TRUE(fired.empty());

  // The focus back on this copy's own window: the key is this copy's again.
  xcb_destroy_window(other, win);
  xcb_set_input_focus(other, XCB_INPUT_FOCUS_POINTER_ROOT, xcb_window_t(own.winId()),
                      XCB_CURRENT_TIME);
  xcb_flush(other);
  QProcess::execute(QStringLiteral("xdotool"), {"key", "ctrl+f"});
  t.restart();
  while (fired.empty() && t.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(fired, std::vector<int>{3});
  xcb_disconnect(other);
}
#endif
