#include <gtest/gtest.h>

#include "history/navigation.h"
#include "history/replay.h"
#include "ink/downsample.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/history/history_fixture.h"

namespace zevo::history {
namespace {

using test::TestWindow;
using namespace testing;

void SetRate(TestWindow& t, int rate) {
  settings::WriteSettingInt(*t.settings, settings::kReplayRate, rate);
}

// One ink entry of `samples` samples, shown by nothing yet.
void OneStroke(app::TZevo3Win& w, int samples) {
  LoadEntries(w, 1, samples);
}

// Ticks from the start of the replay until the stroke is done (its partial-stroke flag clear).
int TicksForStroke(TestWindow& t, int rate) {
  auto& w = *t.win;
  SetRate(t, rate);
  w.DataPlayExecute();
  int ticks = 0;
  do {
    w.Timer2Timer();
    ++ticks;
  } while ((w.player.PartialStroke() != nullptr) && ticks < 100);
  return ticks;
}

TEST(Replay, TicksPerStrokeFollowTheRate) {
  {
    TestWindow t;
    ASSERT_TRUE(t.win) << t.error;
    OneStroke(*t.win, 10);
    EXPECT_EQ(TicksForStroke(t, 3), 1 + 3 + 1);
    EXPECT_EQ(t.win->player.bar.position, 1);
    EXPECT_TRUE(t.win->player.replaying);
    t.win->Timer2Timer();  // the end of the history stops the replay
    EXPECT_FALSE(t.win->player.replaying);
    EXPECT_FALSE(t.win->timer2_enabled);
  }
  {
    TestWindow t;
    ASSERT_TRUE(t.win) << t.error;
    OneStroke(*t.win, 10);
    EXPECT_EQ(TicksForStroke(t, 10), 1 + 1 + 1);
  }
  {
    // Rate 0 stalls at the start of the stroke until the rate is raised.
    TestWindow t;
    ASSERT_TRUE(t.win) << t.error;
    OneStroke(*t.win, 4);
    SetRate(t, 0);
    t.win->DataPlayExecute();
    for (int i = 0; i < 5; ++i) t.win->Timer2Timer();
    EXPECT_TRUE((t.win->player.PartialStroke() != nullptr));
    ChangeReplayRate(t.win->player, +1);
    for (int i = 0; i < 4; ++i) t.win->Timer2Timer();
    EXPECT_FALSE((t.win->player.PartialStroke() != nullptr));
  }
}

TEST(Replay, AWholeReplayDrawsThePageAsWritten) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  for (int i = 0; i < 6; ++i) WriteStroke(t, i, i % 2 ? 0x0000FF : 0x00A8F9);
  const gfx::Bitmap24 page = w.views.Page(), overview = w.views.Overview();
  SetRate(t, 2);
  w.DataPlayExecute();  // at the end: from the blank page
  EXPECT_EQ(w.player.bar.position, 0);
  EXPECT_TRUE(AllWhite(w.views.Page()));
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  int ticks = 0;
  while (w.player.replaying && ticks < 1000) {
    w.Timer2Timer();
    ++ticks;
  }
  EXPECT_FALSE(w.player.replaying);
  EXPECT_EQ(w.player.bar.position, 6);
  EXPECT_EQ(w.Document().Position(), 6);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
  EXPECT_TRUE(w.views.Overview().SamePixels(overview));
  // Stopped with the control panel hidden: the pen writes again at once.
  EXPECT_TRUE(w.pen.enabled);
}

TEST(Replay, PlayInTheMiddleContinuesOnWhatIsShown) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  LoadEntries(w, 10);
  w.GotoPointExecute(5);
  const gfx::Bitmap24 five = w.views.Page();
  SetRate(t, 20);
  w.DataPlayExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(five));
  w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 6);
  EXPECT_NE(w.player.PartialStroke(), nullptr);
  EXPECT_EQ(w.player.PartialStroke(), w.Document().Entry(5));
}

TEST(Replay, EmptyHistoryStopsOnTheFirstTick) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.DataPlayExecute();
  EXPECT_TRUE(w.player.replaying);
  EXPECT_TRUE(w.timer2_enabled);
  EXPECT_TRUE(AllWhite(w.views.Page()));
  w.Timer2Timer();
  EXPECT_FALSE(w.player.replaying);
  EXPECT_FALSE(w.timer2_enabled);
  EXPECT_EQ(w.player.bar.position, 0);
}

TEST(Replay, StopAndPlayResumeTheStrokeWithoutCountingItTwice) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 2);
  const gfx::Bitmap24 page = w.views.Page();
  SetRate(t, 1);
  w.DataPlayExecute();
  w.Timer2Timer();  // begins stroke 1
  w.Timer2Timer();  // its second sample
  w.Timer2Timer();  // its third
  ASSERT_NE(w.player.PartialStroke(), nullptr);
  w.DataStopExecute();
  EXPECT_FALSE(w.timer2_enabled);
  EXPECT_NE(w.player.PartialStroke(), nullptr);
  EXPECT_EQ(w.player.bar.position, 1);
  w.DataPlayExecute();  // not at the end: goes on from here
  EXPECT_EQ(w.player.bar.position, 1);
  w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 1);
  EXPECT_NE(w.player.PartialStroke(), nullptr);
  while (w.player.replaying) w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 2);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
}

TEST(Replay, StoppingMidStrokeTakesTheBrushTipCircleAway) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 2);
  SetRate(t, 1);
  w.DataPlayExecute();
  for (int i = 0; i < 4; ++i) w.Timer2Timer();
  ASSERT_NE(w.player.PartialStroke(), nullptr);
  // The page at rest is the average of the work bitmap; the circle is not in the work bitmap.
  auto averaged = [&] {
    gfx::Bitmap24 page(w.views.Page().Width(), w.views.Page().Height());
    ink::Downsample4x4(w.views.ViewRenderer().Work(), page, 0, 0, page.Width(), page.Height());
    return page;
  };
  EXPECT_FALSE(w.views.Page().SamePixels(averaged()));
  w.DataStopExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(averaged()));
  // Stopping again, or after a step, changes nothing more.
  w.DataStopExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(averaged()));
}

TEST(Replay, NavigationDuringAHalfDrawnStroke) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 3);
  const gfx::Bitmap24 page = w.views.Page();
  w.GotoFirstExecute();
  w.GotoNextExecute();
  const gfx::Bitmap24 one = w.views.Page();
  w.GotoNextExecute();
  const gfx::Bitmap24 two = w.views.Page();
  w.GotoPrevExecute();
  SetRate(t, 1);
  w.DataPlayExecute();
  w.Timer2Timer();
  w.Timer2Timer();
  ASSERT_NE(w.player.PartialStroke(), nullptr);
  ASSERT_EQ(w.player.bar.position, 2);

  // GotoNext completes the stroke and keeps the position; replay goes on with entry 3.
  w.GotoNextExecute();
  EXPECT_EQ(w.player.PartialStroke(), nullptr);
  EXPECT_EQ(w.player.bar.position, 2);
  EXPECT_TRUE(w.views.Page().SamePixels(two));
  EXPECT_TRUE(w.player.replaying);
  w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 3);
  EXPECT_EQ(w.player.PartialStroke(), w.Document().Entry(2));

  // GotoPrev in the same state removes the stroke.
  w.Timer2Timer();
  ASSERT_NE(w.player.PartialStroke(), nullptr);
  w.GotoPrevExecute();
  EXPECT_EQ(w.player.PartialStroke(), nullptr);
  EXPECT_EQ(w.player.bar.position, 2);
  EXPECT_TRUE(w.views.Page().SamePixels(two));

  // GotoLast completes a half-drawn stroke too.
  w.GotoPrevExecute();
  EXPECT_TRUE(w.views.Page().SamePixels(one));
  w.Timer2Timer();
  w.Timer2Timer();
  ASSERT_NE(w.player.PartialStroke(), nullptr);
  w.GotoLastExecute();
  EXPECT_EQ(w.player.PartialStroke(), nullptr);
  EXPECT_EQ(w.player.bar.position, 3);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
}

TEST(Replay, RateHotKeysStayWithinTheirRange) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.DataPlayExecute();
  EXPECT_EQ(w.player.samples_per_tick, 3);   // nothing stored: the default
  for (int i = 0; i < 30; ++i) w.HotKey(7);  // Ctrl+Shift+F
  EXPECT_EQ(w.player.samples_per_tick, 20);
  w.DataStopExecute();
  EXPECT_EQ(w.player.samples_per_tick, 3);   // the stored rate again
  for (int i = 0; i < 30; ++i) w.HotKey(6);  // Ctrl+Shift+B
  EXPECT_EQ(w.player.samples_per_tick, 0);
  SetRate(t, 6);
  w.DataPlayExecute();
  EXPECT_EQ(w.player.samples_per_tick, 6);
  SetRate(t, -4);  // a damaged value stalls rather than runs backwards
  w.DataStopExecute();
  EXPECT_EQ(w.player.samples_per_tick, 0);
}

TEST(Replay, StampAndFillEntriesAppearOnOneTick) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  w.Document().AddStampEntry(std::make_unique<gfx::Bitmap24>(20, 20, 0x0000C0), 100, 100, 40, 40);
  w.Document().AddFill(0x00FF0000, 500, 500);
  w.player.bar.max = 2;
  w.GotoLastExecute();
  const gfx::Bitmap24 page = w.views.Page();
  EXPECT_EQ(page.Pixel(120, 120), 0x0000C0u);
  EXPECT_EQ(page.Pixel(900, 10), 0x00FF0000u);  // the fill took the whole white page

  w.DataPlayExecute();
  w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 1);
  EXPECT_EQ(w.views.Page().Pixel(120, 120), 0x0000C0u);
  EXPECT_EQ(w.views.Page().Pixel(900, 10), gfx::kWhite);
  EXPECT_TRUE(w.views.TakePending());
  w.Timer2Timer();
  EXPECT_EQ(w.player.bar.position, 2);
  EXPECT_TRUE(w.views.Page().SamePixels(page));
}

TEST(Replay, StopWithTheControlPanelShownLeavesThePenOff) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  WriteStrokes(t, 1);
  w.DataPlayExecute();
  w.ShowControlExecute();  // while replaying
  EXPECT_TRUE(w.panels.ControlPanel.visible);
  w.pen.enabled = false;
  w.DataStopExecute();
  EXPECT_FALSE(w.pen.enabled);
}

}  // namespace
}  // namespace zevo::history
