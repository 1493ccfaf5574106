#include "settings/login_dlg.h"

#include <gtest/gtest.h>

#include "platform/scripted_ui.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using platform::ScriptedUi;
using testing::MemoryStore;

// Typing into a box as the view reports it: enter, a key, the text, leave.
void TypePassword(TLoginDlg& d, const std::string& text) {
  d.Edit2Enter();
  d.Edit2KeyDown();
  d.Edit2Change(text);
  d.Edit2Exit();
}
void TypeCheck(TLoginDlg& d, const std::string& text) {
  d.Edit3Enter();
  d.Edit3KeyDown();
  d.Edit3Change(text);
  d.Edit3Exit();
}

TEST(LoginDlg, FirstUseStoresWhatIsConfirmed) {
  MemoryStore store;
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.FormActivate();
  EXPECT_EQ(d.memo2, "Using first time");
  EXPECT_EQ(d.edit2, "/*Change password*/");
  EXPECT_FALSE(d.edit2_masked);
  EXPECT_FALSE(d.edit3_enabled);
  EXPECT_EQ(d.focus, TLoginDlg::Focus::kEdit1);

  d.Edit1Change("Wang Xizhi");
  d.Edit2Enter();
  EXPECT_EQ(d.edit2, "");
  d.Edit2KeyDown();
  EXPECT_TRUE(d.edit2_masked);
  EXPECT_TRUE(d.edit3_enabled);
  EXPECT_EQ(d.edit3, "/*Check password*/");
  d.Edit2Change("orchid");
  d.Edit2Exit();
  EXPECT_EQ(d.edit2, "/*Change password*/");  // the placeholder again, unmasked
  EXPECT_FALSE(d.edit2_masked);
  TypeCheck(d, "orchid");
  ASSERT_TRUE(d.OKBtnClick(ui));
  EXPECT_TRUE(d.confirmed);
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Wang Xizhi");
  EXPECT_EQ(ReadStoredPassword(store), "orchid");
  EXPECT_TRUE(ui.calls.empty());
}

TEST(LoginDlg, RefusalsKeepTheDialogOpen) {
  MemoryStore store;
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.FormActivate();
  EXPECT_FALSE(d.OKBtnClick(ui));  // no author
  d.Edit1Change("Mi Fu");
  TypePassword(d, "stone");
  EXPECT_FALSE(d.OKBtnClick(ui));  // check left empty
  TypeCheck(d, "Stone");
  EXPECT_FALSE(d.OKBtnClick(ui));  // check differs
  EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Please input author", "Please input password",
                                                     "Please input password"}));
  EXPECT_FALSE(d.confirmed);
  EXPECT_TRUE(store.values.empty());
  // What was typed is still there to be corrected.
  EXPECT_EQ(d.edit1, "Mi Fu");
  TypeCheck(d, "stone");
  EXPECT_TRUE(d.OKBtnClick(ui));
}

TEST(LoginDlg, ChangeModeKeepsAnUntouchedPasswordAndStoresNothing) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Old Name");
  StorePassword(store, "secret");
  const auto before = store.values;
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.mode = TLoginDlg::kChange;
  d.FormActivate();
  EXPECT_EQ(d.memo2, "Change author information");
  EXPECT_EQ(d.edit1, "Old Name");
  d.Edit1Change("New Name");
  // Entering and leaving the password box without a key keeps the password.
  d.Edit2Enter();
  d.Edit2Exit();
  ASSERT_TRUE(d.OKBtnClick(ui));
  EXPECT_EQ(d.author, "New Name");
  EXPECT_EQ(d.password, "secret");
  EXPECT_EQ(store.values, before);
}

TEST(LoginDlg, AKeyWithNothingTypedEmptiesThePassword) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "A");
  StorePassword(store, "secret");
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.FormActivate();
  TypePassword(d, "");
  ASSERT_TRUE(d.OKBtnClick(ui));
  EXPECT_EQ(d.password, "");
  EXPECT_EQ(ReadStoredPassword(store), "");
}

TEST(LoginDlg, ReturnInABoxTakesItsText) {
  MemoryStore store;
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.FormActivate();
  d.Edit1Change("B");
  TypePassword(d, "reed");
  d.Edit3Enter();
  d.Edit3KeyDown();
  d.Edit3Change("reed");
  // OK by the Return key: the check box still has the focus.
  ASSERT_TRUE(d.OKBtnClick(ui));
  EXPECT_EQ(ReadStoredPassword(store), "reed");
}

TEST(LoginDlg, LongTextsAreCutBetweenCharacters) {
  MemoryStore store;
  ScriptedUi ui;
  TLoginDlg d(store, "/nowhere/");
  d.FormActivate();
  // 254 ASCII bytes and a three-byte character: the character does not fit in 255.
  const std::string long_password = std::string(254, 'p') + "\xE5\xAD\x97" + "tail";
  d.Edit1Change(std::string(256, 'a'));
  TypePassword(d, long_password);
  TypeCheck(d, long_password);
  ASSERT_TRUE(d.OKBtnClick(ui));
  EXPECT_EQ(d.author, std::string(255, 'a'));
  EXPECT_EQ(d.password, std::string(254, 'p'));
  EXPECT_EQ(ReadStoredPassword(store), std::string(254, 'p'));
  EXPECT_EQ(IdentityText(std::string(300, 'x')).size(), 255u);
  EXPECT_EQ(IdentityText(std::string("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace zevo::settings
