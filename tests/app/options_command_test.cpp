// The options dialog from the control panel: what Accept stored is applied to the running
// window; Exit changes nothing.
#include <gtest/gtest.h>

#include "settings/options_dlg.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

using platform::DialogModel;
using test::TestWindow;

TEST(Options, AcceptedSettingsTakeEffectAndExitChangesNothing) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  const float soft_before = w.app_settings.pressure_curve.Mapped(300);

  // Exit: nothing stored, nothing applied.
  t.ui.QueueDialog([](DialogModel& m) {
    auto& d = static_cast<settings::TFormCfg&>(m);
    d.FormActivate();
    d.RadioButton5Click(2);
    d.Button6Click();
    return false;
  });
  w.ShowControlExecute();
  t.Click("Options");
  EXPECT_EQ(w.panels.tablet_panel_cursor, 101);

  // Accept: the pen cursor, the pressure range and the replay rate.
  t.ui.QueueDialog([](DialogModel& m) {
    auto& d = static_cast<settings::TFormCfg&>(m);
    d.FormActivate();
    d.RadioButton5Click(2);   // the pen cursor
    d.TrackBar2Change(200);   // a harder start of the range
    d.ComboBox1Change(5);     // fastest replay
    d.TrackBar3Change(-300);  // a softer curve
    d.Button4Click();
    return true;
  });
  t.Click("Options");
  EXPECT_EQ(t.ui.unanswered, 0);
  EXPECT_EQ(w.panels.tablet_panel_cursor, 102);
  EXPECT_EQ(w.app_settings.cursor_style, 2);
  EXPECT_EQ(w.app_settings.replay_rate, 10);
  EXPECT_EQ(settings::ReadSettingInt(*t.settings, settings::kCursorStyle, 0), 2);
  EXPECT_NE(w.app_settings.pressure_curve.Mapped(300), soft_before);
  // The author is read again: still the stored one.
  EXPECT_EQ(w.author.name, "Test Writer");
}

}  // namespace
}  // namespace zevo::app
