#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "files/recovery.h"
#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::ScriptedUi;
using test::TestWindow;
using test::TestWindowOptions;
using Bytes = std::vector<std::uint8_t>;

// A clock the test moves by hand; the window's recovery keeper reads it.
struct FakeClock {
  files::RecoveryKeeper::Time now{std::chrono::hours(1)};
  void Drive(TestWindow& t) {
    t.win->recovery.keeper.SetClock([this] { return now; });
  }
};

Bytes ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ino_t Inode(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// What the recovery file holds, read as the next start would.
struct Kept {
  int count = -1;
  int position = -1;
};
Kept ReadKept(TestWindow& t) {
  ink::StrokeDocument d(1, 1);
  auto bytes = t.win->recovery.file.Load();
  if (!bytes || files::RecoveryFile::Decode(bytes.Value(), d, *t.win->codec) != files::kReadOk)
    return {};
  return {d.Count(), d.Position()};
}

// Three strokes, a fill over the page and a step back over it.
void WriteSession(TestWindow& t) {
  t.Stroke({{200, 200}, {240, 215}, {280, 240}, {320, 250}});
  t.Stroke({{400, 180}, {410, 240}, {420, 300}}, 900);
  t.Stroke({{520, 380}, {560, 386}, {600, 390}}, 500);
  t.win->Button1Click();
  t.Packet(700, 300, 700);
  t.Packet(700, 300, 0);
  t.win->Button1Click();
  t.win->GotoPrevExecute();
}

void ExpectSameWriting(TZevo3Win& got, TZevo3Win& want) {
  const ink::StrokeDocument& a = got.Document();
  const ink::StrokeDocument& b = want.Document();
  ASSERT_EQ(a.Count(), b.Count());
  EXPECT_EQ(a.Position(), b.Position());
  for (int i = 0; i < a.Count(); ++i) {
    EXPECT_EQ(a.Entry(i)->kind, b.Entry(i)->kind) << i;
    EXPECT_EQ(a.Entry(i)->value, b.Entry(i)->value) << i;
    EXPECT_EQ(a.Entry(i)->samples, b.Entry(i)->samples) << i;
    EXPECT_EQ(a.Entry(i)->x, b.Entry(i)->x) << i;
    EXPECT_EQ(a.Entry(i)->y, b.Entry(i)->y) << i;
  }
  EXPECT_EQ(got.player.bar, want.player.bar);
  EXPECT_TRUE(got.views.Page().SamePixels(want.views.Page()));
  EXPECT_TRUE(got.views.Overview().SamePixels(want.views.Overview()));
}

TestWindowOptions NextStartOf(const TestWindow& t) {
  TestWindowOptions o;
  o.state_folder = t.state_folder;
  return o;
}

TEST(Recovery, TheTimerWritesOnceTheHistoryIsQuietAndNotAgainWhileNothingChanges) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  FakeClock clock;
  clock.Drive(t);
  const fs::path file = t.RecoveryPath();

  w.Timer1Timer();
  clock.now += 1h;
  w.Timer1Timer();
  EXPECT_FALSE(fs::exists(t.state_folder)) << "nothing written, no folder made";

  t.Stroke({{200, 200}, {260, 230}, {320, 250}});
  clock.now += 1s;
  w.Timer1Timer();
  clock.now += 1900ms;
  w.Timer1Timer();
  EXPECT_FALSE(fs::exists(file));
  clock.now += 100ms;
  w.Timer1Timer();
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(ReadKept(t).count, 1);

  // Nothing changes: the file stays the one written.
  const ino_t written = Inode(file);
  for (int i = 0; i < 5; ++i) {
    clock.now += 10s;
    w.Timer1Timer();
  }
  EXPECT_EQ(Inode(file), written);

  // Writing on holds the file back until the writer pauses.
  t.Stroke({{400, 200}, {420, 300}});
  clock.now += 2s;
  t.Stroke({{500, 200}, {520, 300}});
  clock.now += 2s;
  w.Timer1Timer();
  EXPECT_EQ(Inode(file), written);
  clock.now += 1s;
  w.Timer1Timer();
  EXPECT_EQ(ReadKept(t).count, 3);

  // A step back is a change too.
  w.GotoPrevExecute();
  clock.now += 3s;
  w.Timer1Timer();
  EXPECT_EQ(ReadKept(t).count, 3);
  EXPECT_EQ(ReadKept(t).position, 2);
  EXPECT_TRUE(t.ui.calls.empty());
}

TEST(Recovery, CloseWritesWhatTheTimerHadNotAndAsksNothing) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  t.win->FormCloseQuery();
  EXPECT_FALSE(fs::exists(t.RecoveryPath()));

  t.Stroke({{200, 200}, {260, 230}, {320, 250}});
  t.win->FormCloseQuery();
  EXPECT_EQ(ReadKept(t).count, 1);
  EXPECT_TRUE(t.ui.calls.empty());
}

TEST(Recovery, OkRestoresTheSameHistoryPagesAndPlayer) {
  TestWindow before;
  ASSERT_TRUE(before.win) << before.error;
  WriteSession(before);
  ASSERT_EQ(before.win->Document().Count(), 4);
  ASSERT_EQ(before.win->Document().Position(), 3);
  before.win->FormCloseQuery();

  TestWindow after(NextStartOf(before));
  ASSERT_TRUE(after.win) << after.error;
  after.ui.QueueOkCancel(true);
  after.win->TakeDirty();
  after.win->FormCreate();
  ASSERT_EQ(after.ui.calls.size(), 1u);
  EXPECT_EQ(after.ui.calls[0].kind, ScriptedUi::Kind::AskOkCancel);
  EXPECT_EQ(after.ui.calls[0].text, files::kRestoreQuestion);
  ExpectSameWriting(*after.win, *before.win);
  EXPECT_NE(after.win->TakeDirty() & workspace::kDirtyImgA, 0u);

  // The restored file is what the writing is: nothing is written until the writing changes.
  const ino_t restored = Inode(after.RecoveryPath());
  after.win->FormCloseQuery();
  EXPECT_EQ(Inode(after.RecoveryPath()), restored);

  // The entry stepped back over is there to step forward to.
  before.win->GotoLastExecute();
  after.win->GotoLastExecute();
  ExpectSameWriting(*after.win, *before.win);

  // The file is this run's own now: new writing replaces it.
  after.Stroke({{300, 500}, {340, 520}});
  after.win->FormCloseQuery();
  EXPECT_EQ(ReadKept(after).count, 5);
  EXPECT_FALSE(fs::exists(after.state_folder / files::kSetAsideFileName));
}

TEST(Recovery, CancelSetsTheWritingAsideUntilTheNextSave) {
  TestWindow first;
  ASSERT_TRUE(first.win) << first.error;
  WriteSession(first);
  first.win->FormCloseQuery();
  const Bytes kept = ReadBytes(first.RecoveryPath());

  TestWindow second(NextStartOf(first));
  second.ui.QueueOkCancel(false);
  second.win->FormCreate();
  EXPECT_EQ(second.ui.Count(ScriptedUi::Kind::AskOkCancel), 1);
  EXPECT_EQ(second.win->Document().Count(), 0);
  EXPECT_FALSE(fs::exists(second.RecoveryPath()));
  EXPECT_EQ(ReadBytes(second.state_folder / files::kSetAsideFileName), kept);

  TestWindow third(NextStartOf(first));
  third.win->FormCreate();
  EXPECT_TRUE(third.ui.calls.empty());
  third.Stroke({{200, 200}, {260, 230}});
  third.win->FormCloseQuery();
  EXPECT_EQ(ReadKept(third).count, 1);
  EXPECT_EQ(ReadBytes(third.state_folder / files::kSetAsideFileName), kept);

  third.win->recovery.Saved();
  EXPECT_FALSE(fs::exists(third.RecoveryPath()));
  EXPECT_FALSE(fs::exists(third.state_folder / files::kSetAsideFileName));
  // Saved writing is not written again while it does not change.
  third.win->FormCloseQuery();
  EXPECT_FALSE(fs::exists(third.RecoveryPath()));
}

TEST(Recovery, AnEmptyHistoryIsNotOffered) {
  TestWindow first;
  ASSERT_TRUE(first.win) << first.error;
  FakeClock clock;
  clock.Drive(first);
  WriteSession(first);
  clock.now += 3s;
  first.win->Timer1Timer();
  ASSERT_TRUE(fs::exists(first.RecoveryPath()));
  first.win->WriteClearExecute();
  clock.now += 3s;
  first.win->Timer1Timer();
  EXPECT_FALSE(fs::exists(first.RecoveryPath()));

  // A sealed file without entries (as an older run could leave) is not offered either.
  ink::StrokeDocument empty(ink::kPageWidth, ink::kPageHeight);
  ASSERT_EQ(files::WriteStrokeFile(empty, first.RecoveryPath().string(), 1, std::nullopt,
                                   std::nullopt, *first.win->codec),
            0);
  TestWindow next(NextStartOf(first));
  next.win->FormCreate();
  EXPECT_TRUE(next.ui.calls.empty());
  EXPECT_EQ(next.win->Document().Count(), 0);
}

TEST(Recovery, AnAlteredFileIsNotOfferedAndLeftAsItIs) {
  TestWindow first;
  ASSERT_TRUE(first.win) << first.error;
  WriteSession(first);
  first.win->FormCloseQuery();
  Bytes altered = ReadBytes(first.RecoveryPath());
  altered[altered.size() / 2] ^= 0x20;
  {
    std::ofstream out(first.RecoveryPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(altered.data()), std::streamsize(altered.size()));
  }

  TestWindow next(NextStartOf(first));
  next.ui.QueueOkCancel(true);
  next.win->FormCreate();
  EXPECT_TRUE(next.ui.calls.empty());
  EXPECT_EQ(next.win->Document().Count(), 0);
  EXPECT_EQ(ReadBytes(next.RecoveryPath()), altered);
  // New writing does not overwrite it: the file is kept aside.
  next.Stroke({{200, 200}, {260, 230}});
  next.win->FormCloseQuery();
  EXPECT_EQ(ReadBytes(next.state_folder / files::kSetAsideFileName), altered);
  EXPECT_EQ(ReadKept(next).count, 1);
}

TEST(Recovery, AFailedWriteIsToldOnceAndWritingGoesOn) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  FakeClock clock;
  clock.Drive(t);
  // A file where the state folder should be.
  std::ofstream(t.state_folder) << "not a folder";

  for (int i = 0; i < 4; ++i) {
    t.Stroke({{200.0 + 50 * i, 200}, {220.0 + 50 * i, 300}});
    for (int k = 0; k < 400; ++k) {
      clock.now += 10ms;
      t.win->Timer1Timer();
    }
  }
  t.win->FormCloseQuery();
  EXPECT_EQ(t.win->Document().Count(), 4);
  ASSERT_EQ(t.ui.Messages().size(), 1u);
  EXPECT_EQ(t.ui.Messages()[0].rfind(files::kRecoveryWriteFailed, 0), 0u);
  EXPECT_EQ(t.ui.calls.size(), 1u);
}

// The writing of a process killed without warning is offered at the next start.
TEST(Recovery, WritingSurvivesAKill) {
  std::random_device rd;
  const fs::path state =
      fs::temp_directory_path() / ("zevo-state-" + std::to_string(rd()) + std::to_string(rd()));

  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The writer: nothing here returns to the test; the parent ends it.
    ::close(pipe_fds[0]);
    TestWindowOptions o;
    o.state_folder = state;
    TestWindow t(o);
    if (!t.win) ::_exit(2);
    const std::string folder = t.folder.string();
    if (::write(pipe_fds[1], folder.data(), folder.size()) != ssize_t(folder.size())) ::_exit(3);
    ::close(pipe_fds[1]);
    FakeClock clock;
    clock.Drive(t);
    WriteSession(t);
    clock.now += files::RecoveryKeeper::kQuietPeriod;
    t.win->Timer1Timer();
    for (;;) ::pause();
  }

  ::close(pipe_fds[1]);
  std::string child_folder;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
    child_folder.append(buffer, std::size_t(n));
  ::close(pipe_fds[0]);

  const fs::path file = state / files::kRecoveryFileName;
  int status = 0;
  bool exited = false;
  for (int i = 0; i < 6000 && !fs::exists(file); ++i) {
    if (::waitpid(child, &status, WNOHANG) == child) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  if (!exited) {
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
  }
  if (!child_folder.empty()) fs::remove_all(child_folder);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
  ASSERT_TRUE(fs::exists(file));

  TestWindow reference;
  ASSERT_TRUE(reference.win) << reference.error;
  WriteSession(reference);

  TestWindowOptions o;
  o.state_folder = state;
  TestWindow next(o);
  ASSERT_TRUE(next.win) << next.error;
  next.ui.QueueOkCancel(true);
  next.win->FormCreate();
  EXPECT_EQ(next.ui.Count(ScriptedUi::Kind::AskOkCancel), 1);
  ExpectSameWriting(*next.win, *reference.win);
  next.win.reset();
  fs::remove_all(state);
}

}  // namespace
}  // namespace zevo::app
