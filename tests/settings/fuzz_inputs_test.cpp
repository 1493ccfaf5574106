// The inputs of the settings fuzz targets (tests/data/fuzz/settings_file_fuzz,
// startup_file_fuzz and text_file_fuzz), the seeds and what fuzzing found: each must parse
// without fault and keep the parsers' promises.
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/posix/settings_file.h"
#include "settings/password_mask.h"
#include "settings/settings_store.h"
#include "settings/startup_file.h"
#include "settings/text_file.h"
#include "tests/settings/test_support.h"
#include "tests/support/fuzz_inputs.h"

namespace zevo::settings {
namespace {

std::string_view Text(const test::FuzzInput& input) {
  return {reinterpret_cast<const char*>(input.bytes.data()), input.bytes.size()};
}

TEST(FuzzInputs, SettingsFiles) {
  for (const test::FuzzInput& input : test::FuzzInputs("settings_file_fuzz")) {
    SCOPED_TRACE(input.name);
    const std::string_view content = Text(input);
    const auto entries = platform::ParseSettingsFile(content);
    for (const auto& e : entries) {
      auto line = platform::FormatSettingLine(e.name, e.value);
      ASSERT_TRUE(line);
      EXPECT_EQ(platform::FindSetting(*line, e.name), e.value);
    }
    // An update holds the new value and keeps every other one.
    const platform::StoredSetting v{platform::SettingType::Integer, std::string("\1\2\3\4", 4)};
    auto updated = platform::UpdateSettingsFile(content, "New_Value", v);
    ASSERT_TRUE(updated);
    EXPECT_EQ(platform::FindSetting(*updated, "new_value"), v);
    for (const auto& e : entries) {
      std::string lower = e.name;
      for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      if (lower != "new_value") {
        EXPECT_TRUE(platform::FindSetting(*updated, e.name)) << e.name;
      }
    }
    // Whatever is stored as a password unmasks to at most 255 bytes without a zero.
    const std::string plain = UnmaskPassword(content);
    EXPECT_LE(plain.size(), kPasswordMaxLength);
    EXPECT_EQ(plain.find('\0'), std::string::npos);
  }
}

TEST(FuzzInputs, StartupFiles) {
  for (const test::FuzzInput& input : test::FuzzInputs("startup_file_fuzz")) {
    SCOPED_TRACE(input.name);
    const StartupOptions o = ParseStartupFile(Text(input));
    for (const auto& folder : {o.stamp_folder, o.skin_folder}) {
      if (folder) {
        EXPECT_FALSE(folder->empty());
        EXPECT_LE(folder->size(), kStartupPieceSize);
        EXPECT_EQ(folder->find_first_of(std::string_view("\n\0", 2)), std::string::npos);
      }
    }
  }
}

TEST(FuzzInputs, TextFiles) {
  for (const test::FuzzInput& input : test::FuzzInputs("text_file_fuzz")) {
    SCOPED_TRACE(input.name);
    for (const std::string& line : SplitTextLines(Text(input)))
      EXPECT_EQ(line.find_first_of(std::string_view("\r\n\0", 3)), std::string::npos);
  }
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
