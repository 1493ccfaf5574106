#include "settings/password_mask.h"

#include <gtest/gtest.h>

#include "settings/setting_names.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using testing::MemoryStore;

TEST(PasswordMask, NoMaskByteIsZero) {
  const PasswordMask mask;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    EXPECT_NE(mask[i], 0) << i;
    EXPECT_EQ(mask[i],
              std::uint8_t(((i * PasswordMask::kMultiplier) & 0xFF) | PasswordMask::kPattern));
  }
}

TEST(PasswordMask, EveryByteValueAtEveryPositionSurvivesTheStore) {
  MemoryStore store;
  const PasswordMask mask;
  for (std::size_t pos = 0; pos < kPasswordMaxLength; ++pos) {
    for (int b = 1; b < 256; ++b) {
      // A full-length password with the byte at `pos`, and one that ends just after it.
      std::string full(kPasswordMaxLength, char(mask[(pos + 1) % kPasswordMaxLength] ^ 0x01));
      full[pos] = char(b);
      const std::string shorter = full.substr(0, pos + 1);
      StorePassword(store, full);
      ASSERT_EQ(ReadStoredPassword(store), full) << "position " << pos << " byte " << b;
      ASSERT_EQ(UnmaskPassword(MaskPassword(shorter)), shorter) << "position " << pos;
    }
  }
}

TEST(PasswordMask, PasswordsMadeOfTheMaskItself) {
  // Every byte collides: the long form holds them all.
  const PasswordMask mask;
  std::string all_mask;
  for (std::size_t i = 0; i < kPasswordMaxLength; ++i) all_mask.push_back(char(mask[i]));
  const std::string stored = MaskPassword(all_mask);
  EXPECT_EQ(stored.size(), 292u);
  EXPECT_EQ(stored.find('\0'), std::string::npos);
  EXPECT_EQ(UnmaskPassword(stored), all_mask);
}

TEST(PasswordMask, TheStoredFormHasItsFullLengthAndHidesThePassword) {
  const std::string stored = MaskPassword("hunter2");
  EXPECT_EQ(stored.size(), kPasswordMaxLength);
  EXPECT_EQ(stored.find('\0'), std::string::npos);
  EXPECT_EQ(stored.find("hunter"), std::string::npos);
  int printable = 0;
  for (char c : stored.substr(0, 7)) printable += (c >= 0x20 && c < 0x7F);
  EXPECT_EQ(printable, 0);
  // Without collisions the form is the plain masked buffer, as every reader expects.
  const PasswordMask mask;
  EXPECT_EQ(std::uint8_t(stored[0]), std::uint8_t('h' ^ mask[0]));
  EXPECT_EQ(std::uint8_t(stored[100]), mask[100]);
}

TEST(PasswordMask, MissingEmptyLongAndDamagedValues) {
  MemoryStore store;
  EXPECT_EQ(ReadStoredPassword(store), "");  // nothing stored: no password
  StorePassword(store, "");
  EXPECT_EQ(ReadSettingText(store, kPassword, "").size(), kPasswordMaxLength);
  EXPECT_EQ(ReadStoredPassword(store), "");

  StorePassword(store, std::string(300, 'p'));
  EXPECT_EQ(ReadStoredPassword(store), std::string(255, 'p'));
  StorePassword(store, std::string_view("ab\0cd", 5));
  EXPECT_EQ(ReadStoredPassword(store), "ab");

  // A value cut short (edited by hand, or written before collisions were handled) gives the
  // bytes it has.
  const std::string stored = MaskPassword("abcdef");
  EXPECT_EQ(UnmaskPassword(stored.substr(0, 3)), "abc");
  EXPECT_EQ(UnmaskPassword(stored + "junk"), "abcdef");
  EXPECT_EQ(UnmaskPassword(""), "");
}

}  // namespace
}  // namespace zevo::settings
