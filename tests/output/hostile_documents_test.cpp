#include <gtest/gtest.h>

#include "fuzz/render/harness.h"
#include "history/navigation.h"
#include "history/replay.h"
#include "output/sheet_picture.h"
#include "tests/support/fuzz_inputs.h"
#include "tests/support/hostile_documents.h"

namespace zevo {
namespace {

// Every hostile history renders as a sheet picture at the size of the page, with itself as the
// trace model and the grid shown, without throwing; what it cannot reach stays paper.
TEST(HostileDocuments, RenderAsASheetPicture) {
  for (auto& [name, doc] : test::HostileDocuments()) {
    SCOPED_TRACE(name);
    ink::StrokeDocument model(1024, 718);
    output::SheetInputs in;
    in.live = doc.get();
    in.trace_model = &model;
    in.trace_shown = true;
    in.grid_shown = true;
    Result<gfx::Bitmap24> picture = Result<gfx::Bitmap24>::Error("not rendered");
    ASSERT_NO_THROW(picture = output::RenderSheetPicture(1024, 718, in));
    ASSERT_TRUE(picture) << picture.ErrorText();
    EXPECT_EQ(picture.Value().Width(), 1024);
  }
}

// Hundreds of floods of most of the sheet each, alternating between two regions so that no
// run of fills can be painted once: the picture is refused instead of taking minutes.
TEST(HostileDocuments, ASheetOfTooManyLargeFillsIsRefused) {
  for (auto& [name, doc] : test::HostileDocuments()) {
    if (name != "fills_alternating_between_regions") continue;
    output::SheetInputs in;
    in.live = doc.get();
    const Result<gfx::Bitmap24> picture = output::RenderSheetPicture(1024, 718, in);
    ASSERT_FALSE(picture);
    EXPECT_NE(picture.ErrorText().find("more drawing"), std::string::npos);
  }
}

// ... and on the page views, stepped through and replayed as the window does it.
TEST(HostileDocuments, NavigateAndReplay) {
  for (auto& [name, doc] : test::HostileDocuments()) {
    SCOPED_TRACE(name);
    history::HistoryPlayer player(1024, 718);
    ink::StrokeDocument& live = player.Document();
    for (int i = 0; i < doc->Count(); ++i) {
      const ink::Stroke& e = *doc->Entry(i);
      switch (e.kind) {
        case ink::StrokeKind::Ink:
          live.SetInkColor(e.value);
          for (const auto& s : e.samples) live.AddSample(s.x, s.y, s.radius);
          break;
        case ink::StrokeKind::Fill:
          live.AddFill(e.value, e.x, e.y);
          break;
        case ink::StrokeKind::Stamp:
          live.AddStampEntry(std::make_unique<gfx::Bitmap24>(*e.bitmap), e.x, e.y, e.width,
                             e.height);
          break;
        case ink::StrokeKind::Picture:
          live.AddPicture(e.px, e.py, std::make_unique<gfx::Bitmap24>(*e.bitmap));
          break;
      }
    }
    ink::PageViews views;
    seals::SheetPages sheet;
    history::Navigator n{player, views, sheet, nullptr};
    player.ShowWhole();
    ASSERT_NO_THROW(history::FullRedraw(n));
    // That one is bounded by the fill work each redraw may spend; once is enough here.
    if (name == "fills_alternating_between_regions") continue;
    ASSERT_NO_THROW({
      history::GotoPrev(n);
      history::GotoFirst(n);
      history::GotoLast(n);
      history::GotoPoint(n, live.Count() / 2);
      history::DataPlay(n, history::kMaxReplayRate);
      for (int tick = 0; tick < 200 && player.replaying; ++tick)
        if (history::ReplayTick(n)) history::DataStop(player, history::kMaxReplayRate);
    });
    EXPECT_LE(player.bar.position, live.Count());
    if (name == "fills_alternating_at_one_seed") {
      history::GotoLast(n);
      EXPECT_EQ(views.Page().Pixel(512, 359), 0x0000FFu);  // the last fill's colour
      EXPECT_EQ(views.Page().Pixel(5, 5), gfx::kWhite);
    }
  }
}

// A stroke of thousands of discs that each cover the sheet: refused, not drawn for minutes.
TEST(HostileDocuments, AStrokeOfPageSizedDiscsIsRefused) {
  ink::StrokeDocument doc(1024, 718);
  for (int i = 0; i < 20000; ++i) doc.AddSample(float(i % 1000), 300, 3e8f);
  doc.AddSample(0, 0, 0);
  output::SheetInputs in;
  in.live = &doc;
  const Result<gfx::Bitmap24> picture = output::RenderSheetPicture(64, 45, in);
  ASSERT_FALSE(picture);
  EXPECT_NE(picture.ErrorText().find("more drawing"), std::string::npos);
}

}  // namespace
}  // namespace zevo

namespace zevo {
namespace {

// The corpora of the fuzz targets that render and replay what a file holds.
TEST(FuzzInputs, SheetPicturesOfStrokeFiles) {
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_render_sheet")) {
    SCOPED_TRACE(input.name);
    fuzz::RenderSheet(input.bytes);
  }
}

TEST(FuzzInputs, NavigationAndReplayOfStrokeFiles) {
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_navigate")) {
    SCOPED_TRACE(input.name);
    fuzz::Navigate(input.bytes);
  }
}

TEST(FuzzInputs, StrokeFilesOpenedOntoTheSheet) {
  for (const test::FuzzInput& input : test::FuzzInputs("fuzz_open_sheet")) {
    SCOPED_TRACE(input.name);
    fuzz::OpenIntoSheet(input.bytes);
  }
}

}  // namespace
}  // namespace zevo
