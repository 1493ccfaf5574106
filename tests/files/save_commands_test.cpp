// The rules of the save and open commands that do not need the window, and the save options
// dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/codec_binding.h"
#include "files/save_rules.h"
#include "files/save_stk_dlg.h"
#include "files/stroke_file.h"
#include "platform/library_loader.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "settings/text_format.h"
#include "tests/settings/test_support.h"

namespace zevo::files {
namespace {

using settings::testing::MemoryStore;
using settings::testing::TempDir;

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

TEST(SaveRules, ProposedNameTakesTheFirstFreeNumber) {
  TempDir dir;
  EXPECT_EQ(ProposedSaveName(dir.Folder()), dir / "Untitled01.stk");
  Touch(dir / "Untitled02.stk");
  EXPECT_EQ(ProposedSaveName(dir.Folder()), dir / "Untitled01.stk");
  Touch(dir / "Untitled01.stk");
  EXPECT_EQ(ProposedSaveName(dir.Folder()), dir / "Untitled03.stk");
  // A folder given without its separator, and a name taken by a folder.
  std::filesystem::create_directory(dir / "Untitled03.stk");
  std::string bare = dir.Folder();
  bare.pop_back();
  EXPECT_EQ(ProposedSaveName(bare), dir / "Untitled04.stk");
}

TEST(SaveRules, StrokeExtensionIsAddedUnlessPresentInAnyCase) {
  EXPECT_EQ(WithStrokeExtension("/s/a.txt"), "/s/a.txt.stk");
  EXPECT_EQ(WithStrokeExtension("/s/b.Stk"), "/s/b.Stk");
  EXPECT_EQ(WithStrokeExtension("/s/c.STK"), "/s/c.STK");
  EXPECT_EQ(WithStrokeExtension("/s/plain"), "/s/plain.stk");
  EXPECT_EQ(WithStrokeExtension("/s.stk/plain"), "/s.stk/plain.stk");  // the folder's dot
  EXPECT_EQ(WithStrokeExtension("/s/x.stkx"), "/s/x.stkx.stk");
}

TEST(SaveRules, AuthorAndProtectionDecideWhatOpeningAllows) {
  ink::StrokeDocument d(1024, 718);
  d.author = TextField("Wang");
  d.password = TextField("ink");
  for (std::uint32_t flags : {0u, 1u, 2u, 3u, 0xFFFFFFFFu}) {
    d.protection = flags;
    EXPECT_EQ(AccessTo(d, "Wang", "ink"), OpenAccess::kFull) << flags;
  }
  d.protection = 0xFFFFFFFCu;
  EXPECT_EQ(AccessTo(d, "Mi", "ink"), OpenAccess::kRefused);
  d.protection = 0xFFFFFFFEu;  // may edit but not open: not opened
  EXPECT_EQ(AccessTo(d, "Wang", "other"), OpenAccess::kRefused);
  d.protection = 0xFFFFFFFDu;
  EXPECT_EQ(AccessTo(d, "Mi", "ink"), OpenAccess::kViewOnly);
  d.protection = 0xFFFFFFFFu;
  EXPECT_EQ(AccessTo(d, "", ""), OpenAccess::kFull);
  // All 256 bytes count: a byte after the terminating zero makes another author.
  d.protection = 0;
  d.author[200] = 'x';
  EXPECT_FALSE(SameAuthor(d, "Wang", "ink"));
  // Names longer than a field are compared as the file would hold them.
  const std::string long_name(300, 'n');
  d.author = TextField(long_name);
  EXPECT_TRUE(SameAuthor(d, long_name, "ink"));
  EXPECT_EQ(d.author[255], '\0');
}

TEST(SaveRules, GridWordsKeepSixSixteenBitValues) {
  const FileGrid g{250, 125, 11, 109, 4, 5};
  const auto words = GridWords(g);
  EXPECT_EQ(words[0], (125 << 16) | 250);
  EXPECT_EQ(words[1], (109 << 16) | 11);
  EXPECT_EQ(words[2], (5 << 16) | 4);
  EXPECT_EQ(GridFromWords(words), g);
  const FileGrid wide{65535, 65535, 0, 65535, 1, 0};
  EXPECT_EQ(GridFromWords(GridWords(wide)), wide);
  EXPECT_TRUE(RecordsGrid(GridWords(wide)));
  EXPECT_FALSE(RecordsGrid({0, 7, 7}));
}

TEST(SaveRules, RecordedGridIsCompleted) {
  EXPECT_EQ(CompletedGrid({0, 40, 3, 4, 0, 0}), (FileGrid{40, 40, 3, 4, 26, 18}));
  EXPECT_EQ(CompletedGrid({50, 0, 0, 0, 2, 0}), (FileGrid{50, 50, 0, 0, 2, 15}));
  EXPECT_EQ(CompletedGrid({50, 60, 1, 2, 3, 4}), (FileGrid{50, 60, 1, 2, 3, 4}));
}

TEST(SaveRules, EveryReadFailureHasItsLine) {
  EXPECT_EQ(ReadFailureLine(kReadCannotOpen), 2);
  EXPECT_EQ(ReadFailureLine(kReadSizeMismatch), 3);
  EXPECT_EQ(ReadFailureLine(kReadCannotDecode), 3);
  EXPECT_EQ(ReadFailureLine(kReadUnknown), 4);
  EXPECT_EQ(ReadFailureLine(kReadMajorVersion), 18);
  EXPECT_EQ(ReadFailureLine(kReadNewerMinor), 19);
  EXPECT_EQ(ReadFailureLine(kReadTooLarge), -1);
}

class SaveStkDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
    static const Result<CodecBinding> codec = CodecBinding::Load(*loader);
    ASSERT_TRUE(codec.Ok()) << codec.ErrorText();
    codec_ = &codec.Value();
    for (int s = 0; s < 30; ++s) {
      for (int i = 0; i < 40; ++i) d_.AddSample(float(10 + i * 7 + s), float(20 + s * 20), 4.5f);
      d_.AddSample(300, float(20 + s * 20), 0);
    }
  }
  const CodecBinding* codec_ = nullptr;
  ink::StrokeDocument d_{1024, 718};
  MemoryStore store_;
  TempDir dir_;
};

TEST_F(SaveStkDlgTest, WithoutAnAuthorTheFileIsSavedOpenToAll) {
  TSaveStkDlg dlg(store_, "/nowhere/");
  EXPECT_FALSE(dlg.texts_from_file);
  EXPECT_EQ(dlg.texts.caption, "Save Options");
  dlg.check_box1 = dlg.check_box2 = false;  // ticks left from an earlier use
  dlg.FormActivate();
  EXPECT_TRUE(dlg.label1_visible);
  EXPECT_FALSE(dlg.check_boxes_enabled);
  EXPECT_TRUE(dlg.check_box1 && dlg.check_box2);
  dlg.CheckBox1Click(false);  // disabled: nothing changes
  dlg.OKBtnClick();
  EXPECT_TRUE(dlg.accepted);
  EXPECT_EQ(dlg.protection, 0xFFFFFFFFu);
  EXPECT_EQ(dlg.sampling_step, 1);
}

TEST_F(SaveStkDlgTest, ProtectionAndStepFromTheControls) {
  settings::WriteSettingText(store_, settings::kAuthor, "Wang");
  TSaveStkDlg dlg(store_, "/nowhere/");
  dlg.FormActivate();
  EXPECT_FALSE(dlg.label1_visible);
  EXPECT_TRUE(dlg.check_boxes_enabled);
  dlg.CheckBox2Click(false);
  dlg.TrackBar1Change(0);
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.protection, 0xFFFFFFFDu);
  EXPECT_EQ(dlg.sampling_step, 4);
  // The ticks stay for the next save; Cancel is not accepted.
  dlg.FormActivate();
  EXPECT_FALSE(dlg.check_box2);
  EXPECT_FALSE(dlg.accepted);
  dlg.CheckBox1Click(false);
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.protection, 0xFFFFFFFCu);
  dlg.FormActivate();
  dlg.CancelBtnClick();
  EXPECT_FALSE(dlg.accepted);
}

TEST_F(SaveStkDlgTest, TheSizeShownIsTheFileWritten) {
  TSaveStkDlg dlg(store_, "/nowhere/");
  dlg.SetDocument(&d_, codec_, "pw", "Wang");
  dlg.FormActivate();
  const std::int64_t full = dlg.FileSize(1);
  const std::string text = settings::FormatByteSize(double(full));
  EXPECT_EQ(dlg.group_box1, "Quality of Sampling (Size:" + text + " - " + text + ")");
  dlg.TrackBar1Change(0);
  EXPECT_LT(dlg.FileSize(4), full);
  EXPECT_NE(dlg.group_box1.find(settings::FormatByteSize(double(dlg.FileSize(4)))),
            std::string::npos);

  // What the dialog made is what the writer would write, byte for byte in size.
  dlg.OKBtnClick();
  const std::vector<std::uint8_t> made = dlg.TakeEncoded();
  ASSERT_FALSE(made.empty());
  EXPECT_EQ(std::int64_t(made.size()), dlg.FileSize(4));
  ASSERT_EQ(WriteStrokeFile(d_, dir_ / "w.stk", 4, "pw", "Wang", *codec_), 0);
  EXPECT_EQ(std::filesystem::file_size(dir_ / "w.stk"), made.size());
  ASSERT_TRUE(WriteEncodedStrokeFile(dir_ / "m.stk", made));
  ink::StrokeDocument back(1024, 718);
  ASSERT_EQ(ReadStrokeFile(back, dir_ / "m.stk", codec_), kReadOk);
  EXPECT_EQ(back.Count(), d_.Count());
  EXPECT_TRUE(SameAuthor(back, "Wang", "pw"));
}

TEST_F(SaveStkDlgTest, BytesMadeForOtherChoicesAreNotReused) {
  settings::WriteSettingText(store_, settings::kAuthor, "Wang");
  TSaveStkDlg dlg(store_, "/nowhere/");
  dlg.SetDocument(&d_, codec_, "pw", "Wang");
  dlg.FormActivate();  // made at step 1, open to all
  dlg.CheckBox1Click(false);
  dlg.OKBtnClick();
  EXPECT_TRUE(dlg.TakeEncoded().empty());  // the protection differs from what was made

  dlg.SetDocument(&d_, codec_, "pw", "Wang");
  dlg.FormActivate();
  dlg.TrackBar1Change(2);
  dlg.TrackBar1Change(3);  // step 1 again: its size is known, the bytes are step 2's
  dlg.OKBtnClick();
  EXPECT_TRUE(dlg.TakeEncoded().empty());

  dlg.SetDocument(&d_, codec_, "pw", "Wang");
  dlg.FormActivate();
  dlg.CancelBtnClick();
  EXPECT_TRUE(dlg.TakeEncoded().empty());
  // Without a document there is nothing to measure.
  dlg.SetDocument(nullptr, nullptr, {}, {});
  dlg.FormActivate();
  EXPECT_EQ(dlg.group_box1, "Quality of Sampling (Size:0Byte - 0Byte)");
}

TEST_F(SaveStkDlgTest, TextFileNeedsEightLines) {
  const std::string skin = dir_.Folder() + "Skin/";
  std::filesystem::create_directories(skin);
  settings::WriteSettingText(store_, settings::kSkinPath, skin);
  settings::testing::WriteFile(skin + "SaveDlg.txt", "a\nb\nc\nd\ne\nf\ng\n");
  EXPECT_FALSE(TSaveStkDlg(store_, "/nowhere/").texts_from_file);
  settings::testing::WriteFile(skin + "SaveDlg.txt", "Opts\nSize %s to %s\nc\nd\ne\nf\ng\nh\n");
  TSaveStkDlg dlg(store_, "/nowhere/");
  EXPECT_TRUE(dlg.texts_from_file);
  EXPECT_EQ(dlg.texts.caption, "Opts");
  dlg.FormActivate();
  EXPECT_EQ(dlg.group_box1, "Size 0Byte to 0Byte");
}

}  // namespace
}  // namespace zevo::files
