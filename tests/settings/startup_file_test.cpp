#include "settings/startup_file.h"

#include <gtest/gtest.h>

#include "tests/settings/test_support.h"

namespace zevo::settings {
namespace {

using namespace std::string_literals;

TEST(StartupFile, TheSectionLineMustBeExact) {
  const std::string body = "Path_Stamp D:\\Seals\\\n";
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\n" + body).stamp_folder, "D:\\Seals\\");
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\r\n" + body).stamp_folder, "D:\\Seals\\");
  for (const std::string& first : {"[Zevo3 Option] \n"s, " [Zevo3 Option]\n"s, "[zevo3 option]\n"s,
                                   "\n"s, "[Zevo3]\n"s, "\xEF\xBB\xBF[Zevo3 Option]\n"s})
    EXPECT_EQ(ParseStartupFile(first + body), StartupOptions{}) << first;
  EXPECT_EQ(ParseStartupFile(body), StartupOptions{});
  EXPECT_EQ(ParseStartupFile(""), StartupOptions{});
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]"), StartupOptions{});
}

TEST(StartupFile, KeysValuesAndLinesWithoutMeaning) {
  const StartupOptions o = ParseStartupFile(
      "[Zevo3 Option]\n"
      "\n"
      "   \t \n"
      "Path_Stamp=/wrong/\n"  // the first word is "Path_Stamp=/wrong/"
      "Path_Skin\n"           // no value
      "Path_Skin \n"          // empty value
      "Unknown /x/\n"
      "\tPath_Skin\t/skins/my skin/ \n"  // leading blanks skipped; the value is kept as written
      "Path_Stamp  /two spaces/\r\n"     // only one delimiter ends the key
      "path_stamp /case/\n");
  EXPECT_EQ(o.skin_folder, "/skins/my skin/ ");
  EXPECT_EQ(o.stamp_folder, " /two spaces/");
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\nPath_Stamp /a/\nPath_Stamp /b/").stamp_folder, "/b/");
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\nPath_Stamp /a\0b/\n"s).stamp_folder, "/a");
}

TEST(StartupFile, ALineLongerThanAPieceIsSkippedNotCut) {
  const std::string key = "Path_Stamp ";
  const std::string fits = key + std::string(kStartupPieceSize - 1 - key.size(), 'f');
  const std::string too_long = key + std::string(kStartupPieceSize - key.size(), 'g');
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\n" + fits + "\n").stamp_folder,
            fits.substr(key.size()));
  // The second piece would start with "Path_Skin" if the line were cut.
  const std::string tricky = "Path_Stamp " + std::string(87, 'x') + "Path_Skin /evil/";
  EXPECT_EQ(
      ParseStartupFile("[Zevo3 Option]\nPath_Skin /good/\n" + too_long + "\n" + tricky + "\n"),
      (StartupOptions{std::nullopt, "/good/"}));
  EXPECT_EQ(ParseStartupFile("[Zevo3 Option]\n" + fits).stamp_folder, fits.substr(key.size()));
}

TEST(StartupFile, ReadFromTheProgramFolder) {
  testing::TempDir dir;
  EXPECT_EQ(ReadStartupFile(dir.Folder()), StartupOptions{});
  testing::WriteFile(dir / "Zevo3.ini",
                     "[Zevo3 Option]\r\nPath_Stamp /seals/\r\nPath_Skin /s/\r\n");
  EXPECT_EQ(ReadStartupFile(dir.Folder()), (StartupOptions{"/seals/", "/s/"}));
}

}  // namespace
}  // namespace zevo::settings
