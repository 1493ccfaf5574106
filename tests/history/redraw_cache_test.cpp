#include <gtest/gtest.h>

#include <algorithm>

#include "history/redraw_cache.h"
#include "ink/entry_painter.h"
#include "ink/page_views.h"

namespace zevo::history {
namespace {

// Small views, a history of short strokes, and the cache under test.
struct Sheet {
  ink::PageViews views{128, 90, 32, 22};
  ink::StrokeDocument doc{128, 90};
  RedrawCache::Basis basis{&views.ViewRenderer(), &views.OverviewRenderer(), views.Transform(),
                           nullptr, 7};

  void Write(int n, gfx::Color color = 0x00202020) {
    for (int i = 0; i < n; ++i) {
      doc.SetInkColor(color);
      const float x = 5.0f + float((i * 37) % 110), y = 5.0f + float((i * 23) % 75);
      for (int k = 0; k < 6; ++k) doc.AddSample(x + 2.0f * float(k), y + float(k), k == 5 ? 0 : 3);
    }
  }
  void Blank() { views.ShowBlank(nullptr, nullptr); }
  // Entries from..end-1 drawn on what is shown.
  void Draw(int from, int end) {
    ink::EntryPainter v(views.ViewRenderer(), views.ViewMap());
    ink::EntryPainter o(views.OverviewRenderer(), views.OverviewMap());
    for (int i = from; i < end; ++i) {
      v.Draw(*doc.Entry(i));
      o.Draw(*doc.Entry(i));
    }
    v.Flush();
    o.Flush();
  }
  struct Shown {
    gfx::Bitmap24 view_work, page, overview_work, overview;
  };
  Shown Now() {
    return {views.ViewRenderer().Work(), views.Page(), views.OverviewRenderer().Work(),
            views.Overview()};
  }
  // Draws 0..end-1 on the blank page, keeping copies after the entries listed.
  void DrawKeeping(RedrawCache& cache, int end, const std::vector<int>& at) {
    Blank();
    cache.TakeReference(basis, views.ViewRenderer(), views.OverviewRenderer());
    int drawn = 0;
    for (const int p : at) {
      Draw(drawn, p);
      drawn = p;
      cache.Save(basis, doc, p, views.ViewRenderer(), views.OverviewRenderer());
    }
    Draw(drawn, end);
  }
};

void ExpectSame(const Sheet::Shown& a, const Sheet::Shown& b) {
  EXPECT_TRUE(a.view_work.SamePixels(b.view_work));
  EXPECT_TRUE(a.page.SamePixels(b.page));
  EXPECT_TRUE(a.overview_work.SamePixels(b.overview_work));
  EXPECT_TRUE(a.overview.SamePixels(b.overview));
}

TEST(RedrawCache, RestoresExactlyTheStateAfterItsEntries) {
  Sheet s;
  s.Write(100);
  RedrawCache cache;
  s.DrawKeeping(cache, 100, {32, 64, 96});
  EXPECT_EQ(cache.Positions(), (std::vector<int>{32, 64, 96}));
  for (const int p : {32, 64, 96}) {
    s.Blank();
    s.Draw(0, p);
    const Sheet::Shown drawn = s.Now();
    s.Blank();
    s.Draw(0, 5);  // something else shown
    ASSERT_EQ(cache.Nearest(s.basis, s.doc, p + 20), p);
    cache.Restore(p, s.views.ViewRenderer(), s.views.OverviewRenderer());
    ExpectSame(s.Now(), drawn);
  }
  EXPECT_EQ(cache.Nearest(s.basis, s.doc, 31), 0);
}

// A blank page of paper texture, and one whose work bitmap holds what its page does not (drawn
// but not yet averaged): both are told against the page itself, with no copy of the work
// bitmap, and both give back exactly what was drawn.
TEST(RedrawCache, WorkBitmapsAreToldAgainstTheirPage) {
  gfx::Bitmap24 paper(128, 90), paper_overview(32, 22);
  for (gfx::Bitmap24* b : {&paper, &paper_overview})
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x)
        b->SetPixel(x, y, gfx::Rgb(std::uint8_t(230 + (x * 7 + y * 3) % 20), 225, 210));
  for (const bool unaveraged : {false, true}) {
    Sheet s;
    s.Write(40);
    s.views.ShowBlank(&paper, &paper_overview);
    if (unaveraged) {
      ink::EntryPainter v(s.views.ViewRenderer(), s.views.ViewMap());
      v.Draw(*s.doc.Entry(39));  // left in the work bitmap only
    }
    const Sheet::Shown blank = s.Now();
    RedrawCache cache;
    ASSERT_TRUE(cache.TakeReference(s.basis, s.views.ViewRenderer(), s.views.OverviewRenderer()));
    const std::size_t page_bytes = paper.ByteSize() + paper_overview.ByteSize();
    EXPECT_EQ(cache.Bytes(), page_bytes);
    s.Draw(0, 32);
    cache.Save(s.basis, s.doc, 32, s.views.ViewRenderer(), s.views.OverviewRenderer());
    const Sheet::Shown drawn = s.Now();
    s.Blank();
    ASSERT_EQ(cache.Nearest(s.basis, s.doc, 40), 32);
    cache.Restore(32, s.views.ViewRenderer(), s.views.OverviewRenderer());
    ExpectSame(s.Now(), drawn);
    EXPECT_FALSE(blank.view_work.SamePixels(drawn.view_work));
  }
}

TEST(RedrawCache, CopiesGoOutOfUseWhenTheirEntriesOrTheBasisChange) {
  Sheet s;
  s.Write(100);
  RedrawCache cache;
  s.DrawKeeping(cache, 100, {32, 64, 96});
  // A stroke written at the end: every copy before it still holds.
  s.doc.AddSample(10, 10, 2);
  s.doc.AddSample(12, 12, 0);
  EXPECT_EQ(cache.Nearest(s.basis, s.doc, 100), 96);
  // Writing after a step back to 70 replaces the entries from 70 on.
  s.doc.EntryAt(69, true);
  s.Write(40, 0x000000FF);
  EXPECT_EQ(cache.Nearest(s.basis, s.doc, 110), 64);
  EXPECT_EQ(cache.Positions(), (std::vector<int>{32, 64}));
  // Another blank page or view: none is used.
  RedrawCache::Basis other = s.basis;
  other.sheet_revision = 8;
  EXPECT_EQ(cache.Nearest(other, s.doc, 110), 0);
  other = s.basis;
  other.z.z = 2.0f;
  EXPECT_EQ(cache.Nearest(other, s.doc, 110), 0);
  // A cleared history, then as many entries again.
  s.doc.Clear();
  s.Write(110);
  EXPECT_EQ(cache.Nearest(s.basis, s.doc, 110), 0);
  EXPECT_TRUE(cache.Positions().empty());
}

TEST(RedrawCache, SpreadCopiesFollowTheHistoryAndCloseOnesTheEndOfARedraw) {
  Sheet s;
  s.Write(300);
  RedrawCache cache;
  cache.FitSpacing(300);
  EXPECT_EQ(cache.Spacing(), RedrawCache::kSpreadSpacing);
  cache.FitSpacing(RedrawCache::kCopiesPerHistory * RedrawCache::kSpreadSpacing + 1);
  EXPECT_EQ(cache.Spacing(), 2 * RedrawCache::kSpreadSpacing);
  cache.FitSpacing(300);
  EXPECT_EQ(cache.Spacing(), RedrawCache::kSpreadSpacing);
  // Nothing is wanted before there is a blank page to tell copies against.
  EXPECT_FALSE(cache.Wants(256, 300));
  s.DrawKeeping(cache, 300, {});
  // A redraw of 300 entries: the spread copy it passes and the close one before its end.
  std::vector<int> wanted;
  for (int p = 1; p <= 300; ++p)
    if (cache.Wants(p, 300)) wanted.push_back(p);
  EXPECT_EQ(wanted, (std::vector<int>{256, 288}));
  // One of 288 entries ends after 288: its close copy is 256.
  wanted.clear();
  for (int p = 1; p <= 288; ++p)
    if (cache.Wants(p, 288)) wanted.push_back(p);
  EXPECT_EQ(wanted, std::vector<int>{256});
  cache.Save(s.basis, s.doc, 256, s.views.ViewRenderer(), s.views.OverviewRenderer());
  EXPECT_FALSE(cache.Wants(256, 300));
}

TEST(RedrawCache, OverTheBudgetCloseCopiesGoFirstThenEveryOtherSpreadOne) {
  Sheet s;
  s.Write(1024);
  std::vector<int> every;
  for (int p = 32; p <= 1024; p += 32) every.push_back(p);
  RedrawCache probe;
  s.DrawKeeping(probe, 1024, every);
  ASSERT_EQ(probe.Positions(), every);
  const std::size_t reference = [&] {
    RedrawCache empty;
    s.Blank();
    empty.TakeReference(s.basis, s.views.ViewRenderer(), s.views.OverviewRenderer());
    return empty.Bytes();
  }();
  const std::size_t per_copy = (probe.Bytes() - reference) / every.size();

  // Room for about six: the four spread copies and the close ones nearest the last taken.
  const std::size_t roomy_budget = reference + 6 * per_copy;
  RedrawCache roomy(roomy_budget);
  s.DrawKeeping(roomy, 1024, every);
  EXPECT_LE(roomy.Bytes(), roomy_budget);
  EXPECT_EQ(roomy.Spacing(), 256);
  const std::vector<int> kept = roomy.Positions();
  for (const int p : {256, 512, 768, 1024})
    EXPECT_TRUE(std::count(kept.begin(), kept.end(), p)) << p;
  for (const int p : kept) EXPECT_TRUE(p % 256 == 0 || p > 900) << p;

  // Room for about two: the spread copies thin out.
  const std::size_t tight_budget = reference + 2 * per_copy;
  RedrawCache tight(tight_budget);
  s.DrawKeeping(tight, 1024, every);
  EXPECT_LE(tight.Bytes(), tight_budget);
  EXPECT_GE(tight.Spacing(), 512);
  EXPECT_FALSE(tight.Positions().empty());
  // The budget's spacing stays for the next fit; forgetting starts over.
  tight.FitSpacing(1024);
  EXPECT_GE(tight.Spacing(), 512);
  tight.Forget();
  tight.FitSpacing(1024);
  EXPECT_EQ(tight.Spacing(), RedrawCache::kSpreadSpacing);
  EXPECT_TRUE(tight.Positions().empty());
}

}  // namespace
}  // namespace zevo::history
