// The stroke file commands of the main window as the writer meets them: opening a
// 1000-stroke x 100-sample file through to the drawn page and overview, and saving the same
// history with the file dialog and the save options dialog answered. The plain read and write
// of the same file run beside them, so that what the commands add on top is visible.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/files/pen_history.h"
#include "files/codec_binding.h"
#include "files/save_stk_dlg.h"
#include "files/stroke_file.h"
#include "tests/support/test_window.h"

namespace zevo {
namespace {

namespace fs = std::filesystem;
using platform::DialogModel;
using test::TestWindow;

constexpr int kStrokes = 1000;
constexpr int kSamplesPerStroke = 100;
// The window's stored identity (TestWindowOptions): the file is the writer's own.
constexpr char kAuthor[] = "Test Writer";
constexpr char kPassword[] = "brush";

// One window for the whole run, with the pen-written history in a stroke file of its save
// folder.
struct Bench {
  std::unique_ptr<TestWindow> t;
  ink::StrokeDocument history{ink::kPageWidth, ink::kPageHeight};
  std::string file;  // the history as a stroke file, all samples kept
  std::string error;

  Bench() {
    t = std::make_unique<TestWindow>();
    if (!t->win) {
      error = "the window could not be made: " + t->error;
      return;
    }
    for (const bench::PenStroke& s : bench::SimulatePenHistory(kStrokes, kSamplesPerStroke)) {
      for (const bench::PenSample& p : s) history.AddSample(p.x, p.y, p.radius);
    }
    fs::create_directories(t->folder / "Save");
    file = (t->folder / "Save" / "history.stk").string();
    if (files::WriteStrokeFile(history, file, 1, kPassword, kAuthor, *t->win->codec) != 0)
      error = "the history could not be written";
  }
  ~Bench() {
    // The window goes before the process's own statics.
    t.reset();
  }
};

Bench& Shared() {
  static Bench b;
  return b;
}

// The shared window, or nullptr when it could not be set up (the benchmark is skipped, saying
// why).
Bench* Ready(benchmark::State& state) {
  Bench& b = Shared();
  if (b.error.empty()) return &b;
  state.SkipWithError(b.error.c_str());
  return nullptr;
}

std::int64_t FileSize(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? -1 : std::int64_t(size);
}

int InkedPixels(const gfx::Bitmap24& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) != gfx::kWhite;
  return n;
}

// The writer in the save options dialog: all samples kept, open to others, OK.
void QueueSaveOptions(TestWindow& t) {
  t.ui.QueueDialog([](DialogModel& m) {
    auto& d = static_cast<files::TSaveStkDlg&>(m);
    d.FormActivate();
    d.OKBtnClick();
    return true;
  });
}

void OpenHistory(Bench& b) {
  b.t->ui.QueueOpenFile(b.file);
  b.t->win->DataOpenExecute();
}

// Open: the file dialog answered, the file read, the page and the overview drawn up to the end.
void BM_DataOpenExecute(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  TestWindow& t = *b.t;
  app::TZevo3Win& w = *t.win;

  // Once, untimed: the page really shows the history after an open.
  w.WriteClearExecute();
  const int blank_page = InkedPixels(w.views.Page());
  t.ui.calls.clear();
  OpenHistory(b);
  const int page_ink = InkedPixels(w.views.Page()) - blank_page;
  if (!t.ui.Messages().empty()) {
    state.SkipWithError(("the open said: " + t.ui.Messages().front()).c_str());
    return;
  }
  if (w.Document().Count() != kStrokes || w.player.bar.position != kStrokes ||
      w.Document().Position() != kStrokes) {
    state.SkipWithError("the history did not come back whole");
    return;
  }
  if (page_ink < 10000) {
    state.SkipWithError("the page does not show the history");
    return;
  }

  for (auto _ : state) {
    t.ui.calls.clear();
    OpenHistory(b);
  }
  if (t.ui.unanswered != 0 || !t.ui.Messages().empty() || w.Document().Count() != kStrokes)
    state.SkipWithError("the open asked or said something unexpected");
  state.counters["file_bytes"] = double(FileSize(b.file));
  state.counters["strokes"] = double(w.Document().Count());
  state.counters["page_inked_px"] = double(page_ink);
}
BENCHMARK(BM_DataOpenExecute)->Unit(benchmark::kMillisecond);

// The plain read of the same file into a document of its own.
void BM_ReadStrokeFile(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  ink::StrokeDocument d(ink::kPageWidth, ink::kPageHeight);
  for (auto _ : state) {
    if (files::ReadStrokeFile(d, b.file, b.t->win->codec.get()) != files::kReadOk ||
        d.Count() != kStrokes) {
      state.SkipWithError("read failed");
      break;
    }
  }
  state.counters["file_bytes"] = double(FileSize(b.file));
}
BENCHMARK(BM_ReadStrokeFile)->Unit(benchmark::kMillisecond);

// Save: the file dialog answered with a name in the save folder, the save options dialog
// activated (it encodes the history to show the real size) and accepted, the file replaced
// on the disk.
void BM_DataSaveExecute(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  TestWindow& t = *b.t;
  app::TZevo3Win& w = *t.win;
  // The history in the window, as the writer has it after opening it.
  OpenHistory(b);
  if (w.Document().Count() != kStrokes || w.Document().Position() != kStrokes) {
    state.SkipWithError("the history is not in the window");
    return;
  }
  const std::string target = (t.folder / "Save" / "saved.stk").string();
  t.ui.calls.clear();
  for (auto _ : state) {
    t.ui.calls.clear();
    t.ui.QueueSaveFile(target);
    QueueSaveOptions(t);
    w.DataSaveExecute();
  }
  if (t.ui.unanswered != 0 || !t.ui.Messages().empty())
    state.SkipWithError("the save asked or said something unexpected");
  const std::int64_t size = FileSize(target);
  if (size <= 0) state.SkipWithError("nothing was saved");
  state.counters["file_bytes"] = double(size);
}
BENCHMARK(BM_DataSaveExecute)->Unit(benchmark::kMillisecond);

// The plain write of the same history, with the same replace-on-success.
void BM_WriteStrokeFile(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  const std::string target = (b.t->folder / "Save" / "plain.stk").string();
  for (auto _ : state) {
    if (files::WriteStrokeFile(b.history, target, 1, kPassword, kAuthor, *b.t->win->codec) != 0) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.counters["file_bytes"] = double(FileSize(target));
}
BENCHMARK(BM_WriteStrokeFile)->Unit(benchmark::kMillisecond);

// The two halves of a save, apart: encoding the history in memory (what the save options
// dialog does to show the size), and replacing the file with those bytes (temporary file,
// flush to the disk, rename).
void BM_EncodeStrokeFile(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  std::size_t size = 0;
  for (auto _ : state) {
    auto bytes = files::EncodeStrokeFile(b.history, 1, kPassword, kAuthor, *b.t->win->codec);
    if (!bytes) {
      state.SkipWithError("encode failed");
      break;
    }
    size = bytes.Value().size();
  }
  state.counters["file_bytes"] = double(size);
}
BENCHMARK(BM_EncodeStrokeFile)->Unit(benchmark::kMillisecond);

void BM_WriteEncodedStrokeFile(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  auto encoded = files::EncodeStrokeFile(b.history, 1, kPassword, kAuthor, *b.t->win->codec);
  if (!encoded) {
    state.SkipWithError("encode failed");
    return;
  }
  const std::vector<std::uint8_t> bytes = std::move(encoded).Value();
  const std::string target = (b.t->folder / "Save" / "bytes.stk").string();
  for (auto _ : state) {
    if (!files::WriteEncodedStrokeFile(target, bytes)) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_WriteEncodedStrokeFile)->Unit(benchmark::kMillisecond);

// Picture export of the same history at 2048 x 1436 as JPEG: the file dialog answered, the
// sheet rendered afresh, encoded and written.
void BM_SavePicExecute(benchmark::State& state) {
  Bench* ready = Ready(state);
  if (ready == nullptr) return;
  Bench& b = *ready;
  TestWindow& t = *b.t;
  app::TZevo3Win& w = *t.win;
  OpenHistory(b);
  if (w.Document().Count() != kStrokes) {
    state.SkipWithError("the history is not in the window");
    return;
  }
  w.export_width = 2048;
  w.export_height = 1436;
  const std::string target = (t.folder / "Save" / "sheet.jpg").string();
  for (auto _ : state) {
    t.ui.calls.clear();
    t.ui.QueueSaveFile(target);
    w.SavePicExecute();
  }
  w.export_width = 1024;
  w.export_height = 718;
  if (t.ui.unanswered != 0 || !t.ui.Errors().empty())
    state.SkipWithError("the export asked or said something unexpected");
  state.counters["file_bytes"] = double(FileSize(target));
}
BENCHMARK(BM_SavePicExecute)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
