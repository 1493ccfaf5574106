#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_window.h"

namespace zevo::app {
namespace {

using Path = std::vector<std::pair<double, double>>;

// A stroke across the middle of the screen, its packets far enough apart to be samples each.
const Path kScreenPath = {{300.25, 200.5}, {340.75, 230.25}, {390.5, 250.0}, {430.0, 300.75},
                          {470.5, 310.0},  {520.0, 340.5},   {560.25, 330.0}};

int DifferentPixels(const gfx::Bitmap24& a, const gfx::Bitmap24& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

// Opens the control panel, picks a zoom and brings the pen back over the page.
void ZoomTo(test::TestWindow& t, const char* choice) {
  t.Click("ShowControl");
  t.Click(choice);
  t.win->ImgAMouseMove(500, 300);
  ASSERT_TRUE(t.win->pen.enabled);
}

TEST(ZoomWriting, ThePenRecordsPaperCoordinatesAndDrawsAtViewScale) {
  const char* choices[] = {"Zoom200", "Zoom400", "Zoom800"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(choices[i]);
    test::TestWindow t;
    ASSERT_TRUE(t.win) << t.error;
    auto& w = *t.win;
    ZoomTo(t, choices[i]);
    const ink::PageView v = w.views.Transform();
    ASSERT_EQ(v.z, float(2 << i));
    ASSERT_NE(v.ox, 0.0f);
    // The brush grows with the zoom, so that on paper it is the same brush.
    w.pen.brush_size *= v.z;
    t.Stroke(kScreenPath);

    // The same path written at 100 % where it lies on the paper.
    test::TestWindow flat;
    ASSERT_TRUE(flat.win) << flat.error;
    Path on_paper;
    for (const auto& [x, y] : kScreenPath) on_paper.push_back({x / v.z + v.ox, y / v.z + v.oy});
    flat.Stroke(on_paper);

    ASSERT_EQ(w.Document().Count(), 1);
    ASSERT_EQ(flat.win->Document().Count(), 1);
    const auto& zs = w.Document().Entry(0)->samples;
    const auto& fs = flat.win->Document().Entry(0)->samples;
    ASSERT_EQ(zs.size(), fs.size());
    for (std::size_t k = 0; k < zs.size(); ++k) {
      EXPECT_NEAR(zs[k].x, fs[k].x, 1e-3) << k;
      EXPECT_NEAR(zs[k].y, fs[k].y, 1e-3) << k;
      EXPECT_NEAR(zs[k].radius, fs[k].radius, 1e-3) << k;
    }
    // The overview shows the same ink; the page shows it at the zoom.
    EXPECT_EQ(DifferentPixels(w.views.Overview(), flat.win->views.Overview()), 0);
    EXPECT_NE(w.views.Page().Pixel(390, 250), gfx::kWhite);
    EXPECT_NE(flat.win->views.Page().Pixel(int(390.5 / v.z + v.ox), int(250 / v.z + v.oy)),
              gfx::kWhite);

    // A fill at the zoom records its paper point and floods the view around the view point.
    const gfx::Bitmap24 stroke_page = w.views.Page();
    const gfx::Bitmap24 stroke_overview = w.views.Overview();
    w.Button1Click();
    w.pen.ink_color = 0x000000FF;
    t.Stroke({{100.5, 600.25}});
    ASSERT_EQ(w.Document().Count(), 2);
    const ink::Stroke& fill = *w.Document().Entry(1);
    ASSERT_EQ(fill.kind, ink::StrokeKind::Fill);
    EXPECT_NEAR(fill.x, 100.5 / v.z + v.ox, 1e-3);
    EXPECT_NEAR(fill.y, 600.25 / v.z + v.oy, 1e-3);
    EXPECT_EQ(w.views.Page().Pixel(100, 600), gfx::Color(0x000000FF));
    EXPECT_EQ(w.views.Overview().Pixel(int(fill.x / 4), int(fill.y / 4)), gfx::Color(0x000000FF));
    const gfx::Bitmap24 filled_page = w.views.Page();
    const gfx::Bitmap24 filled_overview = w.views.Overview();

    // Stepping draws the recorded entries again at the zoom: the same picture.
    t.Click("Prev");
    EXPECT_EQ(DifferentPixels(w.views.Overview(), stroke_overview), 0);
    EXPECT_EQ(DifferentPixels(w.views.Page(), stroke_page), 0);
    t.Click("Next");
    EXPECT_EQ(DifferentPixels(w.views.Overview(), filled_overview), 0);
    EXPECT_EQ(DifferentPixels(w.views.Page(), filled_page), 0);

    // So does replaying.
    t.Click("Play");
    for (int tick = 0; tick < 1000 && w.player.replaying; ++tick) w.Timer2Timer();
    ASSERT_FALSE(w.player.replaying);
    EXPECT_EQ(DifferentPixels(w.views.Overview(), filled_overview), 0);
    EXPECT_EQ(DifferentPixels(w.views.Page(), filled_page), 0);
    EXPECT_EQ(w.Document().Count(), 2);
  }
}

}  // namespace
}  // namespace zevo::app
