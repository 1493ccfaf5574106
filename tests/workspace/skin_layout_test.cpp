#include "workspace/skin_layout.h"

#include <gtest/gtest.h>

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

TEST(SkinLayout, EveryPointOfARegionFindsIt) {
  for (const Region& r : kRegions) {
    const int right = std::min(r.rect.right, 1024), bottom = std::min(r.rect.bottom, 130);
    EXPECT_EQ(RegionAt(r.panel, r.rect.left, r.rect.top), &r) << r.name;
    EXPECT_EQ(RegionAt(r.panel, right - 1, bottom - 1), &r) << r.name;
  }
  EXPECT_EQ(RegionAt(Panel::kControl, 676, 50), nullptr);
  EXPECT_EQ(RegionAt(Panel::kControl, 500, 88), nullptr);
  EXPECT_EQ(RegionAt(Panel::kPlay, 460, 30), nullptr);
}

// The regions whose work is still to come: a click on them does nothing yet.
TEST(SkinLayout, CommandsStillToCome) {
  std::set<std::string> waiting;
  for (const Region& r : kRegions)
    if (IsCommandToCome(r.command)) waiting.insert(std::string(r.name));
  EXPECT_EQ(waiting, (std::set<std::string>{"TraceToggle", "OpenTrace", "GridToggle", "GridPanel",
                                            "AddStamp", "CaptureStamp", "Options", "DataSave",
                                            "DataOpen", "PrintPic", "SavePic"}));
  EXPECT_FALSE(IsCommandToCome(Command::kGotoFirst));
  EXPECT_FALSE(IsCommandToCome(Command::kClear));
  EXPECT_FALSE(IsCommandToCome(Command::kNewPaper));
}

}  // namespace
}  // namespace zevo::workspace
