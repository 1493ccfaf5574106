#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using platform::SettingType;
using testing::MemoryStore;

TEST(SettingsStore, MissingValuesGiveTheReadersDefaultAndReadsNeverWrite) {
  MemoryStore store;
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 100);
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 150), 150);
  EXPECT_EQ(ReadSettingText(store, "Save_Path", "/x/Save/"), "/x/Save/");
  EXPECT_TRUE(store.values.empty());
}

TEST(SettingsStore, IntegersAreFourBytesWhateverTheirType) {
  MemoryStore store;
  WriteSettingInt(store, "Tablet_OffsetX", -1536);
  EXPECT_EQ(ReadSettingInt(store, "Tablet_OffsetX", 0), -1536);
  WriteSettingInt(store, "Big", INT32_MIN);
  EXPECT_EQ(ReadSettingInt(store, "Big", 0), INT32_MIN);

  store.PutRaw("Short", SettingType::Integer, std::string("\x05\x00", 2));
  store.PutRaw("Long", SettingType::Integer, std::string(8, '\x01'));
  store.PutRaw("Empty", SettingType::Integer, "");
  EXPECT_EQ(ReadSettingInt(store, "Short", 7), 7);
  EXPECT_EQ(ReadSettingInt(store, "Long", 7), 7);
  EXPECT_EQ(ReadSettingInt(store, "Empty", 7), 7);

  // A text of three characters and its zero is four bytes, and reads as those bytes.
  WriteSettingText(store, "Word", "abc");
  EXPECT_EQ(ReadSettingInt(store, "Word", 0), 0x00636261);
}

TEST(SettingsStore, TextsEndAtTheirFirstZeroAndLongOnesReadAsDefault) {
  MemoryStore store;
  WriteSettingText(store, "Author", std::string_view("Wang\0Xizhi", 10));
  EXPECT_EQ(store.values["author"].bytes, std::string("Wang\0", 5));
  EXPECT_EQ(ReadSettingText(store, "Author", "-"), "Wang");

  store.PutRaw("Raw", SettingType::Text, std::string("ab\0cd", 5));
  EXPECT_EQ(ReadSettingText(store, "Raw", "-"), "ab");
  store.PutRaw("NoZero", SettingType::Text, "abc");
  EXPECT_EQ(ReadSettingText(store, "NoZero", "-"), "abc");

  // The read buffer holds 1023 bytes and the zero.
  WriteSettingText(store, "A", std::string(1022, 'a'));
  WriteSettingText(store, "B", std::string(1023, 'b'));
  WriteSettingText(store, "Folder", std::string(1100, 'c'));
  EXPECT_EQ(ReadSettingText(store, "A", "-"), std::string(1022, 'a'));
  EXPECT_EQ(ReadSettingText(store, "B", "-"), "-");
  EXPECT_EQ(ReadSettingText(store, "Folder", "/default/"), "/default/");

  // An integer value read as text: its bytes up to the first zero.
  WriteSettingInt(store, "N", 0x41);
  EXPECT_EQ(ReadSettingText(store, "N", "-"), "A");
}

TEST(SettingsStore, AFailingWriteIsIgnored) {
  MemoryStore store;
  WriteSettingInt(store, "Replay_Rate", 4);
  store.fail_writes = true;
  WriteSettingInt(store, "Replay_Rate", 6);
  WriteSettingText(store, "Author", "x");
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
  EXPECT_EQ(ReadSettingText(store, "Author", ""), "");
}

TEST(SettingsStore, TheProcessWideStoreCanBeReplacedForAScope) {
  MemoryStore outer, inner;
  ScopedSettingsBackend a(outer);
  WriteSettingInt("Cursor_Style", 2);
  {
    ScopedSettingsBackend b(inner);
    EXPECT_EQ(&CurrentSettingsBackend(), &inner);
    EXPECT_EQ(ReadSettingInt("Cursor_Style", 1), 1);
    WriteSettingText("Author", "inner");
  }
  EXPECT_EQ(ReadSettingInt("Cursor_Style", 1), 2);
  EXPECT_EQ(ReadSettingText("Author", ""), "");
  EXPECT_EQ(ReadSettingText(inner, "Author", ""), "inner");
}

}  // namespace
}  // namespace zevo::settings
