#include "seals/stamp_dlg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/bitmap_turn.h"
#include "gfx/bmp_file.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/settings/test_support.h"

namespace zevo::seals {
namespace {

using settings::testing::MemoryStore;
using settings::testing::TempDir;
using settings::testing::WriteFile;

// A picture whose every pixel tells where it lies, so that turns can be checked.
gfx::Bitmap24 Seal(int w, int h) {
  gfx::Bitmap24 b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, gfx::Rgb(std::uint8_t(x), std::uint8_t(y), 7));
  return b;
}

void SaveSeal(const std::string& path, int w, int h) {
  std::string error;
  ASSERT_TRUE(gfx::SaveBmpFile(Seal(w, h), path, &error)) << error;
}

// A program folder with Skin/S_Gnd.bmp and an empty Stamp/.
class StampDlg : public ::testing::Test {
 protected:
  StampDlg() {
    std::filesystem::create_directories(program / "Skin");
    std::filesystem::create_directories(program / "Stamp");
    std::string error;
    EXPECT_TRUE(gfx::SaveBmpFile(gfx::Bitmap24(488, 427, gfx::Rgb(1, 2, 3)),
                                 program / "Skin/S_Gnd.bmp", &error))
        << error;
  }

  std::string Stamp(const std::string& name) const { return program.Folder() + "Stamp/" + name; }

  std::unique_ptr<TStampDlg> Make() {
    auto created = TStampDlg::Create(store, program.Folder(), nullptr);
    EXPECT_TRUE(created.Ok()) << created.ErrorText();
    return created ? std::move(created).Value() : nullptr;
  }

  std::vector<std::string> Names(const TStampDlg& d) const {
    std::vector<std::string> names;
    for (const auto& t : d.thumbnails)
      names.push_back(std::filesystem::path(t.path).filename().string());
    return names;
  }

  TempDir program;
  MemoryStore store;
};

// ---- Creation ----

TEST_F(StampDlg, CreationReadsTheFoldersAndTheSkin) {
  auto d = Make();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->FormName(), "TStampDlg");
  EXPECT_EQ(d->stamp_folder, program.Folder() + "Stamp/");
  EXPECT_EQ(d->skin_folder, program.Folder() + "Skin/");
  EXPECT_EQ(d->skin.Width(), 488);
  EXPECT_EQ(d->skin.Pixel(0, 0), gfx::Rgb(1, 2, 3));
  EXPECT_EQ(d->turn, 0);
  EXPECT_EQ(d->preview_size, 40);
  EXPECT_EQ(d->result, nullptr);
  EXPECT_FALSE(d->preview.has_value());
  // Nothing is written without a start-up file.
  EXPECT_TRUE(store.values.empty());
}

TEST_F(StampDlg, TheStartUpFileSetsBothFoldersAndIsStored) {
  TempDir elsewhere;
  std::filesystem::create_directories(elsewhere / "skin2");
  std::filesystem::create_directories(elsewhere / "seals");
  std::string error;
  ASSERT_TRUE(gfx::SaveBmpFile(gfx::Bitmap24(10, 10, gfx::Rgb(9, 9, 9)),
                               elsewhere / "skin2/S_Gnd.bmp", &error));
  SaveSeal(elsewhere / "seals/a.bmp", 30, 30);
  settings::WriteSettingText(store, settings::kStampPath, "/old/stamps/");
  std::string ini = "[Zevo3 Option]\r\n";
  ini += "Path_Stamp " + elsewhere.Folder() + "seals/\r\n";
  ini += "Path_Skin " + elsewhere.Folder() + "skin2/\r\n";
  WriteFile(program / "Zevo3.ini", ini);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->skin.Pixel(0, 0), gfx::Rgb(9, 9, 9));
  EXPECT_EQ(settings::ReadSettingText(store, settings::kStampPath, ""),
            elsewhere.Folder() + "seals/");
  EXPECT_EQ(settings::ReadSettingText(store, settings::kSkinPath, ""),
            elsewhere.Folder() + "skin2/");
  d->FormActivate();
  EXPECT_EQ(Names(*d), std::vector<std::string>{"a.bmp"});
}

TEST_F(StampDlg, AMissingOrDamagedSkinPictureIsRefusedByName) {
  std::filesystem::remove(program / "Skin/S_Gnd.bmp");
  auto missing = TStampDlg::Create(store, program.Folder(), nullptr);
  ASSERT_FALSE(missing.Ok());
  EXPECT_NE(missing.ErrorText().find("S_Gnd.bmp"), std::string::npos) << missing.ErrorText();
  EXPECT_NE(missing.ErrorText().find(program.Folder() + "Skin/"), std::string::npos);

  WriteFile(program / "Skin/S_Gnd.bmp", "BM and then nothing useful");
  auto damaged = TStampDlg::Create(store, program.Folder(), nullptr);
  ASSERT_FALSE(damaged.Ok());
  EXPECT_NE(damaged.ErrorText().find("S_Gnd.bmp"), std::string::npos) << damaged.ErrorText();
}

TEST_F(StampDlg, TheFourIndicatorsAreOneSealTurned) {
  auto d = Make();
  ASSERT_NE(d, nullptr);
  const auto& in = d->indicators;
  ASSERT_EQ(in[0].Width(), 80);
  ASSERT_EQ(in[0].Height(), 80);
  EXPECT_TRUE(in[1].SamePixels(gfx::TurnQuarterCounterClockwise(in[0])));
  EXPECT_TRUE(in[2].SamePixels(gfx::TurnHalf(in[0])));
  EXPECT_TRUE(in[3].SamePixels(gfx::TurnQuarterClockwise(in[0])));
  // The mark is not symmetric: each turn looks different.
  EXPECT_FALSE(in[0].SamePixels(in[1]));
  EXPECT_FALSE(in[0].SamePixels(in[2]));
  EXPECT_FALSE(in[1].SamePixels(in[3]));
  // Red, with white on it.
  EXPECT_EQ(gfx::GreenOf(in[0].Pixel(12, 40)) < 100 && gfx::RedOf(in[0].Pixel(12, 40)) > 150, true);
  EXPECT_EQ(in[0].Pixel(20, 20), gfx::kWhite);
}

class RecordingPainter : public platform::TextPainter {
 public:
  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const platform::TextStyle& style) override {
    drawn.push_back(text);
    target.FillRect({x, y, x + 10, y + 20}, style.color);
  }
  platform::TextSize MeasureText(const std::string&, const platform::TextStyle&) override {
    return {10, 20};
  }
  std::vector<std::string> drawn;
};

TEST(StampIndicators, ThePainterWritesTheCharacterInWhiteInTheMiddle) {
  RecordingPainter painter;
  const auto in = DrawTurnIndicators(&painter);
  EXPECT_EQ(painter.drawn, std::vector<std::string>{"印"});
  EXPECT_EQ(in[0].Pixel(35, 30), gfx::kWhite);
  EXPECT_EQ(in[0].Pixel(44, 49), gfx::kWhite);
  EXPECT_NE(in[0].Pixel(34, 40), gfx::kWhite);
}

// ---- Thumbnails ----

TEST(StampThumbnailSize, LongerSideFiftyRatioAsFloatSquareCountsAsTall) {
  EXPECT_EQ(ScaleLongerSide(200, 100, 50), (ScaledSize{50, 25}));
  EXPECT_EQ(ScaleLongerSide(100, 200, 50), (ScaledSize{25, 50}));
  EXPECT_EQ(ScaleLongerSide(100, 100, 50), (ScaledSize{50, 50}));
  // 50 / 120 as a float lies just below 5 / 12.
  EXPECT_EQ(ScaleLongerSide(120, 60, 50), (ScaledSize{50, 24}));
  EXPECT_EQ(ScaleLongerSide(60, 120, 50), (ScaledSize{24, 50}));
  // A square is scaled as a tall picture, by the same float: 50 / 60 lies below 5 / 6.
  EXPECT_EQ(ScaleLongerSide(60, 60, 50), (ScaledSize{49, 50}));
  EXPECT_EQ(ScaleLongerSide(1, 300, 50), (ScaledSize{0, 50}));
  EXPECT_EQ(ScaleLongerSide(0, 10, 50), (ScaledSize{}));
}

TEST_F(StampDlg, ActivationListsEveryBmpByNameAndSizesTheThumbnails) {
  SaveSeal(Stamp("d.bmp"), 120, 60);
  SaveSeal(Stamp("a.BMP"), 200, 100);
  SaveSeal(Stamp("c.Bmp"), 100, 100);
  SaveSeal(Stamp("b.bmp"), 100, 200);
  SaveSeal(Stamp(".hidden.bmp"), 10, 10);
  SaveSeal(Stamp("e.bmp.txt"), 10, 10);
  SaveSeal(Stamp("f.png"), 10, 10);
  std::filesystem::create_directories(Stamp("folder.bmp"));
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  EXPECT_TRUE(d->errors.empty()) << d->ErrorMessage();
  ASSERT_EQ(Names(*d),
            (std::vector<std::string>{".hidden.bmp", "a.BMP", "b.bmp", "c.Bmp", "d.bmp"}));
  const auto& t = d->thumbnails;
  EXPECT_EQ(t[0].path, Stamp(".hidden.bmp"));
  EXPECT_EQ(t[1].picture.Width(), 200);  // full size, the view stretches it
  EXPECT_EQ(std::pair(t[1].width, t[1].height), std::pair(50, 25));
  EXPECT_EQ(std::pair(t[2].width, t[2].height), std::pair(25, 50));
  EXPECT_EQ(std::pair(t[3].width, t[3].height), std::pair(50, 50));
  EXPECT_EQ(std::pair(t[4].width, t[4].height), std::pair(50, 24));

  // Each activation starts again, from the folder as it is then.
  std::filesystem::remove(Stamp("a.BMP"));
  d->FormActivate();
  EXPECT_EQ(Names(*d), (std::vector<std::string>{".hidden.bmp", "b.bmp", "c.Bmp", "d.bmp"}));
  EXPECT_EQ(d->thumbnails[1].left, 4 + 50 + 6);
}

TEST_F(StampDlg, ThumbnailsFillRowsUpTo351PixelsAsHighAsTheirTallest) {
  for (int i = 0; i < 7; ++i) SaveSeal(Stamp(std::to_string(i) + ".bmp"), 100, 100);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  auto place = [&](int i) {
    return std::pair(d->thumbnails[std::size_t(i)].left, d->thumbnails[std::size_t(i)].top);
  };
  d->FormActivate();
  ASSERT_EQ(d->thumbnails.size(), 7u);
  const int lefts[] = {4, 60, 116, 172, 228, 284};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(place(i), std::pair(lefts[i], 4)) << i;
  EXPECT_EQ(place(6), std::pair(4, 4 + 50 + 6));
  // 340 + 11 = 351 still fits; one pixel more does not.
  SaveSeal(Stamp("6.bmp"), 22, 100);
  d->FormActivate();
  EXPECT_EQ(place(6), std::pair(340, 4));
  SaveSeal(Stamp("6.bmp"), 24, 100);
  d->FormActivate();
  EXPECT_EQ(place(6), std::pair(4, 60));
  // The next row starts below the tallest of the row, not the last.
  SaveSeal(Stamp("0.bmp"), 100, 20);  // 50 x 10
  SaveSeal(Stamp("1.bmp"), 100, 80);  // 50 x 40
  for (int i = 2; i <= 6; ++i) SaveSeal(Stamp(std::to_string(i) + ".bmp"), 100, 10);
  d->FormActivate();
  EXPECT_EQ(place(6), std::pair(4, 4 + 40 + 6));
}

// ---- Bad stamp folders ----

TEST_F(StampDlg, ADamagedStampIsSkippedAndNamedTheOthersStay) {
  SaveSeal(Stamp("a.bmp"), 40, 40);
  WriteFile(Stamp("b.bmp"), "not a bitmap at all");
  WriteFile(Stamp("c.bmp"), "");
  SaveSeal(Stamp("d.bmp"), 40, 40);
  {
    // Cut in its pixels.
    std::string bytes = settings::testing::ReadFile(Stamp("d.bmp"));
    WriteFile(Stamp("d.bmp"), bytes.substr(0, bytes.size() / 2));
  }
  SaveSeal(Stamp("e.bmp"), 30, 60);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  EXPECT_EQ(Names(*d), (std::vector<std::string>{"a.bmp", "e.bmp"}));
  ASSERT_EQ(d->errors.size(), 3u);
  EXPECT_EQ(d->errors[0].name, "b.bmp");
  EXPECT_EQ(d->errors[1].name, "c.bmp");
  EXPECT_EQ(d->errors[2].name, "d.bmp");
  EXPECT_NE(d->errors[2].reason.find("truncated"), std::string::npos) << d->errors[2].reason;
  const std::string message = d->ErrorMessage();
  EXPECT_NE(message.find("b.bmp"), std::string::npos);
  EXPECT_NE(message.find("d.bmp"), std::string::npos);
  // The second thumbnail follows the first as if the damaged files were not there.
  EXPECT_EQ(d->thumbnails[1].left, 4 + 50 + 6);

  // Mended: the next activation has no errors left.
  SaveSeal(Stamp("b.bmp"), 40, 40);
  std::filesystem::remove(Stamp("c.bmp"));
  std::filesystem::remove(Stamp("d.bmp"));
  d->FormActivate();
  EXPECT_TRUE(d->errors.empty());
  EXPECT_EQ(d->ErrorMessage(), "");
  EXPECT_EQ(d->thumbnails.size(), 3u);
}

TEST_F(StampDlg, AMissingStampFolderIsNamedAndThePreviewStays) {
  SaveSeal(Stamp("a.bmp"), 80, 40);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  ASSERT_TRUE(d->preview.has_value());
  settings::WriteSettingText(store, settings::kStampPath, program / "gone/");
  d->FormActivate();
  EXPECT_EQ(d->stamp_folder, program / "gone/");
  EXPECT_TRUE(d->thumbnails.empty());
  ASSERT_EQ(d->errors.size(), 1u);
  EXPECT_EQ(d->errors[0].name, program / "gone/");
  EXPECT_NE(d->ErrorMessage().find("gone"), std::string::npos);
  ASSERT_TRUE(d->preview.has_value());
  EXPECT_EQ(d->preview->picture.Width(), 80);
  EXPECT_TRUE(d->FormMouseUp(400, 170));
  ASSERT_NE(d->result, nullptr);
}

// ---- Preview ----

TEST_F(StampDlg, TheFirstThumbnailIsThePreviewUntilAnotherIsPicked) {
  SaveSeal(Stamp("a.bmp"), 100, 50);
  SaveSeal(Stamp("b.bmp"), 30, 120);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  ASSERT_TRUE(d->preview.has_value());
  EXPECT_TRUE(d->preview->picture.SamePixels(Seal(100, 50)));
  EXPECT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(40, 20));
  d->ThumbnailClick(1);
  EXPECT_TRUE(d->preview->picture.SamePixels(Seal(30, 120)));
  EXPECT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(10, 40));
  d->ThumbnailClick(2);  // no such thumbnail: nothing changes
  d->ThumbnailClick(-1);
  EXPECT_EQ(d->preview->picture.Width(), 30);
  // The picked preview survives the next activation, even with its file gone.
  std::filesystem::remove(Stamp("b.bmp"));
  d->FormActivate();
  EXPECT_EQ(d->preview->picture.Width(), 30);
}

TEST_F(StampDlg, PreviewSizeStepsByTenBetweenTwentyAndOneHundredFifty) {
  auto d = Make();
  ASSERT_NE(d, nullptr);
  // Without a preview the size still steps, and there is nothing to choose.
  d->FormActivate();
  EXPECT_FALSE(d->FormMouseUp(430, 330));
  EXPECT_FALSE(d->FormMouseUp(430, 170));
  d->PreviewClick();
  EXPECT_EQ(d->result, nullptr);
  EXPECT_FALSE(d->closed);
  EXPECT_FALSE(d->FormMouseUp(430, 380));

  SaveSeal(Stamp("a.bmp"), 120, 60);
  d->FormActivate();
  for (int expected = 50; expected <= 150; expected += 10) {
    EXPECT_FALSE(d->FormMouseUp(389, 320));
    EXPECT_EQ(d->preview_size, expected);
  }
  EXPECT_FALSE(d->FormMouseUp(478, 357));
  EXPECT_EQ(d->preview_size, 150);
  EXPECT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(150, 75));
  while (d->preview_size > 40) d->FormMouseUp(430, 380);
  EXPECT_FALSE(d->FormMouseUp(430, 358));
  EXPECT_EQ(d->preview_size, 30);
  EXPECT_FALSE(d->FormMouseUp(430, 395));
  EXPECT_EQ(d->preview_size, 20);
  EXPECT_FALSE(d->FormMouseUp(430, 395));
  EXPECT_EQ(d->preview_size, 20);
  // 20 / 120 as a float, times 60.
  EXPECT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(20, 10));
  // Outside the column, nothing.
  EXPECT_FALSE(d->FormMouseUp(388, 330));
  EXPECT_FALSE(d->FormMouseUp(479, 330));
  EXPECT_FALSE(d->FormMouseUp(430, 319));
  EXPECT_FALSE(d->FormMouseUp(430, 396));
  EXPECT_EQ(d->preview_size, 20);
}

// ---- Turning and choosing ----

TEST_F(StampDlg, AQuarterTurnSwapsThePlacedSizeAndTurnsTheChosenStamp) {
  SaveSeal(Stamp("wide.bmp"), 80, 40);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  ASSERT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(40, 20));
  d->ImageStampClick();
  EXPECT_TRUE(d->FormMouseUp(389, 150));
  EXPECT_TRUE(d->closed);
  ASSERT_NE(d->result, nullptr);
  EXPECT_EQ(d->placed_width, 20.0f);
  EXPECT_EQ(d->placed_height, 40.0f);
  EXPECT_EQ(d->result->Width(), 40);
  EXPECT_EQ(d->result->Height(), 80);
  EXPECT_TRUE(d->result->SamePixels(gfx::TurnQuarterCounterClockwise(Seal(80, 40))));
  // The preview itself is not turned.
  EXPECT_EQ(d->preview->picture.Width(), 80);
}

TEST_F(StampDlg, EachTurnGivesItsOwnStamp) {
  SaveSeal(Stamp("wide.bmp"), 60, 30);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  const gfx::Bitmap24 seal = Seal(60, 30);
  const gfx::Bitmap24 expected[] = {seal, gfx::TurnQuarterCounterClockwise(seal),
                                    gfx::TurnHalf(seal), gfx::TurnQuarterClockwise(seal)};
  for (int turn = 0; turn < 4; ++turn) {
    d->result = nullptr;
    d->FormActivate();
    EXPECT_FALSE(d->closed);
    d->PreviewClick();
    EXPECT_TRUE(d->closed);
    ASSERT_NE(d->result, nullptr);
    EXPECT_TRUE(d->result->SamePixels(expected[turn])) << turn;
    const bool sideways = turn % 2 == 1;
    EXPECT_EQ(d->placed_width, sideways ? 20.0f : 40.0f) << turn;
    EXPECT_EQ(d->placed_height, sideways ? 40.0f : 20.0f) << turn;
    d->ImageStampClick();
    EXPECT_EQ(d->turn, (turn + 1) % 4);
  }
}

TEST_F(StampDlg, TheCloseAreaClosesWithoutAResult) {
  SaveSeal(Stamp("a.bmp"), 50, 50);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  EXPECT_TRUE(d->FormMouseUp(478, 193));
  EXPECT_TRUE(d->closed);
  EXPECT_EQ(d->result, nullptr);
  d->FormActivate();
  EXPECT_FALSE(d->closed);
  EXPECT_TRUE(d->FormMouseUp(389, 236));
  EXPECT_EQ(d->result, nullptr);
  // Between the areas and beside them, nothing.
  d->FormActivate();
  EXPECT_FALSE(d->FormMouseUp(430, 149));
  EXPECT_FALSE(d->FormMouseUp(430, 237));
  EXPECT_FALSE(d->FormMouseUp(388, 200));
  EXPECT_FALSE(d->closed);
  // The turn, the size and the preview last between showings.
  std::filesystem::remove(Stamp("a.bmp"));
  SaveSeal(Stamp("b.bmp"), 50, 100);
  d->FormActivate();
  d->ThumbnailClick(0);
  d->ImageStampClick();
  d->FormMouseUp(430, 330);
  d->FormMouseUp(430, 200);
  d->FormActivate();
  EXPECT_EQ(d->turn, 1);
  EXPECT_EQ(d->preview_size, 50);
  EXPECT_EQ(std::pair(d->preview->width, d->preview->height), std::pair(25, 50));
}

TEST_F(StampDlg, ActivationReadsTheStampFolderAgain) {
  std::filesystem::create_directories(program / "other");
  SaveSeal(program / "other/x.bmp", 10, 20);
  auto d = Make();
  ASSERT_NE(d, nullptr);
  d->FormActivate();
  EXPECT_TRUE(d->thumbnails.empty());
  EXPECT_TRUE(d->errors.empty());
  settings::WriteSettingText(store, settings::kStampPath, program / "other");  // no separator
  d->FormActivate();
  EXPECT_EQ(Names(*d), std::vector<std::string>{"x.bmp"});
  EXPECT_EQ(d->thumbnails[0].path, program / "other/x.bmp");
}

}  // namespace
}  // namespace zevo::seals
