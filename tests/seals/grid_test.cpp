#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "gfx/bitmap24.h"
#include "seals/grid_layout.h"
#include "seals/grid_pages.h"

namespace zevo::seals {
namespace {

using gfx::Bitmap24;

TEST(GridPresets, TableIsExactlyTheLatticesOffered) {
  // p: cell, columns, rows, left, top
  const GridPreset expected[kGridPresetCount] = {
      {500, 2, 1, 11, 109}, {333, 3, 2, 11, 26},  {250, 4, 2, 11, 109}, {200, 5, 3, 11, 59},
      {166, 6, 4, 13, 27},  {142, 7, 4, 14, 75},  {125, 8, 5, 11, 46},  {111, 9, 6, 11, 26},
      {100, 10, 7, 11, 9},  {90, 11, 7, 16, 44},  {83, 12, 8, 13, 27},  {76, 13, 9, 17, 17},
      {71, 14, 9, 14, 39},  {66, 15, 10, 16, 29}, {62, 16, 11, 15, 18}, {58, 17, 12, 18, 11},
      {55, 18, 12, 16, 29}, {52, 19, 13, 17, 21}, {50, 20, 14, 11, 9},  {47, 21, 14, 17, 30},
  };
  for (int p = 0; p < kGridPresetCount; ++p) EXPECT_EQ(kGridPresets[p], expected[p]) << "p " << p;
  // The initial layout is preset 2 with both line sets.
  EXPECT_EQ(GridLayout{}, LayoutFromPreset(kGridPresets[kInitialGridPreset], true, true));
}

TEST(GridPresets, LinesOffKeepOneCellAcrossAndLookupByCell) {
  const GridLayout g = LayoutFromPreset(kGridPresets[8], true, false);
  EXPECT_EQ(g, (GridLayout{100, 700, 11, 9, 10, 1}));
  const GridLayout v = LayoutFromPreset(kGridPresets[8], false, true);
  EXPECT_EQ(v, (GridLayout{1000, 100, 11, 9, 1, 7}));
  EXPECT_EQ(FindGridPresetByCell(100), 8);
  EXPECT_EQ(FindGridPresetByCell(700), -1);
  EXPECT_EQ(FindGridPresetByCell(47), 19);
  EXPECT_EQ(VerticalGridLine(GridLayout{}, 4), (GridLine{1011, 109, 1011, 609}));
  EXPECT_EQ(HorizontalGridLine(GridLayout{}, 1), (GridLine{11, 359, 1011, 359}));
}

TEST(GridPages, UnzoomedPageAndQuarterScaleOverview) {
  const Bitmap24 page(1024, 718, gfx::kWhite), overview(256, 180, gfx::kWhite);
  Bitmap24 grid_page, grid_overview;
  BuildGridPages(page, overview, GridLayout{}, {}, grid_page, grid_overview);
  ASSERT_EQ(grid_page.Width(), 1024);
  ASSERT_EQ(grid_overview.Height(), 180);
  // Vertical lines at x = 11, 261, ..., 1011 from y 109 up to (not including) 609.
  EXPECT_EQ(grid_page.Pixel(11, 109), kGridColor);
  EXPECT_EQ(grid_page.Pixel(261, 300), kGridColor);
  EXPECT_EQ(grid_page.Pixel(1011, 608), kGridColor);
  EXPECT_EQ(grid_page.Pixel(262, 300), gfx::kWhite);
  EXPECT_EQ(grid_page.Pixel(261, 108), gfx::kWhite);
  // Horizontal lines at y = 109, 359, 609 from x 11 to 1010.
  EXPECT_EQ(grid_page.Pixel(500, 359), kGridColor);
  EXPECT_EQ(grid_page.Pixel(1010, 609), kGridColor);
  EXPECT_EQ(grid_page.Pixel(500, 360), gfx::kWhite);
  // Overview: (11 >> 2, 109 >> 2) = (2, 27), vertical down to 609 >> 2 = 152.
  EXPECT_EQ(grid_overview.Pixel(2, 27), kGridOverviewColor);
  EXPECT_EQ(grid_overview.Pixel(65, 100), kGridOverviewColor);  // (11 + 250) >> 2
  EXPECT_EQ(grid_overview.Pixel(100, 89), kGridOverviewColor);  // 359 >> 2
  EXPECT_EQ(grid_overview.Pixel(3, 100), gfx::kWhite);
  // The blank pages are copied, not drawn on.
  EXPECT_EQ(page.Pixel(11, 109), gfx::kWhite);
}

TEST(GridPages, ZoomedPageFollowsTheViewOrigin) {
  const Bitmap24 page(1024, 718, 0x00102030), overview(256, 180, 0x00102030);
  Bitmap24 grid_page(1024, 718), grid_overview(256, 180);
  // At 200 % from paper (200, 100): line x = 261 lands at (261 - 200) * 2 = 122.
  BuildGridPages(page, overview, GridLayout{}, {2.0f, 200.0f, 100.0f}, grid_page, grid_overview);
  EXPECT_EQ(grid_page.Pixel(122, 100), kGridColor);
  EXPECT_EQ(grid_page.Pixel(123, 100), 0x00102030u);
  // Horizontal y = 109 lands at 18, from x = (11 - 200) * 2 (off the page) on.
  EXPECT_EQ(grid_page.Pixel(0, 18), kGridColor);
  EXPECT_EQ(grid_page.Pixel(0, 19), 0x00102030u);
  // Row 359 lands at 518.
  EXPECT_EQ(grid_page.Pixel(5, 518), kGridColor);
}

TEST(GridPages, LayoutsFromDamagedFilesDrawQuickly) {
  const Bitmap24 page(1024, 718, gfx::kWhite), overview(256, 180, gfx::kWhite);
  Bitmap24 grid_page, grid_overview;
  const auto start = std::chrono::steady_clock::now();
  BuildGridPages(page, overview, GridLayout{65535, 65535, 65535, 65535, 65535, 65535},
                 {8.0f, 900.0f, 600.0f}, grid_page, grid_overview);
  BuildGridPages(page, overview, GridLayout{0, 0, -5, -5, -3, -3}, {}, grid_page, grid_overview);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// A file may record 65535 columns and rows of one pixel: the lines beyond the page are left
// out, so the pages are those of a grid that just covers the view (bench_paper measures that
// they take about as long).
TEST(GridPages, OnePixelCellsFarBeyondThePage) {
  const Bitmap24 page(1024, 718, 0x00102030), overview(256, 180, 0x00102030);
  const GridLayout file_grid{1, 1, 0, 0, 65535, 65535};
  const GridLayout covering{1, 1, 0, 0, 2000, 1500};
  for (const PageView view : {PageView{1.0f, 0.0f, 0.0f}, PageView{2.0f, 300.0f, 200.0f},
                              PageView{8.0f, 1000.0f, 700.0f}}) {
    SCOPED_TRACE(view.z);
    Bitmap24 file_page, file_overview, page_expected, overview_expected;
    BuildGridPages(page, overview, covering, view, page_expected, overview_expected);
    BuildGridPages(page, overview, file_grid, view, file_page, file_overview);
    ASSERT_EQ(file_page.Width(), 1024);
    EXPECT_EQ(std::memcmp(file_page.Data(), page_expected.Data(), file_page.ByteSize()), 0);
    EXPECT_EQ(std::memcmp(file_overview.Data(), overview_expected.Data(), file_overview.ByteSize()),
              0);
    // The view's origin lies on a line.
    EXPECT_EQ(file_page.Pixel(0, 5), kGridColor);
  }
}

}  // namespace
}  // namespace zevo::seals
