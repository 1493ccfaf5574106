#include "settings/app_settings.h"

#include <cmath>

#include <gtest/gtest.h>

#include "platform/posix/program_folder.h"
#include "settings/setting_names.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using testing::MemoryStore;

TEST(AppSettings, AFreshAccountGetsTheMainWindowsDefaults) {
  MemoryStore store;
  AppSettings s;
  s.ReadAtStart(store, "/opt/Zevo3/");
  EXPECT_FALSE(s.tablet_reverse);
  EXPECT_EQ(s.cursor_style, 1);
  EXPECT_FLOAT_EQ(s.print_scale, 1.0f);
  EXPECT_EQ(s.skin_folder, "/opt/Zevo3/Skin/");
  EXPECT_EQ(s.save_folder, "/opt/Zevo3/Save/");
  EXPECT_EQ(s.stamp_folder, "/opt/Zevo3/Stamp/");
  EXPECT_EQ(s.replay_rate, 3);
  EXPECT_EQ(s.offset_x, 0);
  EXPECT_EQ(s.offset_y, 0);
  EXPECT_EQ(s.extension_factor, 1.0f);
  EXPECT_EQ(s.half_extension_factor, 1.0f);
  EXPECT_TRUE(s.contour);
  EXPECT_EQ(s.pressure_minimum, 0);
  EXPECT_EQ(s.pressure_maximum, 1023);
  EXPECT_EQ(s.pressure_gamma, 0);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(s.pressure_curve.Mapped(i), float(i));
  EXPECT_TRUE(store.values.empty());
  EXPECT_EQ(DefaultTextureFolder("/p/"), "/p/Texture/");
  EXPECT_EQ(DefaultImageFolder("/p/"), "/p/Background/");
}

TEST(AppSettings, StoredValuesAreConverted) {
  MemoryStore store;
  WriteSettingInt(store, kTabletReverse, 5);
  WriteSettingInt(store, kPrintScale, 150);
  WriteSettingInt(store, kTabletOffsetX, -1536);
  WriteSettingInt(store, kTabletOffsetY, 2047);
  WriteSettingInt(store, kPenExRatio, 100);
  WriteSettingInt(store, kPenContour, 0);
  WriteSettingInt(store, kTabletPrsMin, 100);
  WriteSettingInt(store, kTabletPrsMax, 800);
  WriteSettingText(store, kStampPath, "/seals/");
  AppSettings s;
  s.ReadAtStart(store, "/opt/Zevo3/");
  EXPECT_TRUE(s.tablet_reverse);
  EXPECT_FLOAT_EQ(s.print_scale, 1.5f);
  EXPECT_EQ(s.offset_x, -1);  // −1.5 truncated toward zero
  EXPECT_EQ(s.offset_y, 1);
  EXPECT_FLOAT_EQ(s.extension_factor, 1.02f);
  EXPECT_FLOAT_EQ(s.half_extension_factor, 1.01f);
  EXPECT_FALSE(s.contour);
  EXPECT_EQ(s.stamp_folder, "/seals/");
  EXPECT_EQ(s.pressure_curve.Mapped(99), 0.0f);
  EXPECT_EQ(s.pressure_curve.Mapped(800), 1023.0f);
}

TEST(AppSettings, AfterTheOptionsDialogThePressureCurveIsRebuilt) {
  MemoryStore store;
  AppSettings s;
  s.ReadAtStart(store, "/p/");
  WriteSettingInt(store, kTabletPrsGamma, 1024);
  WriteSettingInt(store, kReplayRate, 10);
  WriteSettingInt(store, kPenExMax, 50);
  WriteSettingText(store, kSkinPath, "/other/skin/");
  WriteSettingInt(store, kTabletOffsetX, 4096);  // calibration is not read again
  s.ReadAfterOptions(store, "/p/", false);
  EXPECT_EQ(s.skin_folder, "/p/Skin/");
  EXPECT_EQ(s.replay_rate, 10);
  EXPECT_EQ(s.offset_x, 0);
  EXPECT_FLOAT_EQ(s.Extension().maximum, 1.5f);
  EXPECT_NEAR(s.pressure_curve.Mapped(511), 1023.0 * std::pow(511.0 / 1023, std::pow(1.002, 1024)),
              1e-3);
  s.ReadAfterOptions(store, "/p/", true);
  EXPECT_EQ(s.skin_folder, "/other/skin/");
}

TEST(AppSettings, TheExecutableFolderEndsWithASeparator) {
  const std::string folder = platform::ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(platform::FolderExists(folder));
  EXPECT_TRUE(platform::FileExists(folder + "settings_tests"));
}

}  // namespace
}  // namespace zevo::settings
