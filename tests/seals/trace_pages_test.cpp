#include "seals/trace_pages.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zevo::seals {
namespace {

using gfx::Bitmap24;

// A model with one black stroke, a stamp and a fill seed on white paper.
void FillModel(ink::StrokeDocument& model) {
  model.SetInkColor(gfx::kBlack);
  model.AddSample(100, 100, 12);
  model.AddSample(200, 100, 12);
  model.AddSample(210, 100, 0);
  model.AddStampEntry(std::make_unique<Bitmap24>(20, 20, gfx::kBlack), 400, 400, 20, 20);
}

struct Pages {
  Bitmap24 paper{1024, 718, gfx::kWhite}, paper_overview{256, 180, gfx::kWhite};
  Bitmap24 trace{1024, 718}, trace_overview{256, 180};
  ink::BrushRenderer main{trace}, overview{trace_overview};
};

TEST(TracePages, ModelIsDrawnPaleRedAndItsStampsAreLeftOut) {
  Pages p;
  ink::StrokeDocument model(1024, 718);
  FillModel(model);
  RebuildTracePages({}, p.paper, p.paper_overview, model, true, {}, p.main, p.overview);
  EXPECT_EQ(p.trace.Pixel(150, 100), kTraceColor);
  EXPECT_EQ(p.trace_overview.Pixel(37, 25), kTraceColor);
  EXPECT_EQ(p.trace.Pixel(410, 410), gfx::kWhite);
  EXPECT_EQ(p.trace.Pixel(150, 130), gfx::kWhite);
  EXPECT_EQ(model.Count(), 2);
  EXPECT_EQ(model.Position(), 2);  // left at its last entry
}

TEST(TracePages, ZoomedViewAndFillOnBothPages) {
  Pages p;
  ink::StrokeDocument model(1024, 718);
  model.AddSample(100, 100, 12);
  model.AddSample(200, 100, 0);
  model.AddFill(gfx::kBlack, 300, 300);  // white paper all round
  RebuildTracePages({}, p.paper, p.paper_overview, model, true, {2.0f, 100.0f, 80.0f}, p.main,
                    p.overview);
  // Everything that was white is now the trace colour, on both pages.
  EXPECT_EQ(p.trace.Pixel(1000, 700), kTraceColor);
  EXPECT_EQ(p.trace_overview.Pixel(250, 170), kTraceColor);
}

TEST(TracePages, HiddenModelIsClearedAndPaperShows) {
  Pages p;
  p.paper.Fill(0x00336699);
  p.paper_overview.Fill(0x00336699);
  const Bitmap24 bg(8, 8, 0x00336699);
  ink::StrokeDocument model(1024, 718);
  FillModel(model);
  RebuildTracePages({&bg, kBackgroundImage, kFitFull}, p.paper, p.paper_overview, model, false, {},
                    p.main, p.overview);
  EXPECT_EQ(model.Count(), 0);
  EXPECT_EQ(p.trace.Pixel(150, 100), 0x00336699u);
  EXPECT_EQ(p.trace_overview.Pixel(37, 25), 0x00336699u);
  // The renderers blend later strokes with the paper: their work bitmaps hold it.
  EXPECT_EQ(p.main.Work().Pixel(600, 400), 0x00336699u);
}

class CountingProgress : public base::ProgressDisplay {
 public:
  void Show(int maximum, int line) override { events.push_back({'S', maximum, line}); }
  void ShowText(int maximum, const std::string&) override { events.push_back({'T', maximum, 0}); }
  void SetPosition(int position) override { events.push_back({'P', position, 0}); }
  void Hide() override { events.push_back({'H', 0, 0}); }
  struct Event {
    char what;
    int a, b;
  };
  std::vector<Event> events;
};

TEST(TracePages, ProgressOnlyForMoreThanSixteenEntries) {
  for (int n : {16, 17, 33}) {
    Pages p;
    ink::StrokeDocument model(1024, 718);
    for (int i = 0; i < n; ++i) model.AddFill(0, 1, 1);
    CountingProgress progress;
    RebuildTracePages({}, p.paper, p.paper_overview, model, true, {}, p.main, p.overview,
                      &progress);
    if (n == 16) {
      EXPECT_TRUE(progress.events.empty());
      continue;
    }
    ASSERT_GE(progress.events.size(), 3u) << n;
    EXPECT_EQ(progress.events.front().what, 'S');
    EXPECT_EQ(progress.events.front().a, n);
    EXPECT_EQ(progress.events.front().b, base::kProgressLineTraceModel);
    EXPECT_EQ(progress.events[1].what, 'P');
    EXPECT_EQ(progress.events[1].a, 16);
    EXPECT_EQ(progress.events.back().what, 'H');
    EXPECT_EQ(progress.events.size(), n == 33 ? 4u : 3u);
  }
}

}  // namespace
}  // namespace zevo::seals
