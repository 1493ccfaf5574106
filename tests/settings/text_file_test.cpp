#include "settings/text_file.h"

#include <gtest/gtest.h>

#include "settings/dialog_texts.h"
#include "settings/message_texts.h"
#include "settings/setting_names.h"
#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(TextFile, LineEnds) {
  const Lines abc = {"a", "b", "c"};
  EXPECT_EQ(SplitTextLines("a\r\nb\r\nc\r\n"), abc);
  EXPECT_EQ(SplitTextLines("a\rb\rc\r"), abc);
  EXPECT_EQ(SplitTextLines("a\nb\nc"), abc);
  EXPECT_EQ(SplitTextLines("a\r\nb\rc\n"), abc);
  EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two line ends
  EXPECT_EQ(SplitTextLines("\r\n\r\n"), (Lines{"", ""}));
  EXPECT_EQ(SplitTextLines("x\n\n"), (Lines{"x", ""}));
  EXPECT_EQ(SplitTextLines(""), Lines{});
  EXPECT_EQ(SplitTextLines("  padded \t\n"), Lines{"  padded \t"});
  EXPECT_EQ(SplitTextLines("one\ntwo\0three\nfour"s), (Lines{"one", "two"}));
  EXPECT_EQ(SplitTextLines("\0abc"s), Lines{});
}

TEST(TextFile, ReadingFiles) {
  testing::TempDir dir;
  testing::WriteFile(dir / "t.txt", "Left && Top\r\n&Open\r\n");
  auto lines = ReadTextFile(dir / "t.txt");
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines.Value(), (Lines{"Left && Top", "&Open"}));
  EXPECT_FALSE(ReadTextFile(dir / "missing.txt"));
  EXPECT_FALSE(ReadTextFile(dir.Folder()));
}

TEST(MessageTexts, LookupsOfMissingLinesAreErrorsTheCommandCanShow) {
  testing::TempDir dir;
  EXPECT_EQ(MessageTexts::Load(dir.Folder()).Count(), 0);
  std::string file;
  for (int i = 0; i < 15; ++i) file += "message " + std::to_string(i) + "\r\n";
  testing::WriteFile(dir / "Messages.txt", file);
  const MessageTexts texts = MessageTexts::Load(dir.Folder());
  EXPECT_EQ(texts.Count(), 15);
  EXPECT_EQ(texts.At(14), "message 14");
  EXPECT_EQ(texts[0], "message 0");
  EXPECT_FALSE(texts.Has(19));
  try {
    (void)texts.At(19);
    ADD_FAILURE() << "no error";
  } catch (const TextIndexError& e) {
    EXPECT_EQ(e.Line(), 19);
    EXPECT_NE(std::string(e.what()).find("19"), std::string::npos);
  }
  EXPECT_THROW((void)texts.At(-1), std::out_of_range);
}

TEST(DialogTexts, BuiltInListsAreCompleteAndExact) {
  const DialogTexts options = DialogTexts::BuiltIn(DialogTextFile::Options);
  ASSERT_EQ(options.Count(), 48);
  EXPECT_EQ(options[0], "Zevo 3.0 Option");
  EXPECT_EQ(options[16], "Slowest");
  EXPECT_EQ(options[21], "Fastest");
  EXPECT_EQ(options[32], "Extend maxinum");
  EXPECT_EQ(options[37], "Prs. Senstive");
  EXPECT_EQ(options[47], "Change...");
  const DialogTexts author = DialogTexts::BuiltIn(DialogTextFile::Author);
  ASSERT_EQ(author.Count(), 13);
  EXPECT_EQ(author[7], "/*Change password*/");
  EXPECT_EQ(author[12], "Change author information");
  const DialogTexts bg = DialogTexts::BuiltIn(DialogTextFile::Background);
  ASSERT_EQ(bg.Count(), 13);
  EXPECT_EQ(bg[10], "Left && Top");
  const DialogTexts save = DialogTexts::BuiltIn(DialogTextFile::SaveOptions);
  ASSERT_EQ(save.Count(), 8);
  EXPECT_EQ(save[1], "Quality of Sampling (Size:%s - %s)");
  EXPECT_THROW((void)save.At(8), TextIndexError);
  EXPECT_FALSE(save.FromFile());
}

std::string NumberedLines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "line " + std::to_string(i) + "\n";
  return s;
}

TEST(DialogTexts, FilesAreUsedWhenTheyHaveEnoughLines) {
  testing::TempDir dir;
  testing::MemoryStore store;
  const std::string skin = dir.Folder() + "Skin/";
  std::filesystem::create_directory(skin);
  testing::WriteFile(skin + "SaveDlg.txt", NumberedLines(7));
  testing::WriteFile(skin + "BGDlg.txt", NumberedLines(20));
  testing::WriteFile(skin + "LoginDlg.txt", NumberedLines(13));

  // Skin_Path missing: the program folder's "Skin/".
  EXPECT_EQ(DialogSkinFolder(store, dir.Folder()), skin);
  EXPECT_FALSE(LoadDialogTexts(DialogTextFile::SaveOptions, store, dir.Folder()).FromFile());
  DialogTexts bg = LoadDialogTexts(DialogTextFile::Background, store, dir.Folder());
  EXPECT_TRUE(bg.FromFile());
  EXPECT_EQ(bg[12], "line 12");
  EXPECT_EQ(LoadDialogTexts(DialogTextFile::Author, store, dir.Folder())[0], "line 0");
  EXPECT_EQ(LoadDialogTexts(DialogTextFile::Options, store, dir.Folder())[0], "Zevo 3.0 Option");

  // Skin_Path naming a folder that does not exist: the bare file name, here not found.
  WriteSettingText(store, kSkinPath, dir.Folder() + "nowhere/");
  EXPECT_EQ(DialogSkinFolder(store, dir.Folder()), "");
  EXPECT_FALSE(LoadDialogTexts(DialogTextFile::Background, store, dir.Folder()).FromFile());
}

TEST(DialogTexts, AfterASkinChangeTheOptionsFileNeedsExactly48Lines) {
  testing::TempDir dir;
  testing::WriteFile(dir / "Option01.txt", NumberedLines(49));
  EXPECT_TRUE(LoadDialogTextsFrom(DialogTextFile::Options, dir.Folder()).FromFile());
  EXPECT_FALSE(ReloadOptionTexts(dir.Folder()).FromFile());
  testing::WriteFile(dir / "Option01.txt", NumberedLines(48));
  DialogTexts t = ReloadOptionTexts(dir.Folder());
  EXPECT_TRUE(t.FromFile());
  EXPECT_EQ(t[47], "line 47");
  testing::WriteFile(dir / "Option01.txt", NumberedLines(47));
  EXPECT_FALSE(ReloadOptionTexts(dir.Folder()).FromFile());
  EXPECT_FALSE(LoadDialogTextsFrom(DialogTextFile::Options, dir.Folder()).FromFile());
}

TEST(DialogTexts, CrOnlyFilesGiveTheSameLines) {
  testing::TempDir dir;
  std::string crlf, cr;
  for (int i = 0; i < 13; ++i) {
    crlf += "text " + std::to_string(i) + "\r\n";
    cr += "text " + std::to_string(i) + "\r";
  }
  testing::WriteFile(dir / "BGDlg.txt", crlf);
  const Lines a = LoadDialogTextsFrom(DialogTextFile::Background, dir.Folder()).Lines();
  testing::WriteFile(dir / "BGDlg.txt", cr);
  EXPECT_EQ(LoadDialogTextsFrom(DialogTextFile::Background, dir.Folder()).Lines(), a);
  EXPECT_EQ(a.size(), 13u);
}

}  // namespace
}  // namespace zevo::settings
