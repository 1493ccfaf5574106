#include <gtest/gtest.h>

#include "history/navigation.h"
#include "history/redraw_cache.h"
#include "platform/text_painter.h"
#include "tests/history/history_fixture.h"
#include "workspace/skin.h"
#include "workspace/skin_layout.h"

namespace zevo::history {
namespace {

using test::TestWindow;
using namespace testing;

void ExpectPosition(const app::TZevo3Win& w, int p) {
  EXPECT_EQ(w.player.bar.position, p);
  EXPECT_EQ(w.player.bar.sel_end, p);
  EXPECT_EQ(w.Document().Position(), p);
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
  EXPECT_TRUE(AllWhite(w.views.Page()));

  WriteStrokes(t, 3);
  ExpectPosition(w, 3);
  const gfx::Bitmap24 written = w.views.Page();
  w.GotoNextExecute();  // at the end
  ExpectPosition(w, 3);
  EXPECT_TRUE(w.views.Page().SamePixels(written));

  w.GotoPrevExecute();
  w.GotoPrevExecute();
  ExpectPosition(w, 1);
  w.GotoPrevExecute();  // from 1: the blank page
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.views.Page()));
  EXPECT_TRUE(AllWhite(w.views.Overview()));
  w.GotoPrevExecute();  // from 0: stays
  ExpectPosition(w, 0);

  w.GotoNextExecute();
  ExpectPosition(w, 1);
  w.GotoLastExecute();
  ExpectPosition(w, 3);
  EXPECT_TRUE(w.views.Page().SamePixels(written));
}

TEST(Navigation, FirstThenLastGivesThePageAsWritten) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 30; ++i) WriteStroke(t, i, i % 3 == 0 ? 0x0000FF : i % 3 == 1 ? 0x00A8F9 : 0);
  const gfx::Bitmap24 page = w.views.Page(), overview = w.views.Overview();

  w.GotoFirstExecute();
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.views.Page()));
  w.GotoLastExecute();
  ExpectPosition(w, 30);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
  EXPECT_TRUE(w.views.Overview().SamePixels(overview));

  // Colours survive any walk back and forth.
  w.GotoPrevExecute();
  w.GotoPrevExecute();
  w.GotoPointExecute(7);
  w.GotoNextExecute();
  w.GotoPointExecute(29);
  w.GotoNextExecute();
  ExpectPosition(w, 30);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
  EXPECT_TRUE(w.views.Overview().SamePixels(overview));
}

// Long runs are drawn on several threads, the view's rows in two parts when nothing could be
// left out: the pages are those of every entry drawn in turn, with strokes across the parts'
// edge, a fill in the middle of a run (drawn whole), a seal, and a zoomed view.
TEST(Navigation, RedrawsOnSeveralThreadsGiveThePagesOfEveryEntryInTurn) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 60; ++i) {
    w.Document().SetInkColor(i % 3 == 0 ? 0x000000C0 : 0x00202020);
    const float x = 30.0f + float((i * 53) % 900), y = 200.0f + float((i * 29) % 300);
    for (int k = 0; k < 40; ++k)
      w.Document().AddSample(x + 3.0f * float(k), y + 6.0f * float(k) - 100.0f,
                             k + 1 == 40 ? 0.0f : 2.0f + float((i + k) % 9));
    if (i == 30) w.Document().AddFill(0x0000A0A0, 2, 2);
    if (i == 40)
      w.Document().AddStampEntry(std::make_unique<gfx::Bitmap24>(8, 8, 0x00000080), 500, 330, 60,
                                 60);
  }
  w.player.bar.max = w.Document().Count();
  for (const float zoom : {1.0f, 2.0f}) {
    ink::PageViews plain(w.views.Page().Width(), w.views.Page().Height(),
                         w.views.Overview().Width(), w.views.Overview().Height());
    plain.SetTransform({zoom, 100, 80});
    w.views.SetTransform({zoom, 100, 80});
    for (int i = 0; i < w.Document().Count(); ++i) plain.DrawEntry(*w.Document().Entry(i));
    w.player.Cache().Forget();
    w.GotoFirstExecute();
    w.GotoLastExecute();
    ExpectPosition(w, w.Document().Count());
    EXPECT_TRUE(w.views.Page().SamePixels(plain.Page())) << zoom;
    EXPECT_TRUE(w.views.Overview().SamePixels(plain.Overview())) << zoom;
    EXPECT_TRUE(w.views.ViewRenderer().Work().SamePixels(plain.ViewRenderer().Work())) << zoom;
    // The view on one thread gives the same.
    w.player.split_redraws = false;
    w.player.Cache().Forget();
    w.GotoFirstExecute();
    w.GotoLastExecute();
    EXPECT_TRUE(w.views.Page().SamePixels(plain.Page())) << zoom;
    w.player.split_redraws = true;
    // A step back redraws from the blank page on the same threads.
    w.GotoPrevExecute();
    w.GotoNextExecute();
    EXPECT_TRUE(w.views.Page().SamePixels(plain.Page())) << zoom;
  }
}

// The pages a redraw from the first entry gives, without the copy navigation keeps.
struct Pages {
  gfx::Bitmap24 page, overview;
};
Pages Uncached(app::TZevo3Win& w) {
  history::RedrawCache kept = std::move(w.player.Cache());
  w.player.Cache() = {};
  w.FullRedraw();
  Pages p{w.views.Page(), w.views.Overview()};
  w.player.Cache() = std::move(kept);
  return p;
}

void ExpectPages(const app::TZevo3Win& w, const Pages& p) {
  EXPECT_TRUE(w.views.Page().SamePixels(p.page)) << "at " << w.player.bar.position;
  EXPECT_TRUE(w.views.Overview().SamePixels(p.overview)) << "at " << w.player.bar.position;
}

TEST(Navigation, StepsBackFromKeptCopiesGiveTheSamePages) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 70; ++i) WriteStroke(t, i, i % 2 ? 0x0000FF : 0x00333333);
  w.GotoFirstExecute();
  w.GotoLastExecute();  // leaves a copy after 64 entries, close to the end
  EXPECT_EQ(w.player.Cache().Positions(), std::vector<int>{64});
  for (int p = 69; p >= 28; --p) {
    w.GotoPrevExecute();
    ASSERT_EQ(w.player.bar.position, p);
    if (p > 66 || (p > 30 && p < 62)) continue;
    const Pages shown{w.views.Page(), w.views.Overview()};
    ExpectPages(w, Uncached(w));
    // The check redrew the same pages.
    ExpectPages(w, shown);
  }
  EXPECT_EQ(w.player.Cache().Positions(), (std::vector<int>{32, 64}));
  // Jumps land on the same pages as a redraw from the first entry.
  for (const int p : {65, 3, 64, 33, 70, 32}) {
    w.GotoPointExecute(p);
    ExpectPosition(w, p);
    ExpectPages(w, Uncached(w));
  }
}

TEST(Navigation, AKeptCopyIsNotUsedOnceTheHistoryOrThePageChanged) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 40);
  w.GotoPrevExecute();
  ASSERT_EQ(w.player.Cache().Positions(), std::vector<int>{32});

  // Writing at the end leaves the copies before it in use.
  w.GotoLastExecute();
  WriteStroke(t, 41, 0x0000FF);
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));
  EXPECT_EQ(w.player.Cache().Positions(), std::vector<int>{32});

  // Other strokes written over the same positions.
  w.GotoPointExecute(20);
  for (int i = 20; i < 40; ++i) WriteStroke(t, 95 - i, 0x0000FF);
  ASSERT_EQ(w.Document().Count(), 40);
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));

  // Same entries, a grid under them.
  w.GotoLastExecute();
  w.GotoPrevExecute();
  w.sheet.GridPage().FillRect({0, 600, 1024, 602}, 0x00BDBDFF);
  w.sheet.grid_shown = true;
  w.GotoPrevExecute();
  EXPECT_EQ(w.views.Page().Pixel(1000, 601), 0x00BDBDFFu);
  ExpectPages(w, Uncached(w));
  // The grid pages rebuilt with other lines.
  const gfx::Bitmap24 before = w.views.Page();
  w.sheet.grid.left += 7;
  w.sheet.RebuildGridPages(w.views.Transform());
  w.GotoNextExecute();
  w.GotoPrevExecute();
  EXPECT_FALSE(w.views.Page().SamePixels(before));
  ExpectPages(w, Uncached(w));

  // Another zoom.
  w.views.SetTransform({2.0f, 100.0f, 50.0f});
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));
}

TEST(Navigation, CopiesSpreadOverALongHistoryWithinTheirBudget) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  LoadEntries(w, 2000, 4);
  w.GotoLastExecute();
  // Copies spread over the history, and one close to the end.
  EXPECT_EQ(w.player.Cache().Spacing(), 256);
  EXPECT_EQ(w.player.Cache().Positions(),
            (std::vector<int>{256, 512, 768, 1024, 1280, 1536, 1792, 1984}));
  EXPECT_LE(w.player.Cache().Bytes(), history::RedrawCache::kDefaultBudget);
  // A step back and a jump start from the nearest copy and give the redraw's pages.
  w.GotoPrevExecute();
  ExpectPages(w, Uncached(w));
  w.GotoPointExecute(1000);
  ExpectPages(w, Uncached(w));
}

TEST(Navigation, BackwardStepsShowExactlyTheEarlierEntries) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStroke(t, 0, 0x0000FF);
  const gfx::Bitmap24 one = w.views.Page();
  WriteStroke(t, 1, 0x00A8F9);
  const gfx::Bitmap24 two = w.views.Page();
  WriteStroke(t, 2, 0x333333);
  w.GotoPrevExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(two));
  w.GotoPointExecute(1);
  ExpectPosition(w, 1);
  EXPECT_TRUE(w.views.Page().SamePixels(one));
  w.GotoNextExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(two));
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
    EXPECT_FALSE(w.panels.PanelProgress.panel.visible);
    EXPECT_EQ(w.panels.PanelProgress.text, "");
    EXPECT_EQ(w.panels.PanelProgress.max, 0);
    return spy;
  };
  w.GotoPointExecute(3);
  ProgressSpy s = run([&] { w.GotoLastExecute(); });  // 37 entries from 3
  ExpectPosition(w, 40);
  EXPECT_TRUE(s.shown);
  EXPECT_EQ(s.max, 37);
  EXPECT_EQ(s.positions, (std::vector<int>{16, 32}));

  w.GotoPointExecute(30);
  s = run([&] { w.GotoLastExecute(); });  // 10 entries
  ExpectPosition(w, 40);
  EXPECT_FALSE(s.shown);

  w.GotoPointExecute(18);
  s = run([&] { w.GotoPrevExecute(); });  // redraws 17
  ExpectPosition(w, 17);
  EXPECT_TRUE(s.shown);
  EXPECT_EQ(s.max, 17);
  s = run([&] { w.GotoPrevExecute(); });  // redraws 16
  ExpectPosition(w, 16);
  EXPECT_FALSE(s.shown);

  // A full redraw is sized by the whole history.
  s = run([&] { w.FullRedraw(); });
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
  const gfx::Bitmap24 all = w.views.Page();
  EXPECT_FALSE(AllWhite(all));
  w.PlayPanelMouseDown(36 + 209, 25);  // 209 * 100 / 417 = 50
  ExpectPosition(w, 50);
  w.PlayPanelMouseDown(35, 25);   // left of the track
  w.PlayPanelMouseDown(200, 17);  // above it
  ExpectPosition(w, 50);
  w.PlayPanelMouseDown(36, 25);  // x = 36: the blank page
  ExpectPosition(w, 0);
  EXPECT_TRUE(AllWhite(w.views.Page()));
  w.PlayPanelMouseDown(453, 40);
  EXPECT_TRUE(w.views.Page().SamePixels(all));

  // A click that maps to the shown position changes nothing on the page.
  w.views.Page().SetPixel(1, 1, 0x123456);
  w.PlayPanelMouseDown(452, 25);  // 416 * 100 / 417 = 99
  ExpectPosition(w, 99);
  w.views.Page().SetPixel(2, 2, 0x123456);
  w.PlayPanelMouseDown(452, 25);
  EXPECT_EQ(w.views.Page().Pixel(2, 2), 0x123456u);
}

TEST(Navigation, BlankPageFollowsGridTraceAndBackground) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 2);
  w.sheet.PaperPage().Fill(0x00C0E0F0);
  w.sheet.PaperOverview().Fill(0x00C0E0F0);
  w.sheet.TracePage().Fill(0x00B0B0FF);
  w.sheet.TraceOverview().Fill(0x00B0B0FF);
  w.sheet.GridPage().FillRect({0, 300, 1024, 302}, 0x00BDBDFF);
  w.sheet.GridOverview().FillRect({0, 75, 256, 76}, 0x00BDBDFF);

  // A background without a picture is no background.
  w.sheet.background.mode = seals::kBackgroundTexture;
  w.GotoPrevExecute();
  EXPECT_EQ(w.views.Page().Pixel(1000, 700), gfx::kWhite);

  w.sheet.background.bitmap = std::make_unique<gfx::Bitmap24>(8, 8, 0x00C0E0F0);
  w.GotoFirstExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(w.sheet.PaperPage()));
  EXPECT_TRUE(w.views.Overview().SamePixels(w.sheet.PaperOverview()));

  w.sheet.trace_shown = true;
  w.GotoNextExecute();
  w.GotoPrevExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(w.sheet.TracePage()));

  // The grid wins; the stroke drawn again lies over it and the grid line stays elsewhere.
  w.sheet.grid_shown = true;
  w.GotoLastExecute();
  w.GotoPrevExecute();
  ExpectPosition(w, 1);
  EXPECT_EQ(w.views.Page().Pixel(1000, 301), 0x00BDBDFFu);
  EXPECT_EQ(w.views.Overview().Pixel(250, 75), 0x00BDBDFFu);
  EXPECT_NE(w.views.Page().Pixel(66, 62), 0x00BDBDFFu);
  EXPECT_EQ(w.views.Page().Pixel(10, 10), w.sheet.GridPage().Pixel(10, 10));
}

// Keeps what was written and where.
class WrittenText : public platform::TextPainter {
 public:
  void DrawText(gfx::Bitmap24& target, int x, int y, const std::string& text,
                const platform::TextStyle&) override {
    target.FillRect({x, y, x + 7 * int(text.size()), y + 12}, 0x00123456);
    written.push_back({x, y, text});
  }
  platform::TextSize MeasureText(const std::string& text, const platform::TextStyle&) override {
    return {7 * int(text.size()), 12};
  }
  struct Line {
    int x, y;
    std::string text;
  };
  std::vector<Line> written;
};

TEST(Navigation, TheTrackTellsThePositionAndTheCount) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  LoadEntries(w, 40);
  w.GotoPointExecute(12);
  WrittenText text;
  workspace::DrawPlayerIndicator(w.panels, w.player.bar, &text);
  ASSERT_EQ(text.written.size(), 1u);
  EXPECT_EQ(text.written[0].text, "12 / 40");
  // Centred over the track, above it, clear of the skin's labels at its two ends.
  const int width = 7 * 7;
  EXPECT_EQ(text.written[0].x, workspace::kTrackLeft + (workspace::kTrackWidth - width) / 2);
  EXPECT_LT(text.written[0].y + 12, workspace::kTrackTop);
  EXPECT_GE(text.written[0].y, 0);

  // A shorter count leaves nothing of the longer one.
  w.GotoPointExecute(3);
  workspace::DrawPlayerIndicator(w.panels, w.player.bar, &text);
  EXPECT_EQ(text.written.back().text, "3 / 40");
  const auto& c = w.panels.play_panel_canvas;
  const int left = text.written[0].x, right = left + width;
  const int short_right = text.written.back().x + 7 * 6;
  for (int x = left; x < right; ++x) {
    if (x >= text.written.back().x && x < short_right) continue;
    EXPECT_NE(c.Pixel(x, text.written[0].y + 5), 0x00123456u) << x;
  }
}

TEST(Navigation, PlayerIndicatorOnThePlayPanel) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  constexpr gfx::Color kFilled = 0x0000FF, kEmpty = 0x00FF00, kKnob = 0xFF0000;
  w.panels.skin.images[workspace::kSkinTrackFilled] = gfx::Bitmap24(3, 11, kFilled);
  w.panels.skin.images[workspace::kSkinTrackEmpty] = gfx::Bitmap24(3, 11, kEmpty);
  w.panels.skin.images[workspace::kSkinTrackKnob] = gfx::Bitmap24(2, 11, kKnob);
  const auto& c = w.panels.play_panel_canvas;
  auto at = [&](int x) { return c.Pixel(x, 26); };

  workspace::DrawPlayerIndicator(w.panels, w.player.bar);  // maximum 0
  EXPECT_EQ(at(36), kEmpty);
  EXPECT_EQ(at(452), kEmpty);
  EXPECT_NE(at(453), kEmpty);
  EXPECT_NE(c.Pixel(100, 20), kEmpty);
  EXPECT_EQ(c.Pixel(100, 21), kEmpty);
  EXPECT_EQ(c.Pixel(100, 31), kEmpty);
  EXPECT_NE(c.Pixel(100, 32), kEmpty);

  LoadEntries(w, 100);
  w.GotoPointExecute(50);  // f = 50 * 411 / 100 = 205
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
