// An installed program: its folder holds no data and may not be written; what it ships lies in
// the share folder, and the writer's saves and seals go to folders of their own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "gfx/bmp_file.h"
#include "platform/posix/program_folder.h"
#include "seals/stamp_dlg.h"
#include "settings/app_settings.h"
#include "settings/setting_names.h"
#include "tests/settings/test_support.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using settings::testing::ScopedEnv;

// A folder tree laid out as the package installs it, under a temporary root.
struct InstalledTree {
  InstalledTree() {
    const fs::path program_dir = fs::path(ZEVO_PROGRAM_DIR);
    fs::create_directories(program);
    fs::create_directories(share);
    fs::copy(program_dir / "Skin", share / "Skin");
    fs::copy(program_dir / "Stamp", share / "Stamp");
    fs::create_directories(home);
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
  }
  ~InstalledTree() {
    std::error_code ec;
    fs::permissions(program, fs::perms::owner_all, ec);
    fs::remove_all(root, ec);
  }
  fs::path root = fs::temp_directory_path() / ("zevo3-installed-" + std::to_string(::getpid()));
  fs::path program = root / "usr/lib/zevo3";
  fs::path share = root / "usr/share/zevo3";
  fs::path home = root / "home";
};

std::size_t FilesIn(const fs::path& folder) {
  std::size_t n = 0;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
       it.increment(ec))
    ++n;
  return n;
}

TEST(InstalledProgram, FindsItsDataAndGivesTheWriterFoldersOfTheirOwn) {
  InstalledTree tree;
  ScopedEnv home("HOME", tree.home.c_str());
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  ScopedEnv documents("XDG_DOCUMENTS_DIR", nullptr);
  const platform::ProgramFolders f =
      platform::FindProgramFolders(tree.program.string() + "/", "../../share/zevo3/");
  EXPECT_EQ(f.program, tree.program.string() + "/");
  EXPECT_EQ(f.data, tree.share.string() + "/");
  EXPECT_EQ(f.user, tree.home.string() + "/Documents/Zevo3/");

  // The documents folder the writer's user-dirs file names, "$HOME" expanded.
  fs::create_directories(tree.home / ".config");
  settings::testing::WriteFile((tree.home / ".config/user-dirs.dirs").string(),
                               "# written by xdg-user-dirs-update\n"
                               "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                               "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), tree.home.string() + "/Dokumente/");
  settings::testing::WriteFile((tree.home / ".config/user-dirs.dirs").string(),
                               "XDG_DOCUMENTS_DIR=\"relative/not/taken\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), tree.home.string() + "/Documents/");
  {
    ScopedEnv named("XDG_DOCUMENTS_DIR", "/srv/docs");
    EXPECT_EQ(platform::DocumentsFolder(), "/srv/docs/");
  }
  {
    ScopedEnv no_home("HOME", nullptr);
    EXPECT_EQ(platform::DocumentsFolder(), "");
  }

  // A portable program folder keeps everything itself.
  const std::string portable = std::string(ZEVO_PROGRAM_DIR) + "/";
  const platform::ProgramFolders p = platform::FindProgramFolders(portable, "../../share/zevo3/");
  EXPECT_EQ(p.data, portable);
  EXPECT_EQ(p.user, "");
}

TEST(InstalledProgram, SavesSealsInTheWritersStampFolderBesideTheShippedOnes) {
  InstalledTree tree;
  ScopedEnv home("HOME", tree.home.c_str());
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  ScopedEnv documents("XDG_DOCUMENTS_DIR", nullptr);
  test::TestWindowOptions o;
  o.folders = platform::FindProgramFolders(tree.program.string() + "/", "../../share/zevo3/");
  test::TestWindow t(o);
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  const fs::path user = tree.home / "Documents/Zevo3";
  // Made at the first start, empty.
  EXPECT_TRUE(fs::is_directory(user / "Save"));
  EXPECT_TRUE(fs::is_directory(user / "Stamp"));
  EXPECT_EQ(w.app_settings.save_folder, (user / "Save").string() + "/");

  t.Stroke({{300, 100}, {320, 160}, {360, 180}}, 1023);
  fs::remove_all(user / "Stamp");  // and again when it went in the meantime
  w.SaveStampExecute();
  EXPECT_TRUE(t.ui.Errors().empty()) << t.ui.Errors()[0];
  EXPECT_TRUE(gfx::LoadBmpFile((user / "Stamp/Stamp01.BMP").string()));
  EXPECT_EQ(FilesIn(tree.program), 0u);
  const std::size_t shipped = FilesIn(tree.share / "Stamp");
  EXPECT_GT(shipped, 0u);

  // The chooser offers the writer's seal first, then the shipped ones.
  t.ui.QueueDialog([&](platform::DialogModel& m) {
    auto& d = static_cast<seals::TStampDlg&>(m);
    d.FormActivate();
    EXPECT_TRUE(d.errors.empty()) << d.ErrorMessage();
    EXPECT_EQ(d.thumbnails.size(), shipped + 1);
    if (!d.thumbnails.empty()) {
      EXPECT_EQ(d.thumbnails[0].path, (user / "Stamp/Stamp01.BMP").string());
    }
    return false;
  });
  w.AddStampExecute();
  EXPECT_EQ(t.ui.Count(platform::ScriptedUi::Kind::ShowModal), 1);

  // Stored folders win.
  settings::WriteSettingText(*t.settings, settings::kSavePath, "/srv/saves/");
  settings::AppSettings stored;
  stored.ReadAtStart(*t.settings, *o.folders);
  EXPECT_EQ(stored.save_folder, "/srv/saves/");
  EXPECT_EQ(stored.stamp_folder, (user / "Stamp").string() + "/");
}

}  // namespace
}  // namespace zevo::app
