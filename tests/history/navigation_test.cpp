#include <gtest/gtest.h>

#include "history/navigation.h"
#include "history/redraw_cache.h"
#include "tests/history/history_fixture.h"
#include "workspace/skin.h"

namespace zevo::history {
namespace {

using test::TestWindow;
using namespace testing;

void ExpectPosition(const app::TZevo3Win& w, int p) {
  EXPECT_EQ(w.PlayerBar.position, p);
  EXPECT_EQ(w.PlayerBar.sel_end, p);
  EXPECT_EQ(w.doc->Position(), p);
}

TEST(Navigation, StepsAtTheEndsOfTheHistory) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  // Empty history: nothing moves, GotoPrev shows the blank page at 0.
  w.GotoNextExecute();
  w.GotoLastExecute();
  ExpectPosition(w, 0);
  w.GotoPrevExecute();
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.ImgA.picture));

  WriteStrokes(t, 3);
  ExpectPosition(w, 3);
  const gfx::Bitmap24 written = w.ImgA.picture;
  w.GotoNextExecute();  // at the end
  ExpectPosition(w, 3);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(written));

  w.GotoPrevExecute();
  w.GotoPrevExecute();
  ExpectPosition(w, 1);
  w.GotoPrevExecute();  // from 1: the blank page
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.ImgA.picture));
  EXPECT_TRUE(AllWhite(w.ImgZoom.picture));
  w.GotoPrevExecute();  // from 0: stays
  ExpectPosition(w, 0);

  w.GotoNextExecute();
  ExpectPosition(w, 1);
  w.GotoLastExecute();
  ExpectPosition(w, 3);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(written));
}

TEST(Navigation, FirstThenLastGivesThePageAsWritten) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 30; ++i) WriteStroke(t, i, i % 3 == 0 ? 0x0000FF : i % 3 == 1 ? 0x00A8F9 : 0);
  const gfx::Bitmap24 page = w.ImgA.picture, overview = w.ImgZoom.picture;

  w.GotoFirstExecute();
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.ImgA.picture));
  w.GotoLastExecute();
  ExpectPosition(w, 30);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(page));
  EXPECT_TRUE(w.ImgZoom.picture.SamePixels(overview));

  // Colours survive any walk back and forth.
  w.GotoPrevExecute();
  w.GotoPrevExecute();
  w.target_position = 7;
  w.GotoPointExecute();
  w.GotoNextExecute();
  w.target_position = 29;
  w.GotoPointExecute();
  w.GotoNextExecute();
  ExpectPosition(w, 30);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(page));
  EXPECT_TRUE(w.ImgZoom.picture.SamePixels(overview));
}

// The pages a redraw from the first entry gives, without the copy navigation keeps.
struct Pages {
  gfx::Bitmap24 page, overview;
};
Pages Uncached(app::TZevo3Win& w) {
  auto kept = std::move(w.redraw_cache);
  w.redraw_cache.reset();
  FullRedraw(w);
  Pages p{w.ImgA.picture, w.ImgZoom.picture};
  w.redraw_cache = std::move(kept);
  return p;
}

void ExpectPages(const app::TZevo3Win& w, const Pages& p) {
  EXPECT_TRUE(w.ImgA.picture.SamePixels(p.page)) << "at " << w.PlayerBar.position;
  EXPECT_TRUE(w.ImgZoom.picture.SamePixels(p.overview)) << "at " << w.PlayerBar.position;
}

TEST(Navigation, StepsBackFromAKeptCopyGiveTheSamePages) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 70; ++i) WriteStroke(t, i, i % 2 ? 0x0000FF : 0x00333333);
  w.GotoFirstExecute();
  w.GotoLastExecute();  // leaves a copy after 64 entries
  ASSERT_TRUE(w.redraw_cache);
  EXPECT_EQ(w.redraw_cache->Entries(), 64);
  for (int p = 69; p >= 60; --p) {
    w.GotoPrevExecute();
    ASSERT_EQ(w.PlayerBar.position, p);
    const Pages shown{w.ImgA.picture, w.ImgZoom.picture};
    ExpectPages(w, Uncached(w));
    // The check redrew the same pages.
    ExpectPages(w, shown);
  }
  EXPECT_EQ(w.redraw_cache->Entries(), 32);
}

TEST(Navigation, AKeptCopyIsNotUsedOnceTheHistoryOrThePageChanged) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 40);
  w.GotoPrevExecute();
  ASSERT_EQ(w.redraw_cache->Entries(), 32);

  // Other strokes written over the same positions.
  w.target_position = 20;
  w.GotoPointExecute();
  for (int i = 20; i < 40; ++i) WriteStroke(t, 95 - i, 0x0000FF);
  ASSERT_EQ(w.doc->Count(), 40);
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));

  // Same entries, a grid under them.
  w.GotoLastExecute();
  w.GotoPrevExecute();
  w.grid_page.FillRect({0, 600, 1024, 602}, 0x00BDBDFF);
  w.grid_shown = true;
  w.GotoPrevExecute();
  EXPECT_EQ(w.ImgA.picture.Pixel(1000, 601), 0x00BDBDFFu);
  ExpectPages(w, Uncached(w));
  // The grid page itself redrawn differently.
  w.grid_page.FillRect({0, 650, 1024, 652}, 0x00BDBDFF);
  w.GotoPrevExecute();
  EXPECT_EQ(w.ImgA.picture.Pixel(1000, 651), 0x00BDBDFFu);
  ExpectPages(w, Uncached(w));

  // Another zoom.
  w.view = {2.0f, 100.0f, 50.0f};
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));
}

TEST(Navigation, BackwardStepsShowExactlyTheEarlierEntries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStroke(t, 0, 0x0000FF);
  const gfx::Bitmap24 one = w.ImgA.picture;
  WriteStroke(t, 1, 0x00A8F9);
  const gfx::Bitmap24 two = w.ImgA.picture;
  WriteStroke(t, 2, 0x333333);
  w.GotoPrevExecute();
  EXPECT_TRUE(w.ImgA.picture.SamePixels(two));
  w.target_position = 1;
  w.GotoPointExecute();
  ExpectPosition(w, 1);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(one));
  w.GotoNextExecute();
  EXPECT_TRUE(w.ImgA.picture.SamePixels(two));
}

TEST(Navigation, ProgressPanelOnlyForMoreThanSixteenEntries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  LoadEntries(w, 40);
  auto run = [&](auto command) {
    ProgressSpy spy;
    spy.Attach(w);
    command();
    w.repaint_progress_now = nullptr;
    EXPECT_FALSE(w.PanelProgress.panel.visible);
    EXPECT_EQ(w.PanelProgress.text, "");
    EXPECT_EQ(w.PanelProgress.max, 0);
    return spy;
  };
  w.target_position = 3;
  w.GotoPointExecute();
  ProgressSpy s = run([&] { w.GotoLastExecute(); });  // 37 entries from 3
  ExpectPosition(w, 40);
  EXPECT_TRUE(s.shown);
  EXPECT_EQ(s.max, 37);
  EXPECT_EQ(s.positions, (std::vector<int>{16, 32}));

  w.target_position = 30;
  w.GotoPointExecute();
  s = run([&] { w.GotoLastExecute(); });  // 10 entries
  ExpectPosition(w, 40);
  EXPECT_FALSE(s.shown);

  w.target_position = 18;
  w.GotoPointExecute();
  s = run([&] { w.GotoPrevExecute(); });  // redraws 17
  ExpectPosition(w, 17);
  EXPECT_TRUE(s.shown);
  EXPECT_EQ(s.max, 17);
  s = run([&] { w.GotoPrevExecute(); });  // redraws 16
  ExpectPosition(w, 16);
  EXPECT_FALSE(s.shown);

  // A full redraw is sized by the whole history.
  s = run([&] { FullRedraw(w); });
  ExpectPosition(w, 16);
  EXPECT_TRUE(s.shown);
  EXPECT_EQ(s.max, 40);
}

TEST(Navigation, PlayerTrackClicks) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  LoadEntries(w, 100);
  w.PlayPanelMouseDown(453, 25);  // far right: the last position
  ExpectPosition(w, 100);
  const gfx::Bitmap24 all = w.ImgA.picture;
  EXPECT_FALSE(AllWhite(all));
  w.PlayPanelMouseDown(36 + 209, 25);  // 209 * 100 / 417 = 50
  ExpectPosition(w, 50);
  w.PlayPanelMouseDown(35, 25);   // left of the track
  w.PlayPanelMouseDown(200, 17);  // above it
  ExpectPosition(w, 50);
  w.PlayPanelMouseDown(36, 25);  // x = 36: the blank page
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.ImgA.picture));
  w.PlayPanelMouseDown(453, 40);
  EXPECT_TRUE(w.ImgA.picture.SamePixels(all));

  // A click that maps to the shown position changes nothing on the page.
  w.ImgA.picture.SetPixel(1, 1, 0x123456);
  w.PlayPanelMouseDown(452, 25);  // 416 * 100 / 417 = 99
  ExpectPosition(w, 99);
  w.ImgA.picture.SetPixel(2, 2, 0x123456);
  w.PlayPanelMouseDown(452, 25);
  EXPECT_EQ(w.ImgA.picture.Pixel(2, 2), 0x123456u);
}

TEST(Navigation, BlankPageFollowsGridTraceAndBackground) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 2);
  w.paper_page.Fill(0x00C0E0F0);
  w.paper_overview.Fill(0x00C0E0F0);
  w.trace_page.Fill(0x00B0B0FF);
  w.trace_overview.Fill(0x00B0B0FF);
  w.grid_page.FillRect({0, 300, 1024, 302}, 0x00BDBDFF);
  w.grid_overview.FillRect({0, 75, 256, 76}, 0x00BDBDFF);

  // A background without a picture is no background.
  w.background.mode = seals::kBackgroundTexture;
  w.GotoPrevExecute();
  EXPECT_EQ(w.ImgA.picture.Pixel(1000, 700), gfx::kWhite);

  w.background.bitmap = std::make_unique<gfx::Bitmap24>(8, 8, 0x00C0E0F0);
  w.GotoFirstExecute();
  EXPECT_TRUE(w.ImgA.picture.SamePixels(w.paper_page));
  EXPECT_TRUE(w.ImgZoom.picture.SamePixels(w.paper_overview));

  w.trace_shown = true;
  w.GotoNextExecute();
  w.GotoPrevExecute();
  EXPECT_TRUE(w.ImgA.picture.SamePixels(w.trace_page));

  // The grid wins; the stroke drawn again lies over it and the grid line stays elsewhere.
  w.grid_shown = true;
  w.GotoLastExecute();
  w.GotoPrevExecute();
  ExpectPosition(w, 1);
  EXPECT_EQ(w.ImgA.picture.Pixel(1000, 301), 0x00BDBDFFu);
  EXPECT_EQ(w.ImgZoom.picture.Pixel(250, 75), 0x00BDBDFFu);
  EXPECT_NE(w.ImgA.picture.Pixel(66, 62), 0x00BDBDFFu);
  EXPECT_EQ(w.ImgA.picture.Pixel(10, 10), w.grid_page.Pixel(10, 10));
}

TEST(Navigation, PlayerIndicatorOnThePlayPanel) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  constexpr gfx::Color kFilled = 0x0000FF, kEmpty = 0x00FF00, kKnob = 0xFF0000;
  w.skin.images[workspace::kSkinTrackFilled] = gfx::Bitmap24(3, 11, kFilled);
  w.skin.images[workspace::kSkinTrackEmpty] = gfx::Bitmap24(3, 11, kEmpty);
  w.skin.images[workspace::kSkinTrackKnob] = gfx::Bitmap24(2, 11, kKnob);
  const auto& c = w.play_panel_canvas;
  auto at = [&](int x) { return c.Pixel(x, 26); };

  DrawPlayerIndicator(w);  // maximum 0
  EXPECT_EQ(at(36), kEmpty);
  EXPECT_EQ(at(452), kEmpty);
  EXPECT_NE(at(453), kEmpty);
  EXPECT_NE(c.Pixel(100, 20), kEmpty);
  EXPECT_EQ(c.Pixel(100, 21), kEmpty);
  EXPECT_EQ(c.Pixel(100, 31), kEmpty);
  EXPECT_NE(c.Pixel(100, 32), kEmpty);

  LoadEntries(w, 100);
  w.target_position = 50;
  w.GotoPointExecute();  // f = 50 * 411 / 100 = 205
  EXPECT_EQ(at(36), kFilled);
  EXPECT_EQ(at(36 + 204), kFilled);
  EXPECT_EQ(at(36 + 205), kKnob);
  EXPECT_EQ(at(36 + 210), kKnob);
  EXPECT_EQ(at(36 + 211), kEmpty);
  EXPECT_EQ(at(452), kEmpty);

  w.GotoFirstExecute();  // f = 0: knob first
  EXPECT_EQ(at(36), kKnob);
  EXPECT_EQ(at(42), kEmpty);
  w.GotoLastExecute();
  EXPECT_EQ(at(36), kFilled);
  EXPECT_EQ(at(452), kFilled);
}

}  // namespace
}  // namespace zevo::history
