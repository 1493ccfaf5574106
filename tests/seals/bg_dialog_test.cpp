#include "seals/bg_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/scripted_ui.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/settings/test_support.h"

namespace zevo::seals {
namespace {

using platform::ScriptedUi;
using settings::testing::MemoryStore;
using settings::testing::TempDir;

void WriteLines(const std::string& path, int count) {
  std::ofstream f(path, std::ios::binary);
  for (int i = 0; i < count; ++i) f << "line " << i << "\r\n";
}

TEST(BGDialog, CreationTextsAndFolders) {
  TempDir program;
  MemoryStore store;
  // No skin folder: the built-in texts, and the skin folder is empty.
  {
    TBGDialog d(store, program.Folder());
    EXPECT_FALSE(d.texts_from_file);
    EXPECT_EQ(d.skin_folder, "");
    EXPECT_EQ(d.texts.caption, "Select Background Style");
    EXPECT_EQ(d.texts.radio_kind[2], "Image");
    EXPECT_EQ(d.texts.load, "Load...");
    EXPECT_EQ(d.texts.radio_fit[3], "Left && Top");
    EXPECT_EQ(d.texts.cancel, "Cancel");
    EXPECT_EQ(d.texture_folder, program.Folder() + "Texture/");
    EXPECT_EQ(d.image_folder, program.Folder() + "Background/");
    EXPECT_EQ(d.kind_button, kKindWhite);
    EXPECT_EQ(d.page, BGPage::kNone);
    EXPECT_EQ(d.committed_kind + d.selected_kind + d.selected_fit + d.committed_fit +
                  d.committed_transparency + d.combo_box1_index,
              0);
    EXPECT_TRUE(d.picked_texture_file.empty() && d.committed_image_file.empty());
  }
  // A file of 12 lines is not enough; one of 13 gives every text, line by line.
  std::filesystem::create_directories(program / "Skin");
  WriteLines(program / "Skin/BGDlg.txt", 12);
  EXPECT_FALSE(TBGDialog(store, program.Folder()).texts_from_file);
  WriteLines(program / "Skin/BGDlg.txt", 14);
  TBGDialog d(store, program.Folder());
  EXPECT_TRUE(d.texts_from_file);
  EXPECT_EQ(d.skin_folder, program.Folder() + "Skin/");
  EXPECT_EQ(d.texts.caption, "line 0");
  EXPECT_EQ(d.texts.group_box1, "line 1");
  EXPECT_EQ(d.texts.radio_kind[0], "line 2");
  EXPECT_EQ(d.texts.load, "line 5");
  EXPECT_EQ(d.texts.label1, "line 6");
  EXPECT_EQ(d.texts.radio_fit[0], "line 7");
  EXPECT_EQ(d.texts.radio_fit[3], "line 10");
  EXPECT_EQ(d.texts.ok, "line 11");
  EXPECT_EQ(d.texts.cancel, "line 12");

  // Each activation reads the two folders again.
  settings::WriteSettingText(store, settings::kTexturePath, "/t/");
  settings::WriteSettingText(store, settings::kImagePath, "/i/");
  EXPECT_EQ(d.texture_folder, program.Folder() + "Texture/");
  d.FormActivate();
  EXPECT_EQ(d.texture_folder, "/t/");
  EXPECT_EQ(d.image_folder, "/i/");
}

TEST(BGDialog, KindButtonsPagesAndLoadButtons) {
  MemoryStore store;
  settings::WriteSettingText(store, settings::kTexturePath, "/tex/");
  settings::WriteSettingText(store, settings::kImagePath, "/img/");
  TBGDialog d(store, "/prog/");
  d.RadioButton2Click();
  EXPECT_EQ(d.selected_kind, kKindTexture);
  EXPECT_EQ(d.page, BGPage::kTabSheet1);
  d.RadioButton3Click();
  EXPECT_EQ(d.kind_button, kKindImage);
  EXPECT_EQ(d.page, BGPage::kTabSheet2);
  d.RadioButton1Click();
  EXPECT_EQ(d.selected_kind, kKindWhite);
  EXPECT_EQ(d.page, BGPage::kNone);

  ScriptedUi ui;
  ui.QueueOpenFile("/tex/paper/Rice.JPG");
  ui.QueueOpenFile("/img/Hills.bmp");
  ui.QueueOpenFile(std::nullopt);
  d.Button2Click(ui);
  d.Button1Click(ui);
  d.Button1Click(ui);  // cancelled: the pick stays
  ASSERT_EQ(ui.calls.size(), 3u);
  EXPECT_EQ(ui.calls[0].folder, "/tex/");
  EXPECT_EQ(ui.calls[1].folder, "/img/");
  EXPECT_EQ(ui.calls[0].filter,
            "All Image (*.bmp;*.jpg;*.jpeg)|*.bmp;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|"
            "JPEG Image File (*.jpg;*.jpeg)|*.jpg;*.jpeg|All File (*.*)|*.*");
  EXPECT_EQ(ui.calls[0].text, "");  // the file name starts empty
  EXPECT_EQ(d.picked_texture_file, "/tex/paper/Rice.JPG");
  EXPECT_EQ(d.static_text2, "Rice.JPG");
  EXPECT_EQ(d.picked_image_file, "/img/Hills.bmp");
  EXPECT_EQ(d.static_text1, "Hills.bmp");
}

TEST(BGDialog, OkAcceptsOnlyAKindWithAFile) {
  MemoryStore store;
  TBGDialog d(store, "/prog/");
  ScriptedUi ui;
  // Texture or image without a file: white.
  d.RadioButton2Click();
  d.OKBtnClick();
  EXPECT_EQ(d.committed_kind, kKindWhite);
  d.RadioButton3Click();
  d.FitButtonClick(2);
  d.ComboBox1Change(1);
  d.OKBtnClick();
  EXPECT_EQ(d.committed_kind, kKindWhite);
  EXPECT_EQ(d.committed_fit, 2);  // taken all the same
  EXPECT_EQ(d.committed_transparency, 1);

  ui.QueueOpenFile("/a/tile.bmp");
  d.RadioButton2Click();
  d.Button2Click(ui);
  d.OKBtnClick();
  EXPECT_EQ(d.committed_kind, kKindTexture);
  EXPECT_EQ(d.committed_texture_file, "/a/tile.bmp");
  EXPECT_EQ(d.committed_fit, 2);  // a texture leaves the image's values alone

  ui.QueueOpenFile("/a/photo.jpg");
  d.RadioButton3Click();
  d.Button1Click(ui);
  d.FitButtonClick(0);
  d.ComboBox1Change(2);
  d.OKBtnClick();
  EXPECT_EQ(d.committed_kind, kKindImage);
  EXPECT_EQ(d.committed_image_file, "/a/photo.jpg");
  EXPECT_EQ(d.committed_fit, 0);
  EXPECT_EQ(d.committed_transparency, 2);
  EXPECT_EQ(d.committed_texture_file, "/a/tile.bmp");

  d.RadioButton1Click();
  d.OKBtnClick();
  EXPECT_EQ(d.committed_kind, kKindWhite);
  EXPECT_EQ(d.committed_image_file, "/a/photo.jpg");  // white keeps the files
}

TEST(BGDialog, CancelReturnsTheControlsToTheLastOk) {
  MemoryStore store;
  TBGDialog d(store, "/prog/");
  ScriptedUi ui;
  ui.QueueOpenFile("/img/first.jpg");
  d.RadioButton3Click();
  d.Button1Click(ui);
  d.FitButtonClick(1);   // "Full"
  d.ComboBox1Change(2);  // "75 %"
  d.OKBtnClick();

  // Next showing: the writer changes everything, then cancels.
  ui.QueueOpenFile("/img/second.jpg");
  d.FormActivate();
  d.Button1Click(ui);
  d.FitButtonClick(3);
  d.ComboBox1Change(0);
  d.RadioButton2Click();
  d.CancelBtnClick();
  EXPECT_EQ(d.kind_button, kKindImage);
  EXPECT_EQ(d.selected_kind, kKindImage);
  EXPECT_EQ(d.page, BGPage::kTabSheet2);
  EXPECT_EQ(d.fit_button, 1);
  EXPECT_EQ(d.selected_fit, 1);
  EXPECT_EQ(d.combo_box1_index, 2);
  EXPECT_EQ(d.static_text1, "/img/first.jpg");  // the whole stored name
  EXPECT_EQ(d.static_text2, "");
  EXPECT_EQ(d.committed_image_file, "/img/first.jpg");

  // The pick survives the Cancel: a later OK takes the file picked last.
  d.OKBtnClick();
  EXPECT_EQ(d.committed_image_file, "/img/second.jpg");
  EXPECT_EQ(d.committed_fit, 1);
  EXPECT_EQ(d.committed_transparency, 2);

  // A fit outside 0..2 sets the last fit button.
  d.committed_fit = 9;
  d.CancelBtnClick();
  EXPECT_EQ(d.fit_button, 3);
  EXPECT_EQ(d.selected_fit, 3);
}

}  // namespace
}  // namespace zevo::seals
