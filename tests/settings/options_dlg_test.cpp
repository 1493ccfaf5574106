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
using testing::WriteFile;

constexpr gfx::Color kRed = gfx::Rgb(255, 0, 0);

// An "Option01.txt" of `count` lines, each "L<n>".
std::string OptionFile(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += 'L';
    text += std::to_string(i);
    text += "\r\n";
  }
  return text;
}

// The dialog as the window shows it: made, then activated.
struct Shown {
  explicit Shown(MemoryStore& store, const std::string& folder = "/nowhere/") : d(store, folder) {
    d.FormActivate();
  }
  TFormCfg d;
};

// ---- The lists ----

TEST(OptionsDlg, ReplayListSelectsTheEntryForEachStoredRate) {
  // Rates 0..11: which entry each selects; Accept writes the stored rate back untouched.
  const int expected[] = {0, 0, 1, 2, 3, 4, 4, 5, 5, 5, 5, 5};
  for (int rate = 0; rate <= 11; ++rate) {
    MemoryStore store;
    WriteSettingInt(store, kReplayRate, rate);
    Shown s(store);
    EXPECT_EQ(s.d.replay_index, expected[rate]) << "rate " << rate;
    s.d.Button4Click();
    EXPECT_EQ(ReadSettingInt(store, kReplayRate, -1), rate) << "rate " << rate;
  }
  MemoryStore negative;
  WriteSettingInt(negative, kReplayRate, -3);
  EXPECT_EQ(Shown(negative).d.replay_index, 5);
  MemoryStore missing;
  EXPECT_EQ(Shown(missing).d.replay_index, 2);  // "Normal"
}

TEST(OptionsDlg, ReplayListWritesTheRateOfTheChosenEntry) {
  MemoryStore store;
  WriteSettingInt(store, kReplayRate, 5);
  Shown s(store);
  EXPECT_EQ(s.d.replay_entries,
            (std::vector<std::string>{"Slowest", "Slower", "Normal", "Fast", "Faster", "Fastest"}));
  EXPECT_EQ(s.d.replay_index, 4);
  s.d.ComboBox1Change(4);  // touching the list writes the list's value
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kReplayRate, -1), 6);
  const int rates[] = {1, 2, 3, 4, 6, 10};
  for (int i = 0; i < 6; ++i) {
    s.d.ComboBox1Change(i);
    EXPECT_EQ(s.d.values.replay_rate, rates[i]);
  }
  s.d.ComboBox1Change(6);  // no such entry
  s.d.ComboBox1Change(-1);
  EXPECT_EQ(s.d.values.replay_rate, 10);
  EXPECT_EQ(s.d.replay_index, 5);
}

TEST(OptionsDlg, ExtensionListSelectsTheFirstEntryAtOrAboveTheStoredMaximum) {
  for (int stored = -5; stored <= 300; ++stored) {
    MemoryStore store;
    WriteSettingInt(store, kPenExMax, stored);
    Shown s(store);
    int expected = 6;
    if (stored == 0)
      expected = 0;
    else if (stored <= 25)
      expected = 1;  // negative values too
    else if (stored <= 50)
      expected = 2;
    else if (stored <= 75)
      expected = 3;
    else if (stored <= 100)
      expected = 4;
    else if (stored <= 150)
      expected = 5;
    ASSERT_EQ(s.d.extension_index, expected) << "stored " << stored;
  }
  MemoryStore store;
  Shown s(store);
  const int maxima[] = {0, 25, 50, 75, 100, 150, 200};
  for (int i = 0; i < 7; ++i) {
    s.d.ComboBox4Change(i);
    EXPECT_EQ(s.d.values.ex_max, maxima[i]);
    EXPECT_EQ(s.d.extension_index, i);
  }
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kPenExMax, -1), 200);
}

// ---- Choices, bar and check box ----

TEST(OptionsDlg, ChoicesShowTheStoredValuesAndUnknownOnesAreWrittenBackUntouched) {
  MemoryStore store;
  WriteSettingInt(store, kPrintScale, 120);
  WriteSettingInt(store, kCursorStyle, 7);
  WriteSettingInt(store, kTabletReverse, 3);
  WriteSettingInt(store, kPenReRatio, 41);
  Shown s(store);
  EXPECT_EQ(s.d.print_choice, 2);
  EXPECT_EQ(s.d.cursor_choice, 2);
  EXPECT_EQ(s.d.mapping_choice, 1);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, 0), 120);
  EXPECT_EQ(ReadSettingInt(store, kCursorStyle, 0), 7);
  EXPECT_EQ(ReadSettingInt(store, kTabletReverse, 0), 3);
  EXPECT_EQ(ReadSettingInt(store, kPenReRatio, 0), 41);

  s.d.RadioButton8Click(100);
  s.d.RadioButton5Click(0);
  s.d.RadioButton1Click(0);
  EXPECT_EQ(s.d.print_choice, 0);
  EXPECT_EQ(s.d.cursor_choice, 0);
  EXPECT_EQ(s.d.mapping_choice, 0);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, 0), 100);
  EXPECT_EQ(ReadSettingInt(store, kCursorStyle, 9), 0);
  EXPECT_EQ(ReadSettingInt(store, kTabletReverse, 9), 0);
}

TEST(OptionsDlg, MissingSettingsShowTheDialogsDefaults) {
  MemoryStore store;
  Shown s(store);
  EXPECT_EQ(s.d.cursor_choice, 1);
  EXPECT_EQ(s.d.print_choice, 1);  // 150, though the window prints with 100 until stored
  EXPECT_EQ(s.d.mapping_choice, 0);
  EXPECT_TRUE(s.d.check_box1);
  EXPECT_EQ(s.d.edit6, "Unregisted");
  for (const std::string& e : s.d.edits) EXPECT_EQ(e, "<default>");
  EXPECT_EQ(s.d.track_bar2.selection_start, 0);
  EXPECT_EQ(s.d.track_bar2.selection_end, 1023);
  EXPECT_EQ(s.d.static_text1, "0.00 %");
  EXPECT_EQ(s.d.texts[0], "Zevo 3.0 Option");
}

TEST(OptionsDlg, ExtensionRatioBarShowsItsPercentAndContourFollowsTheBox) {
  MemoryStore store;
  WriteSettingInt(store, kPenExRatio, 20);
  WriteSettingInt(store, kPenContour, 0);
  Shown s(store);
  EXPECT_EQ(s.d.track_bar1.position, 20);
  EXPECT_EQ(s.d.static_text1, "0.40 %");
  EXPECT_FALSE(s.d.check_box1);
  s.d.TrackBar1Change(73);
  EXPECT_EQ(s.d.static_text1, "1.46 %");
  EXPECT_EQ(s.d.track_bar1.selection_end, 73);
  s.d.CheckBox1Click(true);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingInt(store, kPenExRatio, 0), 73);
  EXPECT_EQ(ReadSettingInt(store, kPenContour, 0), 1);
}

// ---- Pressure range, gamma and curve ----

TEST(OptionsDlg, MinAndMaxTakeTheBarPositionAndKeepTheRangeOpen) {
  MemoryStore store;
  Shown s(store);
  s.d.TrackBar2Change(1023);
  EXPECT_EQ(s.d.values.prs_min, 0);  // moving the bar alone changes nothing
  s.d.Button9Click();                // Min at 1023
  EXPECT_EQ(s.d.values.prs_min, 1022);
  EXPECT_EQ(s.d.values.prs_max, 1023);
  EXPECT_EQ(s.d.track_bar2.selection_start, 1022);

  s.d.TrackBar2Change(0);
  s.d.Button10Click();  // Max at 0
  EXPECT_EQ(s.d.values.prs_max, 1);
  EXPECT_EQ(s.d.values.prs_min, 0);  // pushed below the maximum
  EXPECT_EQ(s.d.track_bar2.selection_start, 0);
  EXPECT_EQ(s.d.track_bar2.selection_end, 1);

  s.d.TrackBar2Change(600);
  s.d.Button9Click();  // Min above the maximum pushes the maximum up
  EXPECT_EQ(s.d.values.prs_min, 600);
  EXPECT_EQ(s.d.values.prs_max, 601);
  EXPECT_EQ(s.d.track_bar2.selection_end, 601);

  s.d.TrackBar3Change(-300);
  s.d.Button11Click();  // Default
  EXPECT_EQ(s.d.values.prs_min, 0);
  EXPECT_EQ(s.d.values.prs_max, 1023);
  EXPECT_EQ(s.d.values.prs_gamma, 0);
  EXPECT_EQ(s.d.track_bar3.position, 0);
  EXPECT_EQ(s.d.track_bar2.selection_start, 0);
  EXPECT_EQ(s.d.track_bar2.selection_end, 1023);
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsMin, -1), -1);  // nothing stored yet
}

TEST(OptionsDlg, CurveIsTheDiagonalByDefaultAndBendsWithGamma) {
  MemoryStore store;
  Shown s(store);
  ASSERT_EQ(s.d.image1.Width(), 64);
  ASSERT_EQ(s.d.image1.Height(), 64);
  int red = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) red += s.d.image1.Pixel(x, y) == kRed;
  for (int i = 0; i < 63; ++i) EXPECT_EQ(s.d.image1.Pixel(i, 63 - i), kRed) << i;
  EXPECT_EQ(red, 63);  // the line's end point is not drawn, nor the border
  EXPECT_EQ(s.d.image1.Pixel(0, 0), gfx::kWhite);

  // Where the curve crosses the middle column: far below the diagonal, then far above it.
  auto height_at_32 = [&] {
    for (int y = 0; y < 64; ++y)
      if (s.d.image1.Pixel(32, y) == kRed) return 63 - y;
    return -1;
  };
  EXPECT_EQ(height_at_32(), 32);
  s.d.TrackBar3Change(1024);
  EXPECT_LE(height_at_32(), 1);
  s.d.TrackBar3Change(-1024);
  EXPECT_GE(height_at_32(), 58);
}

TEST(OptionsDlg, CurveTableFollowsRangeAndGammaAndSurvivesStoredNonsense) {
  const auto linear = OptionsCurveTable(0, 1023, 0);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(linear[std::size_t(i)], i);
  const auto range = OptionsCurveTable(100, 300, 0);
  EXPECT_EQ(range[99], 0);
  EXPECT_EQ(range[100], 0);
  EXPECT_EQ(range[200], 511);  // 100 x 1023 / 200, truncated
  EXPECT_EQ(range[299], 1017);
  EXPECT_EQ(range[300], 1023);
  const auto bent = OptionsCurveTable(0, 1023, 1024);
  EXPECT_EQ(bent[512], int(std::pow(512.0 / 1023, std::pow(1.002, 1024)) * 1023));
  // Values no dialog would store: nothing outside the table is touched.
  const auto wild = OptionsCurveTable(-2147483647 - 1, 2147483647, 5);
  for (int v : wild) ASSERT_TRUE(v >= 0 && v <= 1023);
  const auto step = OptionsCurveTable(900, 100, 0);
  EXPECT_EQ(step[99], 0);
  EXPECT_EQ(step[100], 1023);
}

// ---- Undo, Exit, Accept ----

TEST(OptionsDlg, UndoBringsBackTheStoredValuesAfterEdits) {
  MemoryStore store;
  WriteSettingInt(store, kPenExRatio, 10);
  WriteSettingInt(store, kReplayRate, 2);
  Shown s(store);
  ScriptedUi ui;
  ui.QueueFolder("/tmp/Seals");
  s.d.Button2Click(ui);
  s.d.TrackBar1Change(90);
  s.d.ComboBox1Change(5);
  s.d.RadioButton5Click(0);
  s.d.TrackBar2Change(500);
  s.d.Button9Click();
  s.d.TrackBar3Change(200);
  s.d.Button5Click();
  EXPECT_EQ(s.d.values.ex_ratio, 10);
  EXPECT_EQ(s.d.track_bar1.position, 10);
  EXPECT_EQ(s.d.static_text1, "0.20 %");
  EXPECT_EQ(s.d.replay_index, 1);
  EXPECT_EQ(s.d.cursor_choice, 1);
  EXPECT_EQ(s.d.values.prs_min, 0);
  EXPECT_EQ(s.d.track_bar2.selection_start, 0);
  EXPECT_EQ(s.d.track_bar3.position, 0);
  EXPECT_TRUE(s.d.values.folders[TFormCfg::kStamp].empty());
  EXPECT_EQ(s.d.edits[TFormCfg::kStamp], "<default>");
  EXPECT_TRUE(s.d.image1.SamePixels(TFormCfg(store, "/nowhere/").image1));
}

TEST(OptionsDlg, ExitWritesNothingAndTheNextShowingStartsFromTheStore) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  Shown s(store);
  const auto before = store.values;
  ScriptedUi ui;
  ui.QueueFolder("/tmp/Seals");
  s.d.Button2Click(ui);
  s.d.RadioButton8Click(200);
  s.d.TrackBar1Change(50);
  s.d.Button6Click();
  EXPECT_FALSE(s.d.accepted);
  EXPECT_EQ(store.values, before);
  s.d.FormActivate();
  EXPECT_EQ(s.d.print_choice, 1);
  EXPECT_EQ(s.d.values.ex_ratio, 0);
  EXPECT_EQ(s.d.edit6, "Yan");
}

TEST(OptionsDlg, AcceptWritesEverythingAndTheFoldersOnlyWhenSet) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  StorePassword(store, "brush");
  Shown s(store);
  EXPECT_FALSE(s.d.accepted);
  ScriptedUi ui;
  ui.QueueFolder("/tmp/Seals");  // the separator is added
  ui.QueueFolder("/tmp/Strokes/");
  s.d.Button2Click(ui);
  s.d.Button3Click(ui);
  EXPECT_EQ(s.d.edits[TFormCfg::kStamp], "/tmp/Seals/");
  EXPECT_EQ(s.d.edits[TFormCfg::kSave], "/tmp/Strokes/");
  // The titles are the rows' labels, the start folders the program's own.
  ASSERT_EQ(ui.calls.size(), 2u);
  EXPECT_EQ(ui.calls[0].caption, "Stamp");
  EXPECT_EQ(ui.calls[0].text, "/nowhere/Stamp/");
  EXPECT_EQ(ui.calls[1].caption, "Stroke");
  EXPECT_EQ(ui.calls[1].text, "/nowhere/Save/");
  s.d.TrackBar2Change(100);
  s.d.Button9Click();
  s.d.TrackBar2Change(900);
  s.d.Button10Click();
  s.d.TrackBar3Change(-64);
  s.d.Button4Click();
  EXPECT_TRUE(s.d.accepted);
  EXPECT_EQ(ReadSettingText(store, kStampPath, "?"), "/tmp/Seals/");
  EXPECT_EQ(ReadSettingText(store, kSavePath, "?"), "/tmp/Strokes/");
  EXPECT_EQ(ReadSettingText(store, kSkinPath, "?"), "?");
  EXPECT_EQ(ReadSettingText(store, kTexturePath, "?"), "?");
  EXPECT_EQ(ReadSettingText(store, kImagePath, "?"), "?");
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Yan");
  EXPECT_EQ(ReadStoredPassword(store), "brush");
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsMin, -1), 100);
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsMax, -1), 900);
  EXPECT_EQ(ReadSettingInt(store, kTabletPrsGamma, -1), -64);
  EXPECT_EQ(ReadSettingInt(store, kPenContour, -1), 1);
  EXPECT_EQ(ReadSettingInt(store, kPrintScale, -1), 150);
  EXPECT_EQ(ReadSettingInt(store, kCursorStyle, -1), 1);
  EXPECT_EQ(ReadSettingInt(store, kPenExMax, -1), 0);
  // The next showing starts unaccepted from what was stored.
  s.d.FormActivate();
  EXPECT_FALSE(s.d.accepted);
  EXPECT_EQ(s.d.edits[TFormCfg::kStamp], "/tmp/Seals/");
}

TEST(OptionsDlg, AcceptWithoutAnAuthorStoresEmptyIdentity) {
  MemoryStore store;
  Shown s(store);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kAuthor, "?"), "");
  EXPECT_EQ(ReadSettingText(store, kPassword, ""), MaskPassword(""));
}

// ---- Folders ----

TEST(OptionsDlg, FolderBoxesTakeTypingButOnlyTheButtonSetsTheFolder) {
  MemoryStore store;
  WriteSettingText(store, kStampPath, "/seals/");
  Shown s(store);
  s.d.EditChange(TFormCfg::kSave, "/typed/");
  EXPECT_EQ(s.d.edits[TFormCfg::kSave], "/typed/");
  ScriptedUi ui;  // nothing queued: the browser is cancelled
  s.d.Button2Click(ui);
  ui.QueueFolder("");  // an item without a path
  s.d.Button2Click(ui);
  EXPECT_EQ(s.d.values.folders[TFormCfg::kStamp], "/seals/");
  EXPECT_EQ(ui.calls[0].text, "/seals/");  // the set folder is where the browser starts
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kSavePath, "?"), "?");
  EXPECT_EQ(ReadSettingText(store, kStampPath, "?"), "/seals/");
}

TEST(OptionsDlg, HiddenRowsStillChooseTheirFolders) {
  MemoryStore store;
  Shown s(store);
  ScriptedUi ui;
  ui.QueueFolder("/tex");
  ui.QueueFolder("/bg");
  s.d.Button7Click(ui);
  s.d.Button8Click(ui);
  EXPECT_EQ(ui.calls[0].caption, "Texture");
  EXPECT_EQ(ui.calls[0].text, "/nowhere/Texture/");
  EXPECT_EQ(ui.calls[1].caption, "Background");
  EXPECT_EQ(ui.calls[1].text, "/nowhere/Background/");
  EXPECT_FALSE(s.d.skin_changed);
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kTexturePath, ""), "/tex/");
  EXPECT_EQ(ReadSettingText(store, kImagePath, ""), "/bg/");
}

// ---- Skin ----

TEST(OptionsDlg, ChoosingASkinWithExactly48LinesAppliesItsTexts) {
  TempDir program, skin;
  WriteFile(skin / "Option01.txt", OptionFile(48));
  MemoryStore store;
  WriteSettingInt(store, kReplayRate, 10);
  Shown s(store, program.Folder());
  EXPECT_EQ(s.d.texts[0], "Zevo 3.0 Option");
  ScriptedUi ui;
  ui.QueueFolder(skin / "");
  s.d.Button1Click(ui);
  EXPECT_EQ(ui.calls[0].caption, "Skin");
  EXPECT_EQ(ui.calls[0].text, program.Folder() + "Skin/");
  EXPECT_TRUE(s.d.skin_changed);
  EXPECT_EQ(s.d.edits[TFormCfg::kSkin], skin.Folder());
  EXPECT_EQ(s.d.texts[0], "L0");
  EXPECT_EQ(s.d.texts[47], "L47");
  EXPECT_EQ(s.d.replay_entries,
            (std::vector<std::string>{"L16", "L17", "L18", "L19", "L20", "L21"}));
  EXPECT_EQ(s.d.replay_index, 5);  // the entry for the current rate again
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kSkinPath, ""), skin.Folder());
  // The next showing starts with the flag clear.
  s.d.FormActivate();
  EXPECT_FALSE(s.d.skin_changed);
}

TEST(OptionsDlg, SkinWith49LinesIsUsedAtCreationButNotWhenChosen) {
  TempDir skin;
  WriteFile(skin / "Option01.txt", OptionFile(49));
  MemoryStore store;
  WriteSettingText(store, kSkinPath, skin.Folder());
  Shown s(store);
  EXPECT_EQ(s.d.texts[0], "L0");  // at least 48 lines at creation
  EXPECT_EQ(s.d.replay_entries[0], "L16");
  ScriptedUi ui;
  ui.QueueFolder(skin.Folder());
  s.d.Button1Click(ui);
  EXPECT_TRUE(s.d.skin_changed);
  EXPECT_EQ(s.d.texts[0], "Zevo 3.0 Option");  // exactly 48 after a choice
  EXPECT_EQ(s.d.replay_entries[0], "Slowest");
  EXPECT_EQ(s.d.replay_index, 2);
  s.d.Button6Click();
  EXPECT_FALSE(s.d.accepted);
}

TEST(OptionsDlg, CancelledSkinChoiceChangesNothing) {
  MemoryStore store;
  Shown s(store);
  ScriptedUi ui;
  s.d.Button1Click(ui);
  EXPECT_FALSE(s.d.skin_changed);
  EXPECT_EQ(s.d.edits[TFormCfg::kSkin], "<default>");
  EXPECT_EQ(ui.unanswered, 1);
}

// ---- Author ----

TEST(OptionsDlg, ChangeKeepsTheUntouchedPasswordAndStoresOnlyOnAccept) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  StorePassword(store, "brush");
  Shown s(store);
  s.d.TrackBar1Change(40);  // an edit made before Change... is kept
  const auto before = store.values;
  ScriptedUi ui;
  int mode = -1;
  ui.QueueDialog([&](platform::DialogModel& m) {
    auto& login = static_cast<TLoginDlg&>(m);
    mode = login.mode;
    login.FormActivate();
    login.Edit1Change("Liu Gongquan");
    return login.OKBtnClick(ui);
  });
  s.d.Button12Click(ui);
  EXPECT_EQ(mode, TLoginDlg::kChange);
  EXPECT_EQ(ui.Texts(ScriptedUi::Kind::ShowModal), std::vector<std::string>{"TLoginDlg"});
  EXPECT_EQ(s.d.edit6, "Liu Gongquan");
  EXPECT_EQ(s.d.values.password, "brush");
  EXPECT_EQ(store.values, before);  // nothing stored yet
  s.d.Button4Click();
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Liu Gongquan");
  EXPECT_EQ(ReadStoredPassword(store), "brush");
  EXPECT_EQ(ReadSettingInt(store, kPenExRatio, 0), 40);
}

TEST(OptionsDlg, ChangeFollowedByExitOrCancelDiscardsTheNewAuthor) {
  MemoryStore store;
  WriteSettingText(store, kAuthor, "Yan");
  Shown s(store);
  ScriptedUi ui;
  ui.QueueDialog([](platform::DialogModel& m) {
    auto& login = static_cast<TLoginDlg&>(m);
    login.FormActivate();
    login.Edit1Change("Other");
    login.CancelBtnClick();
    return false;
  });
  s.d.Button12Click(ui);
  EXPECT_EQ(s.d.edit6, "Yan");

  ui.QueueDialog([&ui](platform::DialogModel& m) {
    auto& login = static_cast<TLoginDlg&>(m);
    login.FormActivate();
    login.Edit1Change("Other");
    login.Edit2Enter();
    login.Edit2KeyDown();
    login.Edit2Change("new");
    login.Edit2Exit();
    login.Edit3Enter();
    login.Edit3KeyDown();
    login.Edit3Change("new");
    login.Edit3Exit();
    return login.OKBtnClick(ui);
  });
  s.d.Button12Click(ui);
  EXPECT_EQ(s.d.edit6, "Other");
  EXPECT_EQ(s.d.values.password, "new");
  s.d.Button6Click();
  EXPECT_EQ(ReadSettingText(store, kAuthor, ""), "Yan");
  EXPECT_EQ(ReadStoredPassword(store), "");
  s.d.FormActivate();
  EXPECT_EQ(s.d.edit6, "Yan");
}

}  // namespace
}  // namespace zevo::settings
