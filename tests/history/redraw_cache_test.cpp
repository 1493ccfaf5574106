#include <gtest/gtest.h>

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
  // Draws 0..end-1 on the blank page, keeping copies at the cache's spacing.
  void DrawKeeping(RedrawCache& cache, int end) {
    Blank();
    cache.TakeReference(basis, views.ViewRenderer(), views.OverviewRenderer());
    int at = 0;
    for (int p = cache.Spacing(); p <= end; p += cache.Spacing()) {
      Draw(at, p);
      at = p;
      if (cache.Wants(p)) cache.Save(basis, doc, p, views.ViewRenderer(), views.OverviewRenderer());
    }
    Draw(at, end);
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
  cache.FitSpacing(s.doc.Count());
  ASSERT_EQ(cache.Spacing(), 32);
  s.DrawKeeping(cache, 100);
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

TEST(RedrawCache, CopiesGoOutOfUseWhenTheirEntriesOrTheBasisChange) {
  Sheet s;
  s.Write(100);
  RedrawCache cache;
  s.DrawKeeping(cache, 100);
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

TEST(RedrawCache, TheSpacingFollowsTheHistoryAndTheBudget) {
  Sheet s;
  s.Write(400);
  RedrawCache roomy;
  roomy.FitSpacing(400);
  EXPECT_EQ(roomy.Spacing(), 32);
  roomy.FitSpacing(RedrawCache::kCopiesPerHistory * 32 + 1);
  EXPECT_EQ(roomy.Spacing(), 64);
  roomy.FitSpacing(400);
  EXPECT_EQ(roomy.Spacing(), 32);

  // Room for the blank page and about four copies.
  RedrawCache probe;
  s.DrawKeeping(probe, 400);
  const std::vector<int> all = probe.Positions();
  ASSERT_EQ(all.size(), 12u);
  const std::size_t reference = [&] {
    RedrawCache empty;
    s.Blank();
    empty.TakeReference(s.basis, s.views.ViewRenderer(), s.views.OverviewRenderer());
    return empty.Bytes();
  }();
  const std::size_t per_copy = (probe.Bytes() - reference) / all.size();
  RedrawCache tight(reference + 4 * per_copy);
  tight.FitSpacing(400);
  s.DrawKeeping(tight, 400);
  EXPECT_LE(tight.Bytes(), reference + 4 * per_copy);
  EXPECT_GE(tight.Spacing(), 64);
  for (const int p : tight.Positions()) EXPECT_EQ(p % tight.Spacing(), 0);
  EXPECT_FALSE(tight.Positions().empty());
  // The budget's spacing stays for the next fit; forgetting starts over.
  tight.FitSpacing(400);
  EXPECT_GE(tight.Spacing(), 64);
  tight.Forget();
  tight.FitSpacing(400);
  EXPECT_EQ(tight.Spacing(), 32);
  EXPECT_TRUE(tight.Positions().empty());
}

}  // namespace
}  // namespace zevo::history
