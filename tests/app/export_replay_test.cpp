// The history exported as a replay animation from the picture export dialog.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/gif_reader.h"
#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

namespace fs = std::filesystem;
using platform::ScriptedUi;
using test::TestWindow;

TEST(ExportReplay, WritesTheHistoryAsTheReplayDrawsIt) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  t.Stroke({{200, 200}, {260, 230}, {320, 250}, {380, 260}});
  t.Stroke({{500, 300}, {520, 400}, {560, 420}});
  const fs::path folder = t.folder / "Save";
  fs::create_directories(folder);

  t.ui.QueueSaveFile((folder / "replay.gif").string());
  w.SavePicExecute();
  ASSERT_TRUE(t.ui.Errors().empty()) << t.ui.Errors()[0];
  const test::DecodedAnimation gif = test::DecodeGifForTest((folder / "replay.gif").string());
  ASSERT_GT(gif.frames.size(), 3u);
  // At the export size of the paper the last frame is the page.
  EXPECT_TRUE(gif.frames.back().SamePixels(w.views.Page()));
  EXPECT_FALSE(fs::exists(folder / "replay.gif.BMP"));

  // An MP4 of odd sides is refused, saying why; nothing is left behind.
  w.export_width = 1025;
  t.ui.QueueSaveFile((folder / "replay.mp4").string());
  w.SavePicExecute();
  ASSERT_EQ(t.ui.Errors().size(), 1u);
  EXPECT_NE(t.ui.Errors()[0].find("even"), std::string::npos) << t.ui.Errors()[0];
  EXPECT_FALSE(fs::exists(folder / "replay.mp4"));
}

TEST(ExportReplay, TheWriterCanStopItWhileItRuns) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  TZevo3Win& w = *t.win;
  // 600 strokes of three samples: over a minute of replay at 25 frames a second.
  for (int k = 0; k < 600; ++k) {
    const float x = 100.0f + float(k % 30) * 25, y = 100.0f + float(k / 30) * 25;
    w.Document().AddSample(x, y, 4);
    w.Document().AddSample(x + 10, y, 4);
    w.Document().AddSample(x + 12, y, 0);
  }
  const fs::path folder = t.folder / "Save";
  fs::create_directories(folder);
  const fs::path out = folder / "long.webp";

  // Asked to stop at once: no file is left and no error is shown; the panel goes.
  int polls = 0;
  std::string label;
  w.poll_stop_request = [&] {
    ++polls;
    label = w.panels.PanelProgress.panel.visible ? w.panels.PanelProgress.text : "";
    return true;
  };
  t.ui.QueueSaveFile(out.string());
  w.SavePicExecute();
  EXPECT_EQ(polls, 1);
  EXPECT_NE(label.find("Esc"), std::string::npos) << label;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(t.ui.Errors().empty());
  EXPECT_FALSE(w.panels.PanelProgress.panel.visible);
  EXPECT_EQ(w.Document().Position(), 600);

  // Never asked to stop: the whole replay is written, nothing asked beforehand.
  polls = 0;
  w.poll_stop_request = [&] {
    ++polls;
    return false;
  };
  const std::size_t calls = t.ui.calls.size();
  t.ui.QueueSaveFile(out.string());
  w.SavePicExecute();
  EXPECT_GE(polls, 1);
  EXPECT_EQ(t.ui.calls.size(), calls + 1);  // the save dialog alone
  EXPECT_TRUE(t.ui.Errors().empty());
  EXPECT_GT(fs::file_size(out), 1000u);
  EXPECT_FALSE(w.panels.PanelProgress.panel.visible);
}

}  // namespace
}  // namespace zevo::app
