#include "platform/posix/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <thread>

#include "settings/password_mask.h"
#include "settings/settings_store.h"
#include "tests/settings/test_support.h"

namespace zevo::platform {
namespace {

using namespace std::string_literals;

using settings::ReadSettingInt;
using settings::ReadSettingText;
using settings::WriteSettingInt;
using settings::WriteSettingText;
using settings::testing::ReadFile;
using settings::testing::ScopedEnv;
using settings::testing::TempDir;
using settings::testing::WriteFile;

StoredSetting Text(std::string s) {
  s.push_back('\0');
  return {SettingType::Text, s};
}

StoredSetting Int(std::uint8_t v) {
  return {SettingType::Integer, std::string{char(v), 0, 0, 0}};
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SettingsFile, EveryByteOfATextSurvivesTheFile) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(char(b));
  const std::string samples[] = {all,
                                 "line one\nline two\r\nthree\rfour",
                                 "quote \" backslash \\ \\x41 tab\t#hash",
                                 "  spaces around  ",
                                 "書法 — ünïcode",
                                 "\xC3\x28 broken \xE2\x82 utf-8 \xF5\x80\x80\x80 \xED\xA0\x80",
                                 "",
                                 settings::MaskPassword("secret")};
  for (const std::string& s : samples) {
    auto line = FormatSettingLine("Value", Text(s));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->find('\n'), std::string::npos);
    EXPECT_EQ(line->find('\r'), std::string::npos);
    auto parsed = FindSetting(*line + "\n", "value");
    ASSERT_TRUE(parsed) << *line;
    EXPECT_EQ(*parsed, Text(s)) << *line;
  }
  // Readable text stays readable; the masked password does not.
  EXPECT_EQ(*FormatSettingLine("Author", Text("書法 Wang")), "Author text \"書法 Wang\"");
  EXPECT_EQ(FormatSettingLine("Password", Text(settings::MaskPassword("secret")))->find("secret"),
            std::string::npos);
}

TEST(SettingsFile, IntegersAndNames) {
  EXPECT_EQ(*FormatSettingLine("Tablet_OffsetX", {SettingType::Integer, "\x00\xFA\xFF\xFF"s}),
            "Tablet_OffsetX int -1536");
  EXPECT_FALSE(FormatSettingLine("Short", {SettingType::Integer, "ab"}));
  EXPECT_FALSE(FormatSettingLine("two words", Text("x")));
  EXPECT_FALSE(FormatSettingLine("", Text("x")));
  EXPECT_FALSE(FormatSettingLine("a\nb", Text("x")));

  auto v = FindSetting("x int 2147483647\ny int -2147483648\nz int +5\nw int +-5\n", "Y");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->bytes, std::string("\x00\x00\x00\x80", 4));
  EXPECT_EQ(FindSetting("z int +5", "z")->bytes, std::string("\x05\0\0\0", 4));
  EXPECT_FALSE(FindSetting("w int +-5", "w"));
  EXPECT_FALSE(FindSetting("w int +", "w"));
}

TEST(SettingsFile, ADamagedFileGivesWhatCanBeParsed) {
  const std::string content =
      "# comment\n"
      "\n"
      "Good1 int 12\r\n"
      "Overflow int 2147483648\n"
      "Junk int 12abc\n"
      "NoValue int\n"
      "Unknown float 1.5\n"
      "Open text \"no closing quote\n"
      "BadEscape text \"\\q\"\n"
      "ShortHex text \"\\x4\"\n"
      "Trailing text \"ok\" extra\n"
      "   Good2    text   \"two\"   \n"
      "\x01\x02\xFF garbage \x00 line\n"
      "Dup int 1\n"
      "Dup int 2\n"
      "Dup int zz\n"
      "Good3 text \"last line without end\""s;
  auto entries = ParseSettingsFile(content);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].name, "Good1");
  EXPECT_EQ(entries[1].name, "Good2");
  EXPECT_EQ(entries[1].value, Text("two"));
  EXPECT_EQ(entries[4].value, Text("last line without end"));
  for (const char* missing :
       {"Overflow", "Junk", "NoValue", "Unknown", "Open", "BadEscape", "ShortHex", "Trailing"})
    EXPECT_FALSE(FindSetting(content, missing)) << missing;
  EXPECT_EQ(FindSetting(content, "dup")->bytes, std::string("\x02\0\0\0", 4));
}

TEST(SettingsFile, AnUpdateChangesOneLineAndKeepsTheRest) {
  const std::string content = "# mine\nA int 1\nbroken line\nB text \"b\"\r\na int 3\n";
  auto out = UpdateSettingsFile(content, "A", {SettingType::Integer, std::string("\x07\0\0\0", 4)});
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, "# mine\nA int 7\nbroken line\nB text \"b\"\r\n");
  out = UpdateSettingsFile(*out, "C", Text("new"));
  EXPECT_EQ(*out, "# mine\nA int 7\nbroken line\nB text \"b\"\r\nC text \"new\"\n");
  out = UpdateSettingsFile("X int 1", "Y", Text("y"));
  EXPECT_EQ(*out, "X int 1\nY text \"y\"\n");
  out = UpdateSettingsFile("", "Y", Text("y"));
  EXPECT_EQ(out->substr(0, 1), "#");
  EXPECT_EQ(FindSetting(*out, "Y"), Text("y"));
}

TEST(SettingsFile, ThePathFollowsTheEnvironment) {
  {
    ScopedEnv s("ZEVO3_SETTINGS", "/tmp/elsewhere");
    EXPECT_EQ(DefaultSettingsPath(), "/tmp/elsewhere");
  }
  ScopedEnv s("ZEVO3_SETTINGS", nullptr);
  {
    ScopedEnv x("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(DefaultSettingsPath(), "/cfg/Zevo3/settings");
  }
  {
    ScopedEnv x("XDG_CONFIG_HOME", "relative/not/allowed");
    ScopedEnv h("HOME", "/home/someone");
    EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/Zevo3/settings");
  }
}

TEST(SettingsFile, WritesCreateThePrivateFileAndKeepOtherValues) {
  TempDir dir;
  const std::string path = dir / "deep/er/settings";
  FileSettingsBackend store(path);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 3);
  EXPECT_FALSE(std::filesystem::exists(dir / "deep"));  // a read creates nothing

  WriteSettingInt(store, "Replay_Rate", 6);
  WriteSettingText(store, "Author", "Wang\nXizhi");
  WriteSettingInt(store, "replay_rate", 10);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 10);
  EXPECT_EQ(ReadSettingText(store, "AUTHOR", ""), "Wang\nXizhi");

  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Only the settings file is left behind: no temporary file, no lock file.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir / "deep/er")) {
    ++files;
    EXPECT_EQ(e.path().filename(), "settings");
  }
  EXPECT_EQ(files, 1);
}

TEST(SettingsFile, TwoStoresOnOneFileSeeEachOthersLastWrite) {
  TempDir dir;
  FileSettingsBackend first(dir / "settings"), second(dir / "settings");
  WriteSettingInt(first, "Cursor_Style", 2);
  EXPECT_EQ(ReadSettingInt(second, "Cursor_Style", 1), 2);
  WriteSettingText(second, "Author", "B");
  WriteSettingInt(second, "Cursor_Style", 0);
  EXPECT_EQ(ReadSettingInt(first, "Cursor_Style", 1), 0);
  EXPECT_EQ(ReadSettingText(first, "Author", ""), "B");
  WriteSettingInt(first, "Print_Scale", 200);
  EXPECT_EQ(ReadSettingText(second, "Author", ""), "B");
  EXPECT_EQ(ReadSettingInt(second, "Print_Scale", 100), 200);
}

TEST(SettingsFile, TwoRunningCopiesWritingAtOnceLoseNoValue) {
  TempDir dir;
  const std::string path = dir / "settings";
  constexpr int kWrites = 40;
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileSettingsBackend store(path);
    for (int i = 0; i < kWrites; ++i) WriteSettingInt(store, "Child_" + std::to_string(i), i);
    ::_exit(0);
  }
  FileSettingsBackend store(path);
  for (int i = 0; i < kWrites; ++i) WriteSettingInt(store, "Parent_" + std::to_string(i), i);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(ReadSettingInt(store, "Child_" + std::to_string(i), -1), i);
    EXPECT_EQ(ReadSettingInt(store, "Parent_" + std::to_string(i), -1), i);
  }
}

TEST(SettingsFile, ADamagedFileIsReadAsFarAsPossibleAndKeptOnWrite) {
  TempDir dir;
  const std::string path = dir / "settings";
  WriteFile(path, "Print_Scale int 150\n\x00\xFF\xFE nonsense\nAuthor text \"unterminated\n"s);
  FileSettingsBackend store(path);
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 150);
  EXPECT_EQ(ReadSettingText(store, "Author", "none"), "none");
  WriteSettingInt(store, "Replay_Rate", 2);
  const std::string after = ReadFile(path);
  EXPECT_NE(after.find("\x00\xFF\xFE nonsense\n"s), std::string::npos);
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 150);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 2);
  WriteSettingText(store, "Author", "fixed");
  EXPECT_EQ(ReadSettingText(store, "Author", "none"), "fixed");
}

TEST(SettingsFile, AFailingWriteLeavesEverythingAsItWas) {
  TempDir dir;
  // A file where the folder should be: the write cannot happen.
  WriteFile(dir / "plain", "x");
  FileSettingsBackend blocked(dir / "plain/settings");
  WriteSettingInt(blocked, "A", 1);
  EXPECT_EQ(ReadSettingInt(blocked, "A", 5), 5);
  EXPECT_EQ(ReadFile(dir / "plain"), "x");

  // A folder where the file should be: reads give defaults, writes fail quietly.
  std::filesystem::create_directory(dir / "isdir");
  FileSettingsBackend odd(dir / "isdir");
  WriteSettingInt(odd, "A", 1);
  EXPECT_EQ(ReadSettingInt(odd, "A", 5), 5);

  // A file far too large to be ours is neither read nor replaced.
  const std::string big = "A int 1\n" + std::string(2 << 20, '#');
  WriteFile(dir / "big", big);
  FileSettingsBackend huge(dir / "big");
  EXPECT_EQ(ReadSettingInt(huge, "A", 5), 5);
  WriteSettingInt(huge, "B", 2);
  EXPECT_EQ(ReadFile(dir / "big"), big);
}

TEST(SettingsFile, WhatIsNotARegularFileIsRefusedWithoutWaitingAndSaysWhy) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder");
  std::filesystem::create_symlink("fifo", dir / "to-fifo");
  // Opening a FIFO without a writer could wait for ever: a hang fails the run instead.
  ::alarm(30);
  const std::pair<std::string, std::string> cases[] = {{dir / "fifo", "is a FIFO"},
                                                       {dir / "to-fifo", "is a FIFO"},
                                                       {dir / "folder", "is a folder"},
                                                       {"/dev/null", "is a device"}};
  for (const auto& [path, says] : cases) {
    SCOPED_TRACE(path);
    FileSettingsBackend store(path);
    EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 3);
    EXPECT_NE(store.ErrorText().find(path), std::string::npos) << store.ErrorText();
    EXPECT_NE(store.ErrorText().find(says), std::string::npos) << store.ErrorText();
    if (path == "/dev/null") continue;  // the machine's devices are not written to, even in vain
    EXPECT_FALSE(store.Write("Replay_Rate", Int(4)));
    EXPECT_NE(store.ErrorText().find(says), std::string::npos) << store.ErrorText();
  }
  // They stay what they were, and nothing was made beside them.
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "to-fifo"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  EXPECT_EQ(Names(dir.Folder()), (std::vector<std::string>{"fifo", "folder", "to-fifo"}));

  // The store of the program, at the default place or where ZEVO3_SETTINGS says, the same.
  {
    ScopedEnv none("ZEVO3_SETTINGS", nullptr);
    ScopedEnv config("XDG_CONFIG_HOME", dir.Folder().c_str());
    std::filesystem::create_directory(dir / "Zevo3");
    ASSERT_EQ(::mkfifo((dir / "Zevo3/settings").c_str(), 0600), 0);
    auto store = MakeDefaultSettingsBackend();
    EXPECT_EQ(ReadSettingInt(*store, "Replay_Rate", 3), 3);
    EXPECT_NE(store->ErrorText().find("is a FIFO"), std::string::npos) << store->ErrorText();
  }
  ScopedEnv env("ZEVO3_SETTINGS", (dir / "fifo").c_str());
  auto store = MakeDefaultSettingsBackend();
  EXPECT_EQ(ReadSettingInt(*store, "Replay_Rate", 3), 3);
  EXPECT_NE(store->ErrorText().find("is a FIFO"), std::string::npos) << store->ErrorText();
  EXPECT_FALSE(store->Write("Replay_Rate", Int(4)));
  ::alarm(0);
  {
    settings::ScopedSettingsBackend scoped(*store);
    EXPECT_NE(settings::SettingsErrorText().find("is a FIFO"), std::string::npos);
  }

  // A file in the FIFO's place reads again; the refused write is still told until a write
  // succeeds.
  std::filesystem::remove(dir / "fifo");
  WriteFile(dir / "fifo", "Replay_Rate int 5\n");
  EXPECT_EQ(ReadSettingInt(*store, "Replay_Rate", 3), 5);
  EXPECT_NE(store->ErrorText().find("not saved"), std::string::npos) << store->ErrorText();
  EXPECT_TRUE(store->Write("Replay_Rate", Int(6)));
  EXPECT_EQ(store->ErrorText(), "");
  EXPECT_EQ(ReadSettingInt(*store, "Replay_Rate", 3), 6);
}

TEST(SettingsFile, ALinkedFileIsReplacedWhereItPointsAndStaysALink) {
  TempDir dir;
  std::filesystem::create_directories(dir / "real");
  std::filesystem::create_directories(dir / "config");
  WriteFile(dir / "real/settings", "Print_Scale int 150\n");
  std::filesystem::create_symlink("../real/settings", dir / "config/settings");
  FileSettingsBackend store(dir / "config/settings");
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 150);
  EXPECT_TRUE(store.Write("Replay_Rate", Int(4)));
  EXPECT_EQ(store.ErrorText(), "");

  EXPECT_TRUE(std::filesystem::is_symlink(dir / "config/settings"));
  EXPECT_EQ(std::filesystem::read_symlink(dir / "config/settings"), "../real/settings");
  EXPECT_EQ(ReadFile(dir / "real/settings"), "Print_Scale int 150\nReplay_Rate int 4\n");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "real/settings").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // The lock file and the temporary file belong beside the target.
  EXPECT_EQ(Names(dir / "config"), std::vector<std::string>{"settings"});
  EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"settings"});

  // A link to a file not made yet: the file is made where it points.
  std::filesystem::create_symlink("../real/later", dir / "config/later");
  FileSettingsBackend later(dir / "config/later");
  EXPECT_TRUE(later.Write("Cursor_Style", Int(2)));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "config/later"));
  EXPECT_EQ(ReadFile(dir / "real/later"), ReadFile(dir / "config/later"));
  EXPECT_EQ(ReadSettingInt(later, "Cursor_Style", 1), 2);
}

TEST(SettingsFile, AWriteThatWouldPassTheReadersLimitIsRefusedAndTheFileKept) {
  TempDir dir;
  const std::string path = dir / "settings";
  // Just under what the reader accepts.
  std::string content = "Print_Scale int 150\n#";
  content.resize(kMaxSettingsFileSize - 11, '#');
  content += '\n';
  WriteFile(path, content);
  FileSettingsBackend store(path);
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 150);
  // A change that keeps the size fits.
  EXPECT_TRUE(store.Write("Print_Scale", Int(200)));
  EXPECT_EQ(ReadFile(path).size(), kMaxSettingsFileSize - 10);

  // A new line would make a file the reader refuses: every value would read as missing.
  const std::string before = ReadFile(path);
  EXPECT_FALSE(store.Write("Replay_Rate", Int(4)));
  EXPECT_NE(store.ErrorText().find("would grow past 1 MiB"), std::string::npos)
      << store.ErrorText();
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 200);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 3);
}

TEST(SettingsFile, AWriterWaitsForAnotherOnlyAShortWhile) {
  TempDir dir;
  const std::string path = dir / "settings";
  FileSettingsBackend store(path);
  ASSERT_TRUE(store.Write("Replay_Rate", Int(4)));
  // Another copy holds the lock and does not let go.
  const int other = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(store.Write("Replay_Rate", Int(5)));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(500));
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_NE(store.ErrorText().find("locked"), std::string::npos) << store.ErrorText();
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
  ::close(other);
  EXPECT_TRUE(store.Write("Replay_Rate", Int(5)));
  EXPECT_EQ(store.ErrorText(), "");
  EXPECT_FALSE(std::filesystem::exists(path + ".lock"));
}

TEST(SettingsFile, AWriterWhoseLockFileWasRemovedWhileItWaitedLocksTheNewOne) {
  TempDir dir;
  const std::string path = dir / "settings";
  FileSettingsBackend store(path);
  ASSERT_TRUE(store.Write("Replay_Rate", Int(4)));
  // Another copy holds the lock; as it finishes it removes the lock file, then lets go.
  const int other = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  bool written = false;
  std::thread writer([&] { written = store.Write("Print_Scale", Int(150)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::unlink((path + ".lock").c_str());
  ::close(other);
  writer.join();
  EXPECT_TRUE(written) << store.ErrorText();
  EXPECT_EQ(ReadSettingInt(store, "Print_Scale", 100), 150);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
  EXPECT_FALSE(std::filesystem::exists(path + ".lock"));
}

TEST(SettingsFile, NoRightsToTheFolderOrTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempDir dir;
  const std::string path = dir / "sub/settings";
  FileSettingsBackend store(path);
  WriteSettingInt(store, "Replay_Rate", 4);
  std::filesystem::permissions(
      dir / "sub", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  WriteSettingInt(store, "Replay_Rate", 6);  // ignored: no temporary file can be made
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
  std::filesystem::permissions(dir / "sub", std::filesystem::perms::owner_all);

  // A file that exists but cannot be read is not replaced (its values would be lost).
  ::chmod(path.c_str(), 0);
  WriteSettingInt(store, "Cursor_Style", 2);
  ::chmod(path.c_str(), 0600);
  EXPECT_EQ(ReadSettingInt(store, "Cursor_Style", 1), 1);
  EXPECT_EQ(ReadSettingInt(store, "Replay_Rate", 3), 4);
}

TEST(SettingsFile, TheDefaultStoreUsesTheFileNamedByTheEnvironment) {
  TempDir dir;
  ScopedEnv env("ZEVO3_SETTINGS", (dir / "settings").c_str());
  FileSettingsBackend store;
  WriteSettingInt(store, "Pen_ExRatio", 100);
  EXPECT_NE(ReadFile(dir / "settings").find("Pen_ExRatio int 100\n"), std::string::npos);
  auto fresh = MakeDefaultSettingsBackend();
  EXPECT_EQ(ReadSettingInt(*fresh, "Pen_ExRatio", 0), 100);
}

}  // namespace
}  // namespace zevo::platform
