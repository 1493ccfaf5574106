// The inputs the fuzz targets start from and the ones they found: each must parse without
// fault and keep the parsers' promises.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/posix/settings_file.h"
#include "settings/settings_store.h"
#include "settings/startup_file.h"
#include "settings/text_file.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

std::vector<std::string> Inputs(const char* folder) {
  std::vector<std::string> contents;
  for (auto& e :
       std::filesystem::directory_iterator(std::string(ZEVO_TEST_DATA_DIR) + "/fuzz/" + folder))
    contents.push_back(testing::ReadFile(e.path().string()));
  return contents;
}

TEST(FuzzInputs, SettingsFiles) {
  auto inputs = Inputs("settings_file_fuzz");
  ASSERT_FALSE(inputs.empty());
  for (const std::string& content : inputs) {
    for (const auto& e : platform::ParseSettingsFile(content)) {
      auto line = platform::FormatSettingLine(e.name, e.value);
      ASSERT_TRUE(line);
      EXPECT_EQ(platform::FindSetting(*line, e.name), e.value);
    }
    const platform::StoredSetting v{platform::SettingType::Integer, std::string("\1\2\3\4", 4)};
    auto updated = platform::UpdateSettingsFile(content, "New_Value", v);
    ASSERT_TRUE(updated);
    EXPECT_EQ(platform::FindSetting(*updated, "New_Value"), v);
  }
}

TEST(FuzzInputs, StartupFiles) {
  for (const std::string& content : Inputs("startup_file_fuzz")) {
    const StartupOptions o = ParseStartupFile(content);
    for (const auto& folder : {o.stamp_folder, o.skin_folder}) {
      if (folder) {
        EXPECT_LE(folder->size(), kStartupPieceSize);
      }
    }
  }
}

TEST(FuzzInputs, TextFiles) {
  for (const std::string& content : Inputs("text_file_fuzz"))
    for (const std::string& line : SplitTextLines(content))
      EXPECT_EQ(line.find_first_of(std::string_view("\r\n\0", 3)), std::string::npos);
}

TEST(FuzzInputs, AHandEditedSettingsFile) {
  // Windows line ends, a comment, a damaged value and a duplicate, as a person may leave it.
  testing::TempDir dir;
  std::filesystem::copy_file(std::string(ZEVO_TEST_DATA_DIR) + "/settings/hand_edited",
                             dir / "settings");
  platform::FileSettingsBackend store(dir / "settings");
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 200);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 3);  // damaged: the default
  EXPECT_EQ(ReadSettingText(store, "Skin_Path", ""), "/home/wang/skins/red/");
  EXPECT_EQ(ReadSettingText(store, "Author", ""), "王羲之");
  WriteSettingInt(store, "Replay_Rate", 4);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
  EXPECT_EQ(ReadSettingText(store, "Skin_Path", ""), "/home/wang/skins/red/");
  EXPECT_NE(testing::ReadFile(dir / "settings").find("# my own notes"), std::string::npos);
}

}  // namespace
}  // namespace zevo::settings
