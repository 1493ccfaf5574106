#include <gtest/gtest.h>

#include "workspace/dirty_area.h"

namespace zevo::workspace {
namespace {

bool Covers(const std::vector<gfx::Rect>& rects, const gfx::Rect& r) {
  for (const gfx::Rect& c : rects)
    if (c.Intersected(r) == r) return true;
  return false;
}

TEST(DirtyArea, GathersRectanglesUntilTakenMergingThoseThatMeet) {
  DirtyArea a;
  a.Add({});
  EXPECT_TRUE(a.Empty());
  // A stroke's boxes overlap one another: one rectangle.
  a.Add({10, 10, 30, 30});
  a.Add({25, 12, 45, 32});
  a.Add({45, 20, 50, 25});  // touching counts
  ASSERT_EQ(a.Rects().size(), 1u);
  EXPECT_EQ(a.Rects()[0], (gfx::Rect{10, 10, 50, 32}));
  // Far away: kept apart; one that bridges both makes a single rectangle again.
  a.Add({800, 600, 810, 610});
  EXPECT_EQ(a.Rects().size(), 2u);
  a.Add({40, 20, 805, 605});
  ASSERT_EQ(a.Rects().size(), 1u);
  EXPECT_EQ(a.Rects()[0], (gfx::Rect{10, 10, 810, 610}));
  EXPECT_EQ(a.Take().size(), 1u);
  EXPECT_TRUE(a.Empty());
}

TEST(DirtyArea, ManyApartAreHeldToAFewThatStillCoverThemAll) {
  DirtyArea a;
  std::vector<gfx::Rect> added;
  for (int i = 0; i < 12; ++i) {
    const gfx::Rect r{i * 70 % 900, i * 130 % 700, i * 70 % 900 + 8, i * 130 % 700 + 8};
    added.push_back(r);
    a.Add(r);
    EXPECT_LE(a.Rects().size(), DirtyArea::kMaxRects);
  }
  const std::vector<gfx::Rect> rects = a.Take();
  for (const gfx::Rect& r : added) EXPECT_TRUE(Covers(rects, r));
  // None of the rectangles meets another.
  for (std::size_t i = 0; i < rects.size(); ++i)
    for (std::size_t j = i + 1; j < rects.size(); ++j)
      EXPECT_TRUE(rects[i].Intersected(rects[j]).Empty());
}

}  // namespace
}  // namespace zevo::workspace
