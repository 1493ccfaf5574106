#include "workspace/skin_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace zevo::workspace {
namespace {

TEST(SkinLayout, RegionsAreNamedOnceAndDoNotOverlapOnTheirPanel) {
  std::set<std::string> names;
  for (const Region& a : kRegions) {
    EXPECT_TRUE(names.insert(std::string(a.name)).second) << a.name;
    EXPECT_FALSE(a.rect.Empty()) << a.name;
    EXPECT_EQ(RegionNamed(a.name), &a);
    for (const Region& b : kRegions) {
      if (&a != &b && a.panel == b.panel) {
        EXPECT_TRUE(a.rect.Intersected(b.rect).Empty()) << a.name << " overlaps " << b.name;
      }
    }
  }
  EXPECT_EQ(RegionNamed("NoSuchRegion"), nullptr);
}

// The panel's size on a 1024 x 768 screen, the zoom panel open.
gfx::Rect PanelArea(Panel panel) {
  switch (panel) {
    case Panel::kControl:
      return {0, 0, kControlPanelWidth, kControlPanelHeight};
    case Panel::kPlay:
      return {0, 0, 1024, kPlayPanelHeight};
    case Panel::kZoom:
      return {0, 0, kZoomPanelWidth, kZoomPanelHeight};
    case Panel::kGrid:
      return {0, 0, kGridPanelWidth, kGridPanelHeight};
  }
  return {};
}

TEST(SkinLayout, EveryPointOfARegionFindsIt) {
  for (const Region& r : kRegions) {
    const gfx::Rect area = PanelArea(r.panel);
    const int right = std::min(r.rect.right, area.right),
              bottom = std::min(r.rect.bottom, area.bottom);
    ASSERT_LT(r.rect.left, right) << r.name;
    ASSERT_LT(r.rect.top, bottom) << r.name;
    EXPECT_EQ(RegionAt(r.panel, r.rect.left, r.rect.top), &r) << r.name;
    EXPECT_EQ(RegionAt(r.panel, right - 1, bottom - 1), &r) << r.name;
  }
  EXPECT_EQ(RegionAt(Panel::kControl, 676, 50), nullptr);
  EXPECT_EQ(RegionAt(Panel::kControl, 500, 88), nullptr);
  EXPECT_EQ(RegionAt(Panel::kPlay, 460, 30), nullptr);
  // Between the zoom panel's title and its buttons lies the overview; the grid panel's buttons
  // have gaps between them.
  EXPECT_EQ(RegionAt(Panel::kZoom, 5, 100), nullptr);
  EXPECT_EQ(RegionAt(Panel::kZoom, 5, 192), nullptr);
  EXPECT_EQ(RegionAt(Panel::kGrid, 17, 210), nullptr);
  EXPECT_EQ(RegionAt(Panel::kGrid, 200, 210), nullptr);
  EXPECT_EQ(RegionAt(Panel::kGrid, 300, 197), nullptr);
}

}  // namespace
}  // namespace zevo::workspace
