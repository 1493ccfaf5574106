#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "tests/support/test_window.h"

namespace zevo::input {
namespace {

using test::TestWindow;

int InkPixels(const gfx::Bitmap24& bm, gfx::Rect r) {
  int n = 0;
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, bm.Height()); ++y)
    for (int x = std::max(r.left, 0); x < std::min(r.right, bm.Width()); ++x)
      n += bm.Pixel(x, y) != gfx::kWhite;
  return n;
}

TEST(PenInput, AStrokeIsDrawnOnBothViewsAndRecordedInPaperPixels) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  t.Stroke({{100, 100}, {110, 100}, {120, 102}, {130, 105}}, 1023);
  ASSERT_EQ(w.Document().Count(), 1);
  const ink::Stroke* s = w.Document().Current();
  ASSERT_EQ(s->SampleCount(), 5);
  EXPECT_EQ(s->samples[0], (ink::StrokeSample{100, 100, 10}));
  EXPECT_FLOAT_EQ(s->samples[1].x, 110);
  EXPECT_EQ(s->samples.back().radius, 0);
  // Rising or steady pressure and full pressure: the radius is the brush size.
  EXPECT_FLOAT_EQ(s->samples[2].radius, 10);
  EXPECT_GT(InkPixels(w.views.Page(), {90, 90, 145, 115}), 300);
  EXPECT_GT(InkPixels(w.views.Overview(), {22, 22, 36, 30}), 10);
  EXPECT_EQ(w.player.bar.max, 1);
  EXPECT_EQ(w.player.bar.position, 1);
  EXPECT_EQ(w.player.bar.sel_end, 1);
  // The packets asked for their new pixels at once: the refresh timer has nothing left to show.
  w.TakeDirty();
  EXPECT_FALSE(w.TakeDirtyRects().empty());
  w.Timer1Timer();
  EXPECT_FALSE(w.TakeDirty() & workspace::kDirtyImgA);
}

// Whether every pixel that differs between the two bitmaps lies, moved by (dx, dy), in one of
// the rectangles.
bool ChangesCovered(const gfx::Bitmap24& before, const gfx::Bitmap24& after, int dx, int dy,
                    const std::vector<gfx::Rect>& rects) {
  for (int y = 0; y < after.Height(); ++y)
    for (int x = 0; x < after.Width(); ++x) {
      if (before.Pixel(x, y) == after.Pixel(x, y)) continue;
      if (std::none_of(rects.begin(), rects.end(),
                       [&](const gfx::Rect& r) { return r.Contains(x + dx, y + dy); }))
        return false;
    }
  return true;
}

TEST(PenInput, EachPacketAsksForItsNewInkToBeShownAtOnce) {
  for (const bool contour : {true, false}) {
    SCOPED_TRACE(contour ? "with the brush tip's outline" : "without the outline");
    TestWindow t;
    ASSERT_TRUE(t.win) << t.error;
    auto& w = *t.win;
    w.app_settings.contour = contour;
    // The zoom panel shown over the page: its overview follows the pen too.
    w.panels.ZoomPanel.visible = true;
    const workspace::Panels& p = w.panels;
    const int page_dx = p.TabletPanel.left + p.ImgA.left, page_dy = p.TabletPanel.top + p.ImgA.top;
    const int over_dx = p.ZoomPanel.left + p.ImgZoom.left,
              over_dy = p.ZoomPanel.top + p.ImgZoom.top;
    w.TakeDirty();
    w.TakeDirtyRects();

    // The pen-down draws nothing on the page yet.
    t.Packet(300, 200, 900);
    EXPECT_TRUE(w.TakeDirtyRects().empty());
    const std::vector<std::pair<double, double>> path = {{306, 203}, {315, 210}, {330, 212},
                                                         {352, 208}, {360, 240}, {361, 241}};
    for (std::size_t i = 0; i <= path.size(); ++i) {
      SCOPED_TRACE(i);
      const gfx::Bitmap24 page = w.views.Page(), overview = w.views.Overview();
      const bool lift = i == path.size();
      if (lift)
        t.Packet(path.back().first, path.back().second, 0);
      else
        t.Packet(path[i].first, path[i].second, 900);
      const std::vector<gfx::Rect> rects = w.TakeDirtyRects();
      ASSERT_FALSE(rects.empty());
      if (!lift) {
        EXPECT_FALSE(page.SamePixels(w.views.Page()));
      }
      EXPECT_TRUE(ChangesCovered(page, w.views.Page(), page_dx, page_dy, rects));
      EXPECT_TRUE(ChangesCovered(overview, w.views.Overview(), over_dx, over_dy, rects));
      // A few brush widths, not the page.
      int area = 0;
      for (const gfx::Rect& r : rects) {
        area += r.Width() * r.Height();
        EXPECT_TRUE(p.TabletPanel.Bounds().Intersected(r) == r ||
                    p.ZoomPanel.Bounds().Intersected(r) == r);
      }
      EXPECT_LT(area, 80 * 80);
      EXPECT_FALSE(w.TakeDirty() & (workspace::kDirtyImgA | workspace::kDirtyImgZoom));
    }
    // Hidden, the overview asks for nothing.
    w.panels.ZoomPanel.visible = false;
    t.Packet(500, 300, 900);
    t.Packet(520, 300, 900);
    const std::vector<gfx::Rect> rects = w.TakeDirtyRects();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(p.TabletPanel.Bounds().Contains(rects[0].left, rects[0].top));
    EXPECT_TRUE(rects[0].Contains(510, 300));
  }
}

TEST(PenInput, PenDownNeedsContactInsideTheWritingArea) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  auto& w = *t.win;
  t.Packet(500, 740, 800);  // over the play panel
  t.Packet(510, 740, 800);
  EXPECT_EQ(w.Document().Count(), 0);
  t.Packet(510, 740, 0);
  t.Packet(500, 300, 0);  // no contact
  EXPECT_EQ(w.Document().Count(), 0);
  // Once begun, a stroke may leave the area.
  t.Stroke({{500, 700}, {500, 716}, {500, 740}, {500, 760}});
  ASSERT_EQ(w.Document().Count(), 1);
  EXPECT_EQ(w.Document().Current()->SampleCount(), 5);
}

TEST(PenInput, TapGivesTwoSamplesAtOnePoint) {
  TestWindow t;
  ASSERT_TRUE(t.win) << t.error;
  t.Packet(200, 200, 600);
  t.Packet(260, 230, 0);  // lifted elsewhere: the normal tablet extrapolates from the last contact
  const auto& s = t.win->Document().Current()->samples;
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[1].x, 200);
  EXPECT_EQ(s[1].y, 200);
  EXPECT_EQ(s[1].radius, 0);
}

TEST(PenInput, TheTailRunsOnByTheRemainingPressure) {
  auto tail = [](std::uint32_t p_before, std::uint32_t p_last) {
    TestWindow t;
    t.Packet(100, 100, 1023);
    t.Packet(110, 100, p_before);
    t.Packet(120, 100, p_last);
    t.Packet(400, 400, 0);
    return t.win->Document().Current()->samples.back();
  };
  // 0.3 → 0.2: k = 2, twice the last step; 0.3 → 0.1: k = 0.5.
  const ink::StrokeSample a = tail(307, 205);
  EXPECT_NEAR(a.x, 140, 0.2);
  EXPECT_EQ(a.radius, 0);
  const ink::StrokeSample b = tail(307, 103);
  EXPECT_NEAR(b.x, 125, 0.2);
  // Rising pressure: one more step.
  const ink::StrokeSample c = tail(500, 600);
  EXPECT_NEAR(c.x, 130, 0.01);
}

TEST(PenInput, FallingPressureInPlaceGivesNoSamples) {
  TestWindow t;
  t.Packet(300, 300, 900);
  t.Packet(300.2, 300.1, 800);
  t.Packet(300.1, 300.3, 700);  // ignored packets do not move the reference point
  EXPECT_EQ(t.win->Document().Current()->SampleCount(), 1);
  t.Packet(300.3, 300.2, 600);  // half a pixel away: a sample
  EXPECT_EQ(t.win->Document().Current()->SampleCount(), 2);
  t.Packet(300.3, 300.2, 750);  // rising passes whatever the movement
  EXPECT_EQ(t.win->Document().Current()->SampleCount(), 3);
}

TEST(PenInput, ZoomedViewRecordsPaperCoordinates) {
  TestWindow t;
  auto& w = *t.win;
  w.views.SetTransform({2.0f, 256, 180});
  w.pen.brush_size = 8;
  t.Packet(100, 50, 1023);
  const ink::StrokeSample s = w.Document().Current()->samples[0];
  EXPECT_EQ(s, (ink::StrokeSample{306, 205, 4}));
}

TEST(PenInput, FillToolRecordsOneFillAndFillsTheArea) {
  TestWindow t;
  auto& w = *t.win;
  // A closed ring first.
  std::vector<std::pair<double, double>> ring;
  for (int i = 0; i <= 64; ++i)
    ring.push_back({300 + 60 * std::cos(i * 0.1), 300 + 60 * std::sin(i * 0.1)});
  t.Stroke(ring, 1023);
  w.Button1Click();
  EXPECT_EQ(w.pen.tool_mode, 1);
  EXPECT_EQ(w.panels.button1_caption, "填");
  w.pen.ink_color = 0x000000FF;
  t.Stroke({{300, 300}, {301, 300}, {302, 300}}, 800);
  ASSERT_EQ(w.Document().Count(), 2);
  const ink::Stroke* fill = w.Document().Current();
  EXPECT_EQ(fill->kind, ink::StrokeKind::Fill);
  EXPECT_EQ(fill->value, 0x000000FFu);
  EXPECT_EQ(w.views.Page().Pixel(300, 300), 0x000000FFu);
  EXPECT_EQ(w.views.Page().Pixel(600, 600), gfx::kWhite);
  EXPECT_EQ(w.views.Overview().Pixel(75, 75), 0x000000FFu);
  EXPECT_EQ(w.player.bar.position, 2);
}

TEST(PenInput, ViewOnlyHistoryTakesNoInkUntilPositionZero) {
  for (bool reversed : {false, true}) {
    TestWindow t({.int_settings = {{settings::kTabletReverse, reversed ? 1 : 0}}});
    ASSERT_TRUE(t.win) << t.error;
    auto& w = *t.win;
    ASSERT_EQ(w.pen.tablet.reversed, reversed);
    auto at = [&](double x, double y) {
      // On the mirrored tablet the pen touches the opposite place of the pad.
      return reversed ? std::pair{1024 - x, 768 - y} : std::pair{x, y};
    };
    for (int i = 0; i < 5; ++i) t.Stroke({at(100 + 20 * i, 100), at(100 + 20 * i, 140)});
    ASSERT_EQ(w.Document().Count(), 5) << reversed;
    w.player.view_only = true;
    t.Stroke({at(500, 500), at(520, 500)});
    EXPECT_EQ(w.Document().Count(), 5) << "reversed " << reversed;
    w.GotoFirstExecute();
    ASSERT_EQ(w.player.bar.position, 0);
    t.Stroke({at(500, 500), at(520, 500)});
    EXPECT_FALSE(w.player.view_only);
    EXPECT_EQ(w.Document().Count(), 1);
  }
}

TEST(PenInput, ReversedTabletEndsWhereThePenLifts) {
  TestWindow t({.int_settings = {{settings::kTabletReverse, 1}}});
  ASSERT_TRUE(t.win) << t.error;
  // Screen positions on the pad: the mirrored mapping gives 1024 - x, 768 - y on the page.
  t.Packet(1024 - 100, 768 - 100, 1023);
  t.Packet(1024 - 110, 768 - 100, 1023);
  t.Packet(1024 - 200, 768 - 150, 0);
  const auto& s = t.win->Document().Current()->samples;
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].x, 100);
  EXPECT_EQ(s[0].y, 100);
  EXPECT_EQ(s[2].x, 200);
  EXPECT_EQ(s[2].y, 150);
}

TEST(PenInput, CenterCheckCalibratesAndClearRestartsIt) {
  TestWindow t;
  auto& w = *t.win;
  t.Stroke({{100, 100}, {150, 100}});
  w.WriteCenterCheckExecute();
  EXPECT_TRUE(w.pen.tablet.calibrating);
  EXPECT_FALSE(w.panels.ImgA.visible);
  EXPECT_TRUE(w.panels.ImgTmp.visible);
  EXPECT_EQ(w.panels.ImgTmp.left, 1024 / 2 - 128);
  EXPECT_EQ(w.panels.ImgTmp.top, 718 / 2 - 128);
  // Packets while calibrating only store their position.
  t.Packet(520, 350, 800);
  t.Packet(520, 350, 0);
  EXPECT_EQ(w.Document().Count(), 1);
  w.WriteClearExecute();  // restarts the calibration, keeps the history
  EXPECT_TRUE(w.pen.tablet.calibrating);
  EXPECT_EQ(w.Document().Count(), 1);
  w.ImgTmpClick();
  EXPECT_FALSE(w.pen.tablet.calibrating);
  EXPECT_TRUE(w.panels.ImgA.visible);
  EXPECT_FALSE(w.panels.ImgTmp.visible);
  // The tap landed 8 px right of and 9 px above the centre (512, 359) of the area.
  EXPECT_EQ(w.pen.tablet.offset_x, -8 * 1024);
  EXPECT_EQ(w.pen.tablet.offset_y, -9 * 1024);
  EXPECT_EQ(settings::ReadSettingInt(*t.settings, settings::kTabletOffsetX, 0), -8 * 1024 * 1024);
  EXPECT_EQ(settings::ReadSettingInt(*t.settings, settings::kTabletOffsetY, 0), -9 * 1024 * 1024);
  // From now on a tap at the same place writes at the centre.
  t.Stroke({{520, 350}});
  ASSERT_EQ(w.Document().Count(), 2);
  EXPECT_EQ(w.Document().Current()->samples[0].x, 512);
  EXPECT_EQ(w.Document().Current()->samples[0].y, 359);
  // A click on the target while not calibrating does nothing.
  w.ImgTmpClick();
  EXPECT_EQ(w.pen.tablet.offset_x, -8 * 1024);
}

TEST(PenInput, ClearEmptiesThePageAndTheHistory) {
  TestWindow t;
  auto& w = *t.win;
  t.Stroke({{100, 100}, {200, 100}});
  t.Stroke({{100, 200}, {200, 200}});
  w.WriteClearExecute();
  EXPECT_EQ(w.Document().Count(), 0);
  EXPECT_EQ(w.player.bar.max, 0);
  EXPECT_EQ(w.player.bar.position, 0);
  EXPECT_EQ(InkPixels(w.views.Page(), {0, 0, 1024, 718}), 0);
  EXPECT_EQ(InkPixels(w.views.Overview(), {0, 0, 256, 180}), 0);
}

TEST(PenInput, PenInputFollowsTheMouseAndTheHotKeys) {
  TestWindow t;
  auto& w = *t.win;
  w.pen.enabled = false;
  w.panels.ControlPanel.visible = true;
  w.ImgAMouseMove(300, 500);  // still down by the panels
  EXPECT_FALSE(w.pen.enabled);
  w.ImgAMouseMove(300, 399);
  EXPECT_TRUE(w.pen.enabled);
  EXPECT_FALSE(w.panels.ControlPanel.visible);
  t.Stroke({{100, 100}, {200, 100}});  // written while enabled
  EXPECT_EQ(w.Document().Count(), 1);
  w.pen.enabled = false;
  t.Stroke({{100, 200}, {200, 200}});
  EXPECT_EQ(w.Document().Count(), 1);
  for (int i = 0; i < 30; ++i) w.HotKey(7);
  EXPECT_EQ(w.player.samples_per_tick, 20);
  for (int i = 0; i < 30; ++i) w.HotKey(6);
  EXPECT_EQ(w.player.samples_per_tick, 0);
}

}  // namespace
}  // namespace zevo::input
