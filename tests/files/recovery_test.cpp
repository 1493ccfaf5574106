#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "files/codec_binding.h"
#include "files/recovery.h"
#include "files/stroke_file.h"
#include "files/stroke_layout.h"
#include "ink/page_views.h"
#include "platform/library_loader.h"
#include "tests/settings/test_support.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using settings::testing::ScopedEnv;
using ink::StrokeDocument;
using namespace std::chrono_literals;

// The real codec library of the program folder, loaded for each test and released after it:
// a later test in the same process must be able to find it not loaded.
class WithCodec : public ::testing::Test {
 protected:
  void SetUp() override {
    loader_ = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
    auto loaded = CodecBinding::Load(*loader_);
    ASSERT_TRUE(loaded.Ok()) << loaded.ErrorText();
    codec_.emplace(std::move(loaded).Value());
  }
  const CodecBinding& RealCodec() const { return *codec_; }

 private:
  std::unique_ptr<platform::LibraryLoader> loader_;
  std::optional<CodecBinding> codec_;
};

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("zevo-recovery-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

Bytes ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

int ModeOf(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void AddStroke(StrokeDocument& d, float x, float y, bool lift = true) {
  d.AddSample(x, y, 4.0f);
  d.AddSample(x + 10, y + 5, 6.5f);
  d.AddSample(x + 20, y + 7, 3.0f);
  if (lift) d.AddSample(x + 20, y + 7, 0.0f);
}

void ExpectSameEntries(const StrokeDocument& a, const StrokeDocument& b) {
  ASSERT_EQ(a.Count(), b.Count());
  for (int i = 0; i < a.Count(); ++i) {
    const ink::Stroke& x = *a.Entry(i);
    const ink::Stroke& y = *b.Entry(i);
    EXPECT_EQ(x.kind, y.kind) << i;
    EXPECT_EQ(x.value, y.value) << i;
    EXPECT_EQ(x.samples, y.samples) << i;
    EXPECT_EQ(x.x, y.x) << i;
    EXPECT_EQ(x.y, y.y) << i;
  }
}

using RecoveryFiles = WithCodec;

TEST(RecoveryFolder, FollowsTheEnvironment) {
  {
    ScopedEnv state("ZEVO3_STATE_DIR", "/tmp/somewhere");
    ScopedEnv xdg("XDG_STATE_HOME", "/state");
    EXPECT_EQ(DefaultStateFolder(), "/tmp/somewhere/");
  }
  ScopedEnv state("ZEVO3_STATE_DIR", nullptr);
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv xdg("XDG_STATE_HOME", "/state/");
    EXPECT_EQ(DefaultStateFolder(), "/state/Zevo3/");
  }
  {
    // A relative folder is not one the state may go to.
    ScopedEnv xdg("XDG_STATE_HOME", "state");
    EXPECT_EQ(DefaultStateFolder(), "/home/someone/.local/state/Zevo3/");
  }
  ScopedEnv xdg("XDG_STATE_HOME", nullptr);
  EXPECT_EQ(DefaultStateFolder(), "/home/someone/.local/state/Zevo3/");
  ScopedEnv no_home("HOME", nullptr);
  EXPECT_EQ(DefaultStateFolder(), "");
  EXPECT_FALSE(RecoveryFile(DefaultStateFolder()).Enabled());
}

TEST_F(RecoveryFiles, KeepsEveryEntryAndThePositionAndLeavesTheHistoryAsItWas) {
  TempFolder tmp;
  // The folder is made on first use, parents and all, for the writer's eyes only.
  const RecoveryFile file((tmp.Path() / "a" / "Zevo3").string());
  StrokeDocument d(ink::kPageWidth, ink::kPageHeight);
  AddStroke(d, 100, 100);
  d.SetInkColor(0x0000FF);
  AddStroke(d, 200, 100);
  d.AddFill(0x00FF00, 300, 300);
  AddStroke(d, 400, 100);
  d.EntryAt(1, true);  // two steps back: two entries shown, two more to step forward to
  d.author = {'W', 'a', 'n', 'g'};
  d.password = {'p', 'w'};
  d.protection = 7;
  const auto signature = d.signature;
  const std::int32_t byte_size = d.byte_size;

  auto written = file.Write(d, RealCodec());
  ASSERT_TRUE(written) << written.ErrorText();
  EXPECT_EQ(d.Position(), 2);
  EXPECT_EQ(d.Count(), 4);
  EXPECT_EQ(d.signature, signature);
  EXPECT_EQ(d.byte_size, byte_size);
  EXPECT_EQ(ModeOf(tmp.Path() / "a" / "Zevo3"), 0700);
  EXPECT_EQ(ModeOf(file.Path()), 0600);

  auto bytes = file.Load();
  ASSERT_TRUE(bytes) << bytes.ErrorText();
  StrokeDocument back(1, 1);
  ASSERT_EQ(RecoveryFile::Decode(bytes.Value(), back, RealCodec()), kReadOk);
  ExpectSameEntries(back, d);
  EXPECT_EQ(back.Position(), 2);
  EXPECT_EQ(back.PaperWidth(), ink::kPageWidth);
  EXPECT_EQ(back.author, d.author);
  EXPECT_EQ(back.password, d.password);
  EXPECT_EQ(back.protection, 7u);
  EXPECT_FALSE(back.StrokeOpen());

  // Everything stepped back over: position 0 with entries.
  d.EntryAt(d.Count(), true);
  ASSERT_EQ(d.Position(), 0);
  ASSERT_TRUE(file.Write(d, RealCodec()));
  EXPECT_EQ(d.Position(), 0);
  ASSERT_EQ(RecoveryFile::Decode(file.Load().Value(), back, RealCodec()), kReadOk);
  EXPECT_EQ(back.Count(), 4);
  EXPECT_EQ(back.Position(), 0);

  // A stroke still being written is kept as far as it goes, and closed when read.
  StrokeDocument open(ink::kPageWidth, ink::kPageHeight);
  AddStroke(open, 50, 50);
  AddStroke(open, 80, 50, false);
  ASSERT_TRUE(file.Write(open, RealCodec()));
  EXPECT_TRUE(open.StrokeOpen());
  open.AddSample(120, 60, 0.0f);  // the writer goes on with the same stroke
  EXPECT_EQ(open.Count(), 2);
  ASSERT_EQ(RecoveryFile::Decode(file.Load().Value(), back, RealCodec()), kReadOk);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Position(), 2);
  EXPECT_EQ(back.Entry(1)->SampleCount(), 4);
  EXPECT_EQ(back.Entry(1)->samples.back().radius, 0.0f);

  // An empty history leaves no file.
  StrokeDocument empty(ink::kPageWidth, ink::kPageHeight);
  ASSERT_TRUE(file.Write(empty, RealCodec()));
  EXPECT_FALSE(fs::exists(file.Path()));
}

TEST_F(RecoveryFiles, RefusesWhatIsDamagedOrNotSealed) {
  TempFolder tmp;
  const RecoveryFile file(tmp.Path().string());
  StrokeDocument d(ink::kPageWidth, ink::kPageHeight);
  AddStroke(d, 100, 100);
  AddStroke(d, 200, 100);
  ASSERT_TRUE(file.Write(d, RealCodec()));
  const Bytes good = file.Load().Value();
  StrokeDocument back(ink::kPageWidth, ink::kPageHeight);

  for (std::size_t at : {std::size_t(0), std::size_t(5), good.size() / 2, good.size() - 1}) {
    Bytes bad = good;
    bad[at] ^= 0x01;
    EXPECT_NE(RecoveryFile::Decode(bad, back, RealCodec()), kReadOk) << at;
    EXPECT_EQ(back.Count(), 0) << at;
  }
  const Bytes cut(good.begin(), good.end() - 1);
  EXPECT_NE(RecoveryFile::Decode(cut, back, RealCodec()), kReadOk);
  EXPECT_NE(RecoveryFile::Decode({}, back, RealCodec()), kReadOk);

  // A plain layout is a stroke file, but not one the program put here.
  const std::string plain = (tmp.Path() / "plain.stk").string();
  ASSERT_EQ(WritePlainStrokeFile(d, plain, 1, std::nullopt, std::nullopt), 0);
  EXPECT_EQ(RecoveryFile::Decode(ReadBytes(plain), back, RealCodec()), kReadUnknown);
  EXPECT_EQ(back.Count(), 0);

  // A saved stroke file has no position of its own: all of it is shown.
  const std::string saved = (tmp.Path() / "saved.stk").string();
  ASSERT_EQ(WriteStrokeFile(d, saved, 1, std::nullopt, std::nullopt, RealCodec()), 0);
  ASSERT_EQ(RecoveryFile::Decode(ReadBytes(saved), back, RealCodec()), kReadOk);
  EXPECT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Position(), 2);

  // What a recovery file holds stays a stroke file that the stroke file reader opens.
  d.EntryAt(0, true);
  ASSERT_TRUE(file.Write(d, RealCodec()));
  ASSERT_EQ(ReadStrokeFile(back, file.Path(), &RealCodec()), kReadOk);
  EXPECT_EQ(back.Count(), 2);
}

TEST_F(RecoveryFiles, SetAsideReplacesTheOlderOneAndMissingFilesAreNoError) {
  TempFolder tmp;
  const RecoveryFile file(tmp.Path().string() + "/");
  EXPECT_EQ(file.Path(), (tmp.Path() / "recovery.stk").string());
  EXPECT_TRUE(file.SetAside());
  EXPECT_TRUE(file.Discard());
  EXPECT_TRUE(file.DiscardSetAside());

  WriteBytes(file.Path(), {1, 2, 3});
  ASSERT_TRUE(file.SetAside());
  WriteBytes(file.Path(), {4, 5});
  ASSERT_TRUE(file.SetAside());
  EXPECT_FALSE(fs::exists(file.Path()));
  EXPECT_EQ(ReadBytes(file.SetAsidePath()), (Bytes{4, 5}));
  ASSERT_TRUE(file.DiscardSetAside());
  EXPECT_FALSE(fs::exists(file.SetAsidePath()));
}

// A clock the test moves by hand.
struct FakeClock {
  RecoveryKeeper::Time now{std::chrono::hours(1)};
  RecoveryKeeper::Clock Get() {
    return [this] { return now; };
  }
};

TEST(RecoveryKeeper, IsDueOnlyAfterTheHistoryWasQuietAndOnlyOnce) {
  FakeClock clock;
  RecoveryKeeper k(clock.Get());
  StrokeDocument d(ink::kPageWidth, ink::kPageHeight);
  k.Watch(d);
  EXPECT_FALSE(k.Unwritten());

  d.AddSample(10, 10, 3);
  k.Watch(d);
  clock.now += 2s;
  d.AddSample(20, 10, 3);
  k.Watch(d);
  k.Watch(d);
  EXPECT_EQ(k.Changes(), 2u);
  clock.now += RecoveryKeeper::kQuietPeriod - 1ms;
  EXPECT_FALSE(k.Due());
  clock.now += 1ms;
  EXPECT_TRUE(k.Due());
  k.Written();
  clock.now += 1h;
  k.Watch(d);
  EXPECT_FALSE(k.Due());

  // A failed write is tried again a quiet period later, not at every tick.
  d.AddSample(20, 10, 0);
  k.Watch(d);
  clock.now += RecoveryKeeper::kQuietPeriod;
  ASSERT_TRUE(k.Due());
  k.Failed();
  EXPECT_FALSE(k.Due());
  clock.now += RecoveryKeeper::kQuietPeriod;
  EXPECT_TRUE(k.Due());
}

TEST(RecoveryKeeper, SeesEveryKindOfChangeToTheHistory) {
  FakeClock clock;
  RecoveryKeeper k(clock.Get());
  StrokeDocument d(ink::kPageWidth, ink::kPageHeight);
  std::uint64_t seen = 0;
  const auto changed = [&] {
    k.Watch(d);
    const bool c = k.Changes() != seen;
    seen = k.Changes();
    return c;
  };
  AddStroke(d, 10, 10);
  EXPECT_TRUE(changed());
  AddStroke(d, 50, 10);
  EXPECT_TRUE(changed());
  d.StepBack();
  EXPECT_TRUE(changed());
  // New writing after a step back: as many entries as before, the last one another.
  AddStroke(d, 90, 10);
  EXPECT_TRUE(changed());
  d.StepBack();
  EXPECT_TRUE(changed());
  d.AddFill(0xFF, 5, 5);
  EXPECT_EQ(d.Count(), 2);
  EXPECT_TRUE(changed());
  d.Reset(ink::kPageWidth, ink::kPageHeight);
  EXPECT_TRUE(changed());
  EXPECT_FALSE(changed());
  // A restored history is what the file holds: nothing to write.
  AddStroke(d, 10, 10);
  k.Adopt(d);
  EXPECT_FALSE(k.Unwritten());
  EXPECT_FALSE(changed());
}

class RecoveryPart : public WithCodec {
 protected:
  TempFolder tmp;
  FakeClock clock;
  StrokeDocument d{ink::kPageWidth, ink::kPageHeight};

  Recovery Part() {
    Recovery r(tmp.Path().string());
    r.keeper.SetClock(clock.Get());
    return r;
  }
  // Writes a stroke and lets the quiet period pass: what the timer writes.
  std::string WriteAndWait(Recovery& r, float x) {
    AddStroke(d, x, 100);
    r.Watch(d);
    clock.now += RecoveryKeeper::kQuietPeriod;
    return r.Tick(d, RealCodec());
  }
};

TEST_F(RecoveryPart, WritingThatWasNotTakenOverIsSetAsideBeforeTheFirstWrite) {
  const RecoveryFile file(tmp.Path().string());
  const Bytes earlier = {'z', 'v', 'R', 'D', 1, 2, 3};
  WriteBytes(file.Path(), earlier);
  {
    // A file that cannot be read is not offered and stays as it is...
    Recovery r = Part();
    EXPECT_EQ(r.FindWriting(RealCodec()), 0);
    EXPECT_EQ(ReadBytes(file.Path()), earlier);
    // ...until this run writes: then it is kept aside.
    EXPECT_EQ(WriteAndWait(r, 10), "");
    EXPECT_EQ(ReadBytes(file.SetAsidePath()), earlier);
    StrokeDocument back(1, 1);
    ASSERT_EQ(RecoveryFile::Decode(file.Load().Value(), back, RealCodec()), kReadOk);
    EXPECT_EQ(back.Count(), 1);
  }
  {
    // A run that never looked (a stroke file on the command line) does the same.
    const Bytes left = ReadBytes(file.Path());
    Recovery r = Part();
    EXPECT_EQ(WriteAndWait(r, 40), "");
    EXPECT_EQ(ReadBytes(file.SetAsidePath()), left);
    // The save lets what this run wrote and what it set aside go.
    r.Saved();
    EXPECT_FALSE(fs::exists(file.Path()));
    EXPECT_FALSE(fs::exists(file.SetAsidePath()));
    clock.now += 1h;
    EXPECT_EQ(r.Tick(d, RealCodec()), "");
    EXPECT_FALSE(fs::exists(file.Path()));
  }
  {
    // A save in a run that has not taken the file over leaves the earlier run's writing.
    Recovery earlier_run = Part();
    EXPECT_EQ(WriteAndWait(earlier_run, 70), "");
    Recovery r = Part();
    r.Saved();
    EXPECT_TRUE(fs::exists(file.Path()));
  }
}

TEST_F(RecoveryPart, AFailedWriteIsToldOnceAndTriedAgainLater) {
  // A file where the folder should be.
  const fs::path folder = tmp.Path() / "state";
  WriteBytes(folder, {1});
  Recovery r(folder.string());
  r.keeper.SetClock(clock.Get());
  const std::string first = WriteAndWait(r, 10);
  EXPECT_NE(first.find(kRecoveryWriteFailed), std::string::npos);
  EXPECT_GT(first.size(), std::string(kRecoveryWriteFailed).size());  // and why
  EXPECT_FALSE(r.keeper.Due());
  EXPECT_EQ(WriteAndWait(r, 40), "");
  EXPECT_EQ(r.WriteNow(d, RealCodec()), "");
  EXPECT_TRUE(r.keeper.Unwritten());

  // Once the folder can be made, the next try writes everything.
  fs::remove(folder);
  clock.now += RecoveryKeeper::kQuietPeriod;
  EXPECT_EQ(r.Tick(d, RealCodec()), "");
  EXPECT_FALSE(r.keeper.Unwritten());
  StrokeDocument back(1, 1);
  ASSERT_EQ(RecoveryFile::Decode(r.file.Load().Value(), back, RealCodec()), kReadOk);
  EXPECT_EQ(back.Count(), 2);
}

}  // namespace
}  // namespace zevo::files
