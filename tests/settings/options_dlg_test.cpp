#include "settings/options_dlg.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/scripted_ui.h"
#include "settings/login_dlg.h"
#include "settings/password_mask.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using platform::ScriptedUi;
using testing::MemoryStore;
using testing::TempDir;

constexpr gfx::Color kRed = gfx::Rgb(255, 0, 0);

// An "Option01.txt" of `count` lines, each "L<n>".
void WriteOptionFile(const TempDir& dir, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += 'L';
    text += std::to_string(i);
    text += "\r\n";
  }
  testing::WriteFile(dir / "Option01.txt", text);
}

// The dialog as the window shows it: made once, then activated.
struct Shown {
  explicit Shown(MemoryStore& store, const std::string& folder = "/nowhere/") : d(store, folder) {
    d.FormActivate();
  }
  TFormCfg d;
};

TEST(OptionsDlg, ListsSelectTheEntryForTheStoredValueAndWriteItBackUntilTouched) {
  const int replay[] = {0, 0, 1, 2, 3, 4, 4, 5, 5, 5, 5, 5};  // stored rates 0..11
  for (int rate = 0; rate <= 11; ++rate) {
    MemoryStore store;
    WriteSettingInt(store, kReplayRate, rate);
    Shown s(store);
    EXPECT_EQ(s.d.replay_index, replay[rate]) << "rate " << rate;
    s.d.Button4Click();
    EXPECT_EQ(ReadSettingInt(store, kReplayRate, -1), rate) << "rate " << rate;
  }
  EXPECT_EQ(ReplayEntryOf(-3), 5);
  // Extension maxima -5..300: the first entry at or above, 0 only for 0, negatives as 25.
  const int bounds[] = {25, 50, 75, 100, 150};
  for (int stored = -5; stored <= 300; ++stored) {
    MemoryStore store;
    WriteSettingInt(store, kPenExMax, stored);
    int expected = 1;
    for (int b : bounds) expected += stored > b;
    ASSERT_EQ(Shown(store).d.extension_index, stored == 0 ? 0 : expected) << stored;
  }

  MemoryStore store;
  WriteSettingInt(store, kReplayRate, 5);
  Shown s(store);
  EXPECT_EQ(s.d.replay_entries,
            (std::vector<std::string>{"Slowest", "Slower", "Normal", "Fast", "Faster", "Fastest"}));
  EXPECT_EQ(s.d.replay_index, 4);
  s.d.ComboBox1Change(4);  // touching "Faster" stores its own value
  s.d.ComboBox4Change(6);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kReplayRate, -1), 6);
  EXPECT_EQ(ReadSettingInt(store, kPenExMax, -1), 200);
  const int rates[] = {1, 2, 3, 4, 6, 10}, maxima[] = {0, 25, 50, 75, 100, 150};
  for (int i = 0; i < 6; ++i) {
    s.d.ComboBox1Change(i);
    s.d.ComboBox4Change(i);
    EXPECT_EQ(s.d.values.replay_rate, rates[i]);
    EXPECT_EQ(s.d.values.ex_max, maxima[i]);
  }
  s.d.ComboBox1Change(6);  // no such entries: nothing changes
  s.d.ComboBox4Change(-1);
  EXPECT_EQ(s.d.values.replay_rate, 10);
  EXPECT_EQ(s.d.extension_index, 5);
}

TEST(OptionsDlg, ChoicesBarAndCheckBoxShowTheCopyAndChangeIt) {
  MemoryStore empty;
  Shown fresh(empty);  // missing settings: the dialog's own defaults
  EXPECT_EQ(fresh.d.cursor_choice, 1);
  EXPECT_EQ(fresh.d.print_choice, 1);  // 150
  EXPECT_EQ(fresh.d.mapping_choice, 0);
  EXPECT_EQ(fresh.d.replay_index, 2);
  EXPECT_TRUE(fresh.d.check_box1);
  EXPECT_EQ(fresh.d.edit6, "Unregisted");
  for (const std::string& e : fresh.d.edits) EXPECT_EQ(e, "<default>");
  EXPECT_EQ(fresh.d.static_text1, "0.00 %");
  EXPECT_EQ(fresh.d.texts[0], "Zevo 3.0 Option");

  MemoryStore store;
  WriteSettingInt(store, kPrintScale, 120);
  WriteSettingInt(store, kCursorStyle, 7);
  WriteSettingInt(store, kTabletReverse, 3);
  WriteSettingInt(store, kPenReRatio, 41);
  WriteSettingInt(store, kPenExRatio, 20);
  WriteSettingInt(store, kPenContour, 0);
  Shown s(store);
  EXPECT_EQ(s.d.print_choice, 2);
  EXPECT_EQ(s.d.cursor_choice, 2);
  EXPECT_EQ(s.d.mapping_choice, 1);
  EXPECT_EQ(s.d.static_text1, "0.40 %");
  EXPECT_FALSE(s.d.check_box1);
  s.d.Button4Click();  // values no choice stands for go back as they were
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, 0), 120);
  EXPECT_EQ(ReadSettingInt(store, kCursorStyle, 0), 7);
  EXPECT_EQ(ReadSettingInt(store, kTabletReverse, 0), 3);
  EXPECT_EQ(ReadSettingInt(store, kPenReRatio, 0), 41);

  s.d.RadioButton8Click(100);
  s.d.RadioButton5Click(0);
  s.d.RadioButton1Click(0);
  s.d.TrackBar1Change(73);
  s.d.CheckBox1Click(true);
  EXPECT_EQ(s.d.static_text1, "1.46 %");
  EXPECT_EQ(s.d.track_bar1.selection_end, 73);
  EXPECT_EQ(s.d.print_choice, 0);
  EXPECT_EQ(s.d.cursor_choice, 0);
  EXPECT_EQ(s.d.mapping_choice, 0);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, 0), 100);
  EXPECT_EQ(ReadSettingInt(store, kCursorStyle, 9), 0);
  EXPECT_EQ(ReadSettingInt(store, kTabletReverse, 9), 0);
  EXPECT_EQ(ReadSettingInt(store, kPenExRatio, 0), 73);
  EXPECT_EQ(ReadSettingInt(store, kPenContour, 0), 1);
}

TEST(OptionsDlg, MinMaxAndDefaultKeepThePressureRangeOpenAndRedrawTheCurve) {
  MemoryStore store;
  Shown s(store);
  // The default curve is the diagonal; its end point and the border are not drawn.
  int red = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) red += s.d.image1.Pixel(x, y) == kRed;
  EXPECT_EQ(red, 63);
  for (int i = 0; i < 63; ++i) EXPECT_EQ(s.d.image1.Pixel(i, 63 - i), kRed) << i;
  auto height_at_32 = [&] {
    for (int y = 0; y < 64; ++y)
      if (s.d.image1.Pixel(32, y) == kRed) return 63 - y;
    return -1;
  };
  s.d.TrackBar3Change(1024);  // far below the diagonal
  EXPECT_LE(height_at_32(), 1);
  s.d.TrackBar3Change(-1024);  // far above it
  EXPECT_GE(height_at_32(), 58);

  s.d.TrackBar2Change(1023);
  EXPECT_EQ(s.d.values.prs_min, 0);  // moving the bar alone changes nothing
  s.d.Button9Click();                // Min at 1023
  EXPECT_EQ(s.d.values.prs_min, 1022);
  EXPECT_EQ(s.d.track_bar2.selection_start, 1022);
  s.d.TrackBar2Change(0);
  s.d.Button10Click();  // Max at 0 pushes the minimum below it
  EXPECT_EQ(s.d.values.prs_max, 1);
  EXPECT_EQ(s.d.values.prs_min, 0);
  EXPECT_EQ(s.d.track_bar2.selection_start, 0);
  EXPECT_EQ(s.d.track_bar2.selection_end, 1);
  s.d.TrackBar2Change(600);
  s.d.Button9Click();  // Min above the maximum pushes the maximum up
  EXPECT_EQ(s.d.values.prs_max, 601);
  EXPECT_EQ(s.d.track_bar2.selection_end, 601);
  EXPECT_EQ(height_at_32(), 0);  // nothing below 600 reaches the curve

  s.d.Button11Click();  // Default
  EXPECT_EQ(s.d.values.prs_min, 0);
  EXPECT_EQ(s.d.values.prs_max, 1023);
  EXPECT_EQ(s.d.values.prs_gamma, 0);
  EXPECT_EQ(s.d.track_bar3.position, 0);
  EXPECT_EQ(s.d.track_bar2.selection_end, 1023);
  EXPECT_EQ(height_at_32(), 32);
  EXPECT_TRUE(store.values.empty());  // all of it in the copy only

  const auto range = OptionsCurveTable(100, 300, 0);
  EXPECT_EQ(range[100], 0);
  EXPECT_EQ(range[200], 511);  // 100 x 1023 / 200, truncated
  EXPECT_EQ(range[300], 1023);
  EXPECT_EQ(OptionsCurveTable(0, 1023, 1024)[512],
            int(std::pow(512.0 / 1023, std::pow(1.002, 1024)) * 1023));
  // Stored values no dialog would write touch nothing outside the table.
  for (int v : OptionsCurveTable(-2147483647 - 1, 2147483647, 5)) ASSERT_TRUE(v >= 0 && v <= 1023);
  EXPECT_EQ(OptionsCurveTable(900, 100, 0)[100], 1023);
}

TEST(OptionsDlg, UndoAndExitBringBackTheStoredValues) {
  MemoryStore store;
  WriteSettingInt(store, kPenExRatio, 10);
  WriteSettingInt(store, kReplayRate, 2);
  WriteSettingText(store, kAuthor, "Yan");
  Shown s(store);
  const auto before = store.values;
  auto edit = [&s] {
    ScriptedUi ui;
    ui.QueueFolder("/tmp/Seals");
    s.d.Button2Click(ui);
    s.d.TrackBar1Change(90);
    s.d.ComboBox1Change(5);
    s.d.RadioButton8Click(200);
    s.d.TrackBar2Change(500);
    s.d.Button9Click();
    s.d.TrackBar3Change(200);
  };
  auto expect_stored = [&s, &store] {
    EXPECT_EQ(s.d.values.ex_ratio, 10);
    EXPECT_EQ(s.d.track_bar1.position, 10);
    EXPECT_EQ(s.d.static_text1, "0.20 %");
    EXPECT_EQ(s.d.replay_index, 1);
    EXPECT_EQ(s.d.print_choice, 1);
    EXPECT_EQ(s.d.track_bar2.selection_start, 0);
    EXPECT_EQ(s.d.track_bar3.position, 0);
    EXPECT_EQ(s.d.edits[TFormCfg::kStamp], "<default>");
    EXPECT_EQ(s.d.edit6, "Yan");
    EXPECT_TRUE(s.d.image1.SamePixels(TFormCfg(store, "/nowhere/").image1));
  };
  edit();
  s.d.Button5Click();  // Undo
  expect_stored();
  edit();
  s.d.Button6Click();  // Exit
  EXPECT_FALSE(s.d.accepted);
  EXPECT_EQ(store.values, before);
  s.d.FormActivate();
  expect_stored();
}

TEST(OptionsDlg, AcceptWritesTheCopyAndTheFoldersOnlyWhenChosen) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  StorePassword(store, "brush");
  WriteSettingText(store, kImagePath, "/old-bg/");
  Shown s(store);
  ScriptedUi ui;
  ui.QueueFolder("/tmp/Seals");  // the separator is added
  ui.QueueFolder("/tmp/Strokes/");
  ui.QueueFolder("/tex");
  ui.QueueFolder(std::nullopt);  // background: cancelled
  ui.QueueFolder("");            // an item without a path
  s.d.Button2Click(ui);
  s.d.Button3Click(ui);
  s.d.Button7Click(ui);
  s.d.Button8Click(ui);
  s.d.Button8Click(ui);
  s.d.EditChange(TFormCfg::kSkin, "/typed/");  // typing chooses nothing
  EXPECT_EQ(s.d.edits[TFormCfg::kStamp], "/tmp/Seals/");
  EXPECT_EQ(s.d.edits[TFormCfg::kSkin], "/typed/");
  // Titles are the rows' labels; the browser starts in the set folder or the program's own.
  const std::pair<const char*, const char*> asked[] = {{"Stamp", "/nowhere/Stamp/"},
                                                       {"Stroke", "/nowhere/Save/"},
                                                       {"Texture", "/nowhere/Texture/"},
                                                       {"Background", "/old-bg/"},
                                                       {"Background", "/old-bg/"}};
  ASSERT_EQ(ui.calls.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ui.calls[i].caption, asked[i].first);
    EXPECT_EQ(ui.calls[i].text, asked[i].second);
  }
  s.d.TrackBar2Change(100);
  s.d.Button9Click();
  s.d.TrackBar2Change(900);
  s.d.Button10Click();
  s.d.TrackBar3Change(-64);
  s.d.Button4Click();
  EXPECT_TRUE(s.d.accepted);
  EXPECT_FALSE(s.d.skin_changed);
  EXPECT_EQ(ReadSettingText(store, kStampPath, "?"), "/tmp/Seals/");
  EXPECT_EQ(ReadSettingText(store, kSavePath, "?"), "/tmp/Strokes/");
  EXPECT_EQ(ReadSettingText(store, kTexturePath, "?"), "/tex/");
  EXPECT_EQ(ReadSettingText(store, kImagePath, "?"), "/old-bg/");
  EXPECT_EQ(ReadSettingText(store, kSkinPath, "?"), "?");
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Yan");
  EXPECT_EQ(ReadStoredPassword(store), "brush");
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsMin, -1), 100);
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsMax, -1), 900);
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsGamma, -1), -64);
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, -1), 150);
  s.d.FormActivate();  // the next showing starts unaccepted
  EXPECT_FALSE(s.d.accepted);

  MemoryStore empty;  // no author: an empty one and the masked empty password are stored
  Shown nobody(empty);
  nobody.d.Button4Click();
  EXPECT_EQ(ReadSettingText(empty, kAuthor, "?"), "");
  EXPECT_EQ(ReadSettingText(empty, kPassword, ""), MaskPassword(""));
}

TEST(OptionsDlg, ChosenSkinRenamesTheDialogOnlyWithExactly48Lines) {
  TempDir program, skin48, skin49;
  WriteOptionFile(skin48, 48);
  WriteOptionFile(skin49, 49);
  MemoryStore store;
  WriteSettingInt(store, kReplayRate, 10);
  WriteSettingText(store, kSkinPath, skin49.Folder());
  Shown s(store, program.Folder());
  EXPECT_EQ(s.d.texts[0], "L0");  // at creation 49 lines will do
  EXPECT_EQ(s.d.replay_entries[0], "L16");

  ScriptedUi ui;
  s.d.Button1Click(ui);  // cancelled
  EXPECT_FALSE(s.d.skin_changed);
  ui.QueueFolder(skin48 / "");
  s.d.Button1Click(ui);
  EXPECT_EQ(ui.calls[1].caption, "L23");  // the label as the skin names it
  EXPECT_EQ(ui.calls[1].text, skin49.Folder());
  EXPECT_TRUE(s.d.skin_changed);
  EXPECT_EQ(s.d.edits[TFormCfg::kSkin], skin48.Folder());
  EXPECT_EQ(s.d.texts[47], "L47");
  EXPECT_EQ(s.d.replay_entries,
            (std::vector<std::string>{"L16", "L17", "L18", "L19", "L20", "L21"}));
  EXPECT_EQ(s.d.replay_index, 5);  // the current rate's entry again

  ui.QueueFolder(skin49.Folder());
  s.d.Button1Click(ui);
  EXPECT_EQ(s.d.texts[0], "Zevo 3.0 Option");  // built in after a choice of 49 lines
  EXPECT_EQ(s.d.replay_entries[5], "Fastest");
  EXPECT_EQ(s.d.replay_index, 5);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kSkinPath, ""), skin49.Folder());
  s.d.FormActivate();
  EXPECT_FALSE(s.d.skin_changed);
}

TEST(OptionsDlg, ChangeHandsTheAuthorToTheCopyAndOnlyAcceptStoresIt) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  StorePassword(store, "brush");
  Shown s(store);
  s.d.TrackBar1Change(40);  // an edit made before Change... is kept
  const auto before = store.values;
  ScriptedUi ui;
  int mode = -1;
  auto rename = [&](const std::string& name, const std::string& password, bool ok) {
    ui.QueueDialog([&, name, password, ok](platform::DialogModel& m) {
      auto& login = static_cast<TLoginDlg&>(m);
      mode = login.mode;
      login.FormActivate();
      login.Edit1Change(name);
      if (!password.empty()) {
        login.Edit2Enter();
        login.Edit2KeyDown();
        login.Edit2Change(password);
        login.Edit2Exit();
        login.Edit3Enter();
        login.Edit3KeyDown();
        login.Edit3Change(password);
        login.Edit3Exit();
      }
      if (!ok) login.CancelBtnClick();
      return ok && login.OKBtnClick(ui);
    });
    s.d.Button12Click(ui);
  };
  rename("Other", "", false);  // cancelled
  EXPECT_EQ(s.d.edit6, "Yan");
  rename("Liu Gongquan", "", true);  // the password box untouched
  EXPECT_EQ(mode, TLoginDlg::kChange);
  EXPECT_EQ(s.d.edit6, "Liu Gongquan");
  EXPECT_EQ(s.d.values.password, "brush");
  EXPECT_EQ(store.values, before);  // nothing stored yet
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Liu Gongquan");
  EXPECT_EQ(ReadStoredPassword(store), "brush");
  EXPECT_EQ(ReadSettingInt(store, kPenExRatio, 0), 40);

  s.d.FormActivate();
  rename("Other", "new", true);
  EXPECT_EQ(s.d.values.password, "new");
  s.d.Button6Click();  // Exit discards the new author
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Liu Gongquan");
  EXPECT_EQ(ReadStoredPassword(store), "brush");
  s.d.FormActivate();
  EXPECT_EQ(s.d.edit6, "Liu Gongquan");
}

}  // namespace
}  // namespace zevo::settings
