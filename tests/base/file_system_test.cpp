#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zevo::platform {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zevo-fs-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Every name in the folder and its subfolders, relative to it.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(path_)) {
      names.push_back(e.path().lexically_relative(path_).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

Bytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void Save(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}
unsigned ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}
bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ReplaceFileAtomically, CreatesAndReplacesFilesLeavingNothingElse) {
  TempFolder folder;
  FileSystem& files = DefaultFileSystem();
  const std::string path = folder / "sheet.stk";

  Result<bool> created = files.ReplaceFileAtomically(path, Bytes{1, 2, 3}, 0640);
  ASSERT_TRUE(created) << created.ErrorText();
  EXPECT_EQ(Load(path), (Bytes{1, 2, 3}));
  EXPECT_EQ(ModeOf(path), 0640u);

  // A replaced file keeps its permissions unless others are asked for.
  ASSERT_TRUE(files.ReplaceFileAtomically(path, Bytes{4, 5}));
  EXPECT_EQ(Load(path), (Bytes{4, 5}));
  EXPECT_EQ(ModeOf(path), 0640u);
  ASSERT_TRUE(files.ReplaceFileAtomically(path, Bytes{}, 0600));
  EXPECT_EQ(Load(path), Bytes{});
  EXPECT_EQ(ModeOf(path), 0600u);

  // A new file without a mode gets what the umask allows.
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(files.ReplaceFileAtomically(folder / "new", Bytes{9}));
  ::umask(mask);
  EXPECT_EQ(ModeOf(folder / "new"), 0644u);

  // Content produced piece by piece arrives whole.
  Result<bool> streamed =
      files.ReplaceFileAtomically(path, [](const base::ByteSink& sink, std::string&) {
        for (std::uint8_t b = 0; b < 200; ++b) sink(&b, 1);
        return true;
      });
  ASSERT_TRUE(streamed) << streamed.ErrorText();
  EXPECT_EQ(Load(path).size(), 200u);
  EXPECT_EQ(Load(path)[199], 199);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"new", "sheet.stk"}));
}

TEST(ReplaceFileAtomically, AFailedReplacementKeepsTheOldFileAndSaysWhy) {
  TempFolder folder;
  FileSystem& files = DefaultFileSystem();
  const std::string path = folder / "keep.bmp";
  const Bytes old = {'o', 'l', 'd'};
  Save(path, old);

  // The producer gives up half way.
  Result<bool> abandoned =
      files.ReplaceFileAtomically(path, [](const base::ByteSink& sink, std::string& error) {
        const std::uint8_t junk[3] = {1, 2, 3};
        sink(junk, 3);
        error = "gave up";
        return false;
      });
  ASSERT_FALSE(abandoned);
  EXPECT_EQ(abandoned.ErrorText(), "gave up");
  EXPECT_EQ(Load(path), old);

  // A file where a folder should be; a folder that does not exist; a folder as the target.
  Save(folder / "plain", old);
  Result<bool> under_file = files.ReplaceFileAtomically(folder / "plain/a.bmp", Bytes{1});
  ASSERT_FALSE(under_file);
  EXPECT_TRUE(Contains(under_file.ErrorText(), folder / "plain/a.bmp")) << under_file.ErrorText();
  EXPECT_TRUE(Contains(under_file.ErrorText(), "not a folder")) << under_file.ErrorText();
  Result<bool> no_folder = files.ReplaceFileAtomically(folder / "missing/a.bmp", Bytes{1});
  ASSERT_FALSE(no_folder);
  EXPECT_TRUE(Contains(no_folder.ErrorText(), "missing/ does not exist")) << no_folder.ErrorText();
  fs::create_directory(folder / "dir.bmp");
  Result<bool> onto_folder = files.ReplaceFileAtomically(folder / "dir.bmp", Bytes{1});
  ASSERT_FALSE(onto_folder);
  EXPECT_TRUE(Contains(onto_folder.ErrorText(), "dir.bmp: it is a folder"))
      << onto_folder.ErrorText();
  EXPECT_TRUE(fs::is_directory(folder / "dir.bmp"));
  // A FIFO, directly or through a link, stays a FIFO.
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  fs::create_symlink("fifo", folder / "to-fifo");
  for (const char* name : {"fifo", "to-fifo"}) {
    Result<bool> onto_fifo = files.ReplaceFileAtomically(folder / name, Bytes{1});
    ASSERT_FALSE(onto_fifo);
    EXPECT_TRUE(Contains(onto_fifo.ErrorText(), "it is a FIFO")) << onto_fifo.ErrorText();
  }
  EXPECT_TRUE(fs::is_fifo(folder / "fifo"));

  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"dir.bmp", "fifo", "keep.bmp", "plain", "to-fifo"}));
  EXPECT_EQ(Load(path), old);
  EXPECT_EQ(Load(folder / "plain"), old);
}

TEST(ReplaceFileAtomically, AWriteThatFailsMidwayKeepsTheOldFile) {
  // A file size limit makes the writes fail as a full disk would.
  TempFolder folder;
  const std::string path = folder / "big.stk";
  const Bytes old(100, 'o');
  Save(path, old);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
    Result<bool> r = DefaultFileSystem().ReplaceFileAtomically(path, Bytes(100000, 'n'));
    ::_exit(!r && Contains(r.ErrorText(), "cannot write " + path) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Load(path), old);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"big.stk"});
}

TEST(ReplaceFileAtomically, NoRightsToTheFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempFolder folder;
  fs::create_directory(folder / "locked");
  const std::string path = folder / "locked/a.bmp";
  Save(path, Bytes{1});
  fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  Result<bool> r = DefaultFileSystem().ReplaceFileAtomically(path, Bytes{2});
  fs::permissions(folder / "locked", fs::perms::owner_all);
  ASSERT_FALSE(r);
  EXPECT_TRUE(Contains(r.ErrorText(), "permission denied")) << r.ErrorText();
  EXPECT_EQ(Load(path), Bytes{1});
}

TEST(ReplaceFileAtomically, ALinkStaysALinkAndItsTargetGetsTheContent) {
  TempFolder folder;
  FileSystem& files = DefaultFileSystem();
  fs::create_directory(folder / "real");
  fs::create_directory(folder / "links");
  Save(folder / "real/settings", Bytes{'a'});
  ::chmod((folder / "real/settings").c_str(), 0600);
  // A relative link to an absolute one to the file.
  fs::create_symlink(folder / "real/settings", folder / "links/absolute");
  fs::create_symlink("absolute", folder / "links/relative");

  ASSERT_TRUE(files.ReplaceFileAtomically(folder / "links/relative", Bytes{'b', 'c'}));
  EXPECT_TRUE(fs::is_symlink(folder / "links/relative"));
  EXPECT_TRUE(fs::is_symlink(folder / "links/absolute"));
  EXPECT_EQ(Load(folder / "real/settings"), (Bytes{'b', 'c'}));
  EXPECT_EQ(ModeOf(folder / "real/settings"), 0600u);

  // A dangling link: the file it names is created.
  fs::create_symlink("../real/later", folder / "links/dangling");
  ASSERT_TRUE(files.ReplaceFileAtomically(folder / "links/dangling", Bytes{'d'}));
  EXPECT_TRUE(fs::is_symlink(folder / "links/dangling"));
  EXPECT_EQ(Load(folder / "real/later"), Bytes{'d'});

  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"links", "links/absolute", "links/dangling", "links/relative",
                                      "real", "real/later", "real/settings"}));

  // A loop of links is refused.
  fs::create_symlink("loop2", folder / "loop1");
  fs::create_symlink("loop1", folder / "loop2");
  Result<bool> loop = files.ReplaceFileAtomically(folder / "loop1", Bytes{1});
  ASSERT_FALSE(loop);
  EXPECT_TRUE(Contains(loop.ErrorText(), "symbolic links")) << loop.ErrorText();
}

TEST(ReadWholeFile, ReadsRegularFilesUpToTheCap) {
  TempFolder folder;
  FileSystem& files = DefaultFileSystem();
  const Bytes content = {'Z', 'v', 'r', '3', 0, 1, 2};
  Save(folder / "a", content);
  FileError why = FileError::kTooLarge;
  Result<Bytes> read = files.ReadWholeFile(folder / "a", 7, &why);
  ASSERT_TRUE(read) << read.ErrorText();
  EXPECT_EQ(read.Value(), content);
  EXPECT_EQ(why, FileError::kNone);

  Result<Bytes> over = files.ReadWholeFile(folder / "a", 6, &why);
  ASSERT_FALSE(over);
  EXPECT_EQ(why, FileError::kTooLarge);
  EXPECT_TRUE(Contains(over.ErrorText(), folder / "a")) << over.ErrorText();
  EXPECT_TRUE(Contains(over.ErrorText(), "larger than 6 bytes")) << over.ErrorText();

  // The start of a file of any size.
  Result<Bytes> start = files.ReadFileStart(folder / "a", 4);
  ASSERT_TRUE(start);
  EXPECT_EQ(start.Value(), (Bytes{'Z', 'v', 'r', '3'}));
  EXPECT_EQ(files.ReadFileStart(folder / "a", 100).Value(), content);

  Save(folder / "empty", {});
  EXPECT_EQ(files.ReadWholeFile(folder / "empty", 0).Value(), Bytes{});

  // Files that report no size still give what they hold; a link is followed.
  fs::create_symlink(folder / "a", folder / "link");
  EXPECT_EQ(files.ReadWholeFile(folder / "link", 100).Value(), content);
  if (fs::exists("/proc/self/stat")) {
    Result<Bytes> proc = files.ReadWholeFile("/proc/self/stat", 1 << 16);
    ASSERT_TRUE(proc) << proc.ErrorText();
    EXPECT_FALSE(proc.Value().empty());
    EXPECT_FALSE(files.ReadWholeFile("/proc/self/stat", 3));
  }
}

TEST(ReadWholeFile, RefusesWhatIsNotARegularFileWithoutBlocking) {
  TempFolder folder;
  FileSystem& files = DefaultFileSystem();
  fs::create_directory(folder / "dir");
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);

  struct Case {
    std::string path;
    FileError kind;
    std::string says;
  };
  const Case cases[] = {
      {folder / "missing", FileError::kNotFound, "no such file"},
      {folder / "missing/deeper", FileError::kNotFound, "no such file"},
      {folder / "dir", FileError::kNotRegular, "it is a folder"},
      {folder / "fifo", FileError::kNotRegular, "it is a FIFO"},
      {"/dev/null", FileError::kNotRegular, "it is a device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    // A FIFO without a writer would block a plain open; the read runs aside and is waited for.
    auto pending = std::async(std::launch::async, [&] {
      FileError why = FileError::kNone;
      Result<Bytes> r = files.ReadWholeFile(c.path, 1 << 20, &why);
      return std::pair(std::move(r), why);
    });
    if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Let the stuck read go before failing.
      const int writer = ::open(c.path.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      FAIL() << "the read blocked";
    }
    auto [result, why] = pending.get();
    ASSERT_FALSE(result);
    EXPECT_EQ(why, c.kind);
    EXPECT_TRUE(Contains(result.ErrorText(), c.path)) << result.ErrorText();
    EXPECT_TRUE(Contains(result.ErrorText(), c.says)) << result.ErrorText();
    EXPECT_FALSE(files.ReadFileStart(c.path, 4));
  }
}

TEST(ReadWholeFile, AnUnreadableFileIsNotMissing) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TempFolder folder;
  Save(folder / "secret", Bytes{1});
  ::chmod((folder / "secret").c_str(), 0);
  FileError why = FileError::kNone;
  Result<Bytes> r = DefaultFileSystem().ReadWholeFile(folder / "secret", 10, &why);
  ASSERT_FALSE(r);
  EXPECT_EQ(why, FileError::kCannotOpen);
  EXPECT_TRUE(Contains(r.ErrorText(), "permission denied")) << r.ErrorText();
}

}  // namespace
}  // namespace zevo::platform
