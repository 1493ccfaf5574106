#include <gtest/gtest.h>
#include "settings/setting_names.h"
#include "settings/settings_store.h"

#include <filesystem>

#include <sys/stat.h>

#include "files/codec_binding.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

using test::TestWindow;
using test::TestWindowOptions;

TEST(Startup, FirstStartTakesEveryDefaultAndWritesNothing) {
  TestWindowOptions o;
  o.author.clear();
  TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  // The writer is asked who they are, declines, and the program starts without an author.
  EXPECT_EQ(t.ui.Texts(platform::ScriptedUi::Kind::ShowModal),
            (std::vector<std::string>{"TLoginDlg"}));
  EXPECT_TRUE(w.author.name.empty());
  const std::string folder = t.folder.string() + "/";
  EXPECT_EQ(w.app_settings.skin_folder, folder + "Skin/");
  EXPECT_EQ(w.app_settings.save_folder, folder + "Save/");
  EXPECT_EQ(w.app_settings.stamp_folder, folder + "Stamp/");
  EXPECT_EQ(w.app_settings.replay_rate, 3);
  EXPECT_TRUE(w.app_settings.contour);
  EXPECT_EQ(w.panels.tablet_panel_cursor, 101);
  EXPECT_EQ(w.pen.brush_size, 10.0f);
  EXPECT_EQ(w.pen.ink_color, 0u);
  EXPECT_EQ(w.export_width, 1024);
  EXPECT_EQ(w.export_height, 718);
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  EXPECT_FALSE(w.panels.ZoomPanel.visible);
  EXPECT_FALSE(w.panels.GridPanel.visible);
  EXPECT_TRUE(w.pen.enabled);
  EXPECT_EQ(w.views.Page().Width(), 1024);
  EXPECT_EQ(w.views.Page().Height(), 718);
  EXPECT_EQ(w.views.Overview().Width(), 256);
  EXPECT_EQ(w.Document().PaperWidth(), 1024);
  EXPECT_TRUE(t.tablet.opened);
  EXPECT_EQ(w.sheet.grid.cell_width, 250);
  EXPECT_EQ(w.sheet.grid.left, 11);
  EXPECT_FALSE(std::filesystem::exists(t.folder / "settings"));
  // The calibration target: red frame and cross on white.
  EXPECT_EQ(w.panels.ImgTmp.picture.Pixel(0, 50), 0x000000FFu);
  EXPECT_EQ(w.panels.ImgTmp.picture.Pixel(128, 50), 0x000000FFu);
  EXPECT_EQ(w.panels.ImgTmp.picture.Pixel(50, 128), 0x000000FFu);
  EXPECT_EQ(w.panels.ImgTmp.picture.Pixel(50, 50), gfx::kWhite);
  // The instruction (a black box from the test's text painter) lies clear of the cross.
  const gfx::Bitmap24& target = w.panels.ImgTmp.picture;
  int text_pixels = 0;
  for (int y = 0; y < target.Height(); ++y)
    for (int x = 0; x < target.Width(); ++x) {
      if (target.Pixel(x, y) != gfx::kBlack) continue;
      ++text_pixels;
      EXPECT_TRUE(x > 128 && y > 128 && x < 255 && y < 255) << x << ", " << y;
    }
  EXPECT_GT(text_pixels, 0);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(target.Pixel(i, 128), 0x000000FFu) << i;
    EXPECT_EQ(target.Pixel(128, i), 0x000000FFu) << i;
  }
}

TEST(Startup, MissingPiecesStopTheStartWithTheirMessage) {
  {
    TestWindowOptions o;
    o.with_codec = false;
    TestWindow t(o);
    EXPECT_FALSE(t.win);
    EXPECT_EQ(t.error, std::string(files::CodecBinding::LibraryFileName()) + " not found.");
  }
  {
    TestWindowOptions o;
    o.tablet_ok = false;
    TestWindow t(o);
    EXPECT_FALSE(t.win);
    EXPECT_EQ(t.error, "Wintab32.DLL not found.");
  }
  {
    TestWindowOptions o;
    o.with_skin = o.with_stamp_skin = false;
    TestWindow t(o);
    EXPECT_FALSE(t.win);
    EXPECT_NE(t.error.find("S_Gnd.bmp"), std::string::npos) << t.error;
  }
  {
    TestWindowOptions o;
    o.message_lines = -1;
    TestWindow t(o);
    EXPECT_FALSE(t.win);
    EXPECT_NE(t.error.find("Messages.txt"), std::string::npos);
  }
  {
    TestWindowOptions o;
    o.message_lines = 10;
    TestWindow t(o);
    EXPECT_FALSE(t.win);
  }
  {
    // Eleven lines start the window; a later look-up of a missing line is an error the
    // command boundary shows.
    TestWindowOptions o;
    o.message_lines = 11;
    TestWindow t(o);
    ASSERT_TRUE(t.win) << t.error;
    EXPECT_THROW(t.win->messages.At(16), std::out_of_range);
  }
}

TEST(Startup, ActivationRegistersTheHotKeysAndResizeCentresTheProgress) {
  TestWindow t;
  auto& w = *t.win;
  w.panels.ControlPanel.visible = true;
  w.pen.enabled = false;
  w.FormActivate();
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  EXPECT_TRUE(w.pen.enabled);
  EXPECT_TRUE(w.timer1_enabled);
  w.FormDeactivate();
  EXPECT_FALSE(w.pen.enabled);
  EXPECT_FALSE(w.timer1_enabled);
  w.FormResize(1280, 1024);
  // Centred on the workspace, which is centred in the window.
  const gfx::Rect progress = w.panels.ToWindow(w.panels.PanelProgress.panel.Bounds());
  EXPECT_EQ(progress.left, (1280 - 425) / 2);
  EXPECT_EQ(progress.top, (1024 - 77) / 2);
  w.SetCursorStyleExecute(2);
  EXPECT_EQ(w.panels.tablet_panel_cursor, 102);
}

}  // namespace
}  // namespace zevo::app

namespace zevo::app {
namespace {

// A FIFO where the settings file should be: the window starts at once on the defaults, says
// why once, and leaves the FIFO as it is.
TEST(Startup, ASettingsFifoIsRefusedWithAMessageAndTheDefaultsApply) {
  test::TestWindowOptions o;
  o.settings_fifo = true;
  test::TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  const std::vector<std::string> shown = t.ui.Messages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("settings"), std::string::npos) << shown[0];
  EXPECT_EQ(t.win->app_settings.replay_rate, 3);
  t.win->ImgTmpClick();  // nothing to calibrate: no write
  struct stat st {};
  ASSERT_EQ(::stat((t.folder / "settings").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  // Writes refused later are not told again.
  settings::WriteSettingInt(*t.win->env.settings, settings::kReplayRate, 5);
  t.win->Timer1Timer();
  EXPECT_EQ(t.ui.Messages().size(), 1u);
}

// A settings file that cannot be written after a good start (a folder put in its place, as a
// read-only or full disk would refuse it): the first failed write is told once, at the next
// tick, and the program runs on.
TEST(Startup, AFailedSettingsWriteIsToldOnce) {
  test::TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCreate();
  t.win->Timer1Timer();
  ASSERT_TRUE(t.ui.Messages().empty());
  std::filesystem::remove(t.folder / "settings");
  std::filesystem::create_directory(t.folder / "settings");
  settings::WriteSettingInt(*t.win->env.settings, settings::kReplayRate, 5);
  t.win->Timer1Timer();
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  EXPECT_NE(t.ui.Messages()[0].find("settings"), std::string::npos) << t.ui.Messages()[0];
  settings::WriteSettingInt(*t.win->env.settings, settings::kReplayRate, 6);
  t.win->Timer1Timer();
  t.win->Timer1Timer();
  EXPECT_EQ(t.ui.Messages().size(), 1u);
  std::filesystem::remove(t.folder / "settings");
}

}  // namespace
}  // namespace zevo::app
