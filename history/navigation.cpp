#include "history/navigation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "base/worker.h"
#include "ink/entry_painter.h"

namespace zevo::history {

namespace {

// Runs of more entries than this paint the overview on a second thread, and the view's lower
// rows on a third when they may.
constexpr int kParallelEntries = 16;

// An upper bound of the pixels drawing entries from..end-1 through `map` may write, or nothing
// when it is not below `limit` or cannot be told (a fill reads and writes every row; values no
// writer makes). Each segment's discs and join lie in its box, and write it at most three times
// over (a disc, the join's inside and its outline, when the join is drawn as a polygon).
std::optional<std::uint64_t> WorkBound(const ink::StrokeDocument& doc, int from, int end,
                                       const ink::EntryMapping& map, std::uint64_t limit) {
  constexpr double kSane = double(1 << 20);
  double bound = 0;
  const auto add = [&](double w, double h) {
    bound += 3.0 * (std::fabs(w) + 8.0) * (std::fabs(h) + 8.0);
    return bound < double(limit);
  };
  for (int i = from; i < end; ++i) {
    const ink::Stroke& e = *doc.Entry(i);
    switch (e.kind) {
      case ink::StrokeKind::Fill:
        return std::nullopt;
      case ink::StrokeKind::Picture:
      case ink::StrokeKind::Stamp: {
        if (!e.bitmap || e.bitmap->Empty()) break;
        const gfx::Rect r =
            e.kind == ink::StrokeKind::Picture ? map.PictureRect(e) : map.StampRect(e);
        if (!add(double(r.right) - r.left, double(r.bottom) - r.top)) return std::nullopt;
        break;
      }
      case ink::StrokeKind::Ink: {
        float px = 0, py = 0, pr = 0;
        for (std::size_t k = 0; k < e.samples.size(); ++k) {
          float x, y, r;
          map.Sample(e.samples[k], x, y, r);
          if (!(std::fabs(x) < kSane && std::fabs(y) < kSane && std::fabs(r) < kSane))
            return std::nullopt;
          if (k == 0) px = x, py = y, pr = r;
          const double m = std::max(std::fabs(pr), std::fabs(r)) + 2.0;
          if (!add(4.0 * (std::fabs(x - px) + 2.0 * m), 4.0 * (std::fabs(y - py) + 2.0 * m)))
            return std::nullopt;
          px = x, py = y, pr = r;
        }
        break;
      }
    }
  }
  return std::uint64_t(bound);
}

// The first entry a forward move draws: the first one at position 0, the partly replayed
// stroke again (to complete it), else the one after the current entry. Ends the partial state.
ink::Stroke* FirstForward(Navigator& n, bool& was_partial) {
  ink::StrokeDocument& doc = n.player.Document();
  was_partial = n.player.PartialStroke() != nullptr;
  n.player.ClearPartialStroke();
  if (n.player.bar.position == 0 || doc.Position() == 0) return doc.GotoHead();
  if (was_partial) return doc.Current();
  return doc.StepForward();
}

RedrawCache::Basis BasisOf(Navigator& n) {
  RedrawCache::Basis b;
  b.view = &n.views.ViewRenderer();
  b.overview = &n.views.OverviewRenderer();
  b.z = n.views.Transform();
  b.blank_page = n.sheet.Blank().page;
  b.sheet_revision = n.sheet.Revision();
  return b;
}

// Whether the page images show the blank page and nothing else.
bool ShowsBlankPage(Navigator& n) {
  const seals::BlankPage blank = n.sheet.Blank();
  if (blank.page == nullptr) {
    const auto all_white = [](const gfx::Bitmap24& b) {
      for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
          if (b.Pixel(x, y) != gfx::kWhite) return false;
      return true;
    };
    return all_white(n.views.Page()) && all_white(n.views.Overview());
  }
  return n.views.Page().SamePixels(*blank.page) && n.views.Overview().SamePixels(*blank.overview);
}

// The two painters of one redraw: kept for all its runs, so that the work a hostile history
// may cost is bounded over the whole redraw, not per run.
struct Painters {
  explicit Painters(Navigator& n)
      : view(n.views.ViewRenderer(), n.views.ViewMap()),
        overview(n.views.OverviewRenderer(), n.views.OverviewMap()) {}
  ink::EntryPainter view, overview;
  bool LeftOut() const { return view.EntriesLeftOut() || overview.EntriesLeftOut(); }
};

// Draws entries from..end-1 into both renderers and averages them into the page images; a
// long run paints the overview on a second thread while this one paints the view (the two
// share nothing), and joins before going on.
void PaintEntries(Navigator& n, Painters& p, int from, int end, base::ProgressRun& run) {
  if (from >= end) return;
  ink::StrokeDocument& doc = n.player.Document();
  auto next = [&](int i) { return i + 1 < end ? doc.Entry(i + 1) : nullptr; };
  if (end - from <= kParallelEntries) {
    for (int i = from; i < end; ++i) {
      p.view.Draw(*doc.Entry(i), next(i));
      p.overview.Draw(*doc.Entry(i), next(i));
      run.Step();
    }
    p.view.Flush();
    p.overview.Flush();
    return;
  }
  base::Worker overview([&] {
    for (int i = from; i < end; ++i) p.overview.Draw(*doc.Entry(i), next(i));
    p.overview.Flush();
  });
  for (int i = from; i < end; ++i) {
    p.view.Draw(*doc.Entry(i), next(i));
    run.Step();
  }
  p.view.Flush();
  overview.Join();
}

// Draws entries from..end-1 as PaintEntries does, with the view in two parts of its rows on two
// threads beside the overview's, and the copy after each of `stops` told on the same threads
// as they pass it: each part tells its own rows, the overview's thread the overview. Only for
// runs without fills, whose work cannot reach the painter's limit (so that nothing is left out
// in a part that the whole would have drawn).
void PaintInParts(Navigator& n, Painters& p, const RedrawCache::Basis& basis, int from, int end,
                  const std::vector<int>& stops, base::ProgressRun& run) {
  ink::StrokeDocument& doc = n.player.Document();
  RedrawCache& cache = n.player.Cache();
  ink::BrushRenderer& view = n.views.ViewRenderer();
  ink::BrushRenderer& overview = n.views.OverviewRenderer();
  const int mid = view.Height() / 2;
  ink::BrushRenderer upper(view, 0, mid), lower(view, mid, view.Height());
  ink::EntryPainter upper_painter(upper, n.views.ViewMap()),
      lower_painter(lower, n.views.ViewMap());
  // Per stop, the deltas of the upper rows, of the lower ones and of the overview.
  std::vector<RedrawCache::CopyDeltas> upper_copies(stops.size()), lower_copies(stops.size()),
      overview_copies(stops.size());
  // Paints the run stop by stop, telling what `copy` tells at each.
  const auto walk = [&](ink::EntryPainter& painter, bool steps, auto copy) {
    int at = from;
    for (std::size_t k = 0; k <= stops.size(); ++k) {
      const int stop = k < stops.size() ? stops[k] : end;
      for (int i = at; i < stop; ++i) {
        painter.Draw(*doc.Entry(i), i + 1 < stop ? doc.Entry(i + 1) : nullptr);
        if (steps) run.Step();
      }
      painter.Flush();
      if (k < stops.size()) copy(k);
      at = stop;
    }
  };
  const auto rows = [&](RedrawCache::CopyDeltas& d, int top, int bottom) {
    d.view_work =
        gfx::BitmapDelta::MakeRows(view.Work(), cache.WorkReference(false), 4 * top, 4 * bottom);
    d.view_page =
        gfx::BitmapDelta::MakeRows(view.Target(), cache.PageReference(false), top, bottom);
  };
  base::Worker overview_thread([&] {
    walk(p.overview, false, [&](std::size_t k) {
      overview_copies[k].overview_work =
          gfx::BitmapDelta::Make(overview.Work(), cache.WorkReference(true));
      overview_copies[k].overview_page =
          gfx::BitmapDelta::Make(overview.Target(), cache.PageReference(true));
    });
  });
  base::Worker lower_thread([&] {
    walk(lower_painter, false, [&](std::size_t k) { rows(lower_copies[k], mid, view.Height()); });
  });
  walk(upper_painter, true, [&](std::size_t k) { rows(upper_copies[k], 0, mid); });
  lower_thread.Join();
  overview_thread.Join();
  p.view.Absorb(upper_painter);
  p.view.Absorb(lower_painter);
  view.FollowPart(upper);
  for (std::size_t k = 0; k < stops.size(); ++k) {
    RedrawCache::CopyDeltas& d = upper_copies[k];
    const RedrawCache::CopyDeltas& below = lower_copies[k];
    if (!d.view_work || !d.view_page || !below.view_work || !below.view_page ||
        !d.view_work->Append(*below.view_work) || !d.view_page->Append(*below.view_page))
      continue;
    d.overview_work = std::move(overview_copies[k].overview_work);
    d.overview_page = std::move(overview_copies[k].overview_page);
    cache.Keep(basis, doc, stops[k], std::move(d));
  }
}

// Draws entries from..end-1 and leaves the copies after `stops` behind: stretches that may be
// drawn in parts of rows are, as long as the work they can cost stays within what the painter
// may still spend; the rest run by run, copied after each unless entries were left out.
void PaintKeepingCopies(Navigator& n, Painters& p, const RedrawCache::Basis& basis, int from,
                        int end, std::vector<int> stops, base::ProgressRun& run) {
  ink::StrokeDocument& doc = n.player.Document();
  ink::BrushRenderer& view = n.views.ViewRenderer();
  const bool may_split = n.player.split_redraws && view.Height() >= 2;
  std::size_t k = 0;  // the next stop
  while (from < end) {
    // The longest stretch from here, up to a stop or the end, that fits in the headroom.
    int reach = from;
    std::size_t reach_k = k;
    if (may_split) {
      std::uint64_t headroom = p.view.Headroom();
      for (std::size_t j = k; j <= stops.size(); ++j) {
        const int stop = j < stops.size() ? stops[j] : end;
        const std::optional<std::uint64_t> cost =
            WorkBound(doc, reach, stop, n.views.ViewMap(), headroom);
        if (!cost) break;
        headroom -= *cost;
        reach = stop;
        reach_k = j;
      }
    }
    if (reach - from > kParallelEntries) {
      // The stops passed, the one the stretch ends on included.
      const std::size_t past = reach_k < stops.size() ? reach_k + 1 : stops.size();
      const std::vector<int> within(stops.begin() + std::ptrdiff_t(k),
                                    stops.begin() + std::ptrdiff_t(past));
      PaintInParts(n, p, basis, from, reach, within, run);
      from = reach;
      k = past;
      continue;
    }
    // One run on the view's one thread, up to the next stop.
    const int stop = k < stops.size() ? stops[k] : end;
    PaintEntries(n, p, from, stop, run);
    from = stop;
    if (k == stops.size()) continue;
    if (p.LeftOut()) {
      // A hostile history cut short is not the state the entries give: no more copies.
      stops.resize(k);
      continue;
    }
    n.player.Cache().Save(basis, doc, stop, view, n.views.OverviewRenderer());
    ++k;
  }
}

// How a run of entries starts.
enum class Start {
  kOnTop,      // on what is shown
  kBlankPage,  // on the blank page, shown first
};

// Draws entries first..last (0-based, inclusive) with the progress display when `count` (the
// number the command announces) is over 16, and leaves the document on `last` (at position 0
// when last < 0). A run begins, when it can, from the nearest copy the cache holds part way;
// a run that draws the canonical state (entries from the first on the blank page) leaves
// copies behind: the spread ones it passes and the close one just before its end.
void BulkRedraw(Navigator& n, int first, int last, int count, Start start) {
  ink::StrokeDocument& doc = n.player.Document();
  ink::BrushRenderer& view = n.views.ViewRenderer();
  ink::BrushRenderer& overview = n.views.OverviewRenderer();
  last = std::min(last, doc.Count() - 1);
  first = std::max(first, 0);
  RedrawCache& cache = n.player.Cache();
  {
    base::ProgressRun run(n.progress, count, base::kProgressLineHistory);
    const RedrawCache::Basis basis = BasisOf(n);
    cache.FitSpacing(doc.Count());
    // Only a run that draws the canonical state may be copied. (A stroke replay has only
    // begun leaves the page images blank and is drawn whole again.)
    bool canonical = start == Start::kBlankPage || (first == 0 && ShowsBlankPage(n));
    int from = first;
    if (const int p = cache.Nearest(basis, doc, last + 1); p > first) {
      cache.Restore(p, view, overview);
      for (int i = first; i < p; ++i) run.Step();
      from = p;
      canonical = true;
    } else if (start == Start::kBlankPage) {
      ShowBlankPage(n);
    }
    if (canonical && from == 0) cache.TakeReference(basis, view, overview);
    Painters painters(n);
    std::vector<int> stops;
    if (canonical && cache.HasReference(basis)) {
      const int step = RedrawCache::kMinSpacing;
      for (int p = (from / step + 1) * step; p <= last + 1; p += step)
        if (cache.Wants(p, last + 1)) stops.push_back(p);
    }
    PaintKeepingCopies(n, painters, basis, from, last + 1, std::move(stops), run);
  }
  if (last >= 0)
    doc.EntryAt(last, true);
  else
    doc.ShowFirst(0);
  n.views.MarkChanged();
}

}  // namespace

void ShowBlankPage(Navigator& n) {
  const seals::BlankPage blank = n.sheet.Blank();
  n.views.ShowBlank(blank.page, blank.overview);
}

void FullRedraw(Navigator& n) {
  const int shown = n.player.Document().Position();
  if (n.player.bar.position != 0 && shown > 0) {
    // The progress display is sized by the whole history, as the bar of the player is.
    BulkRedraw(n, 0, shown - 1, n.player.Document().Count(), Start::kBlankPage);
  } else {
    ShowBlankPage(n);
  }
  n.views.MarkChanged();
}

void GotoFirst(Navigator& n) {
  ShowBlankPage(n);
  n.player.Document().ShowFirst(0);
  n.player.ClearPartialStroke();
  n.player.SetPosition(0);
}

void GotoPrev(Navigator& n) {
  n.player.ClearPartialStroke();
  if (n.player.Document().StepBack() == nullptr) {
    ShowBlankPage(n);
    n.player.SetPosition(0);
    return;
  }
  const int target = n.player.Document().Position();
  n.player.SetPosition(target);
  BulkRedraw(n, 0, target - 1, target, Start::kBlankPage);
}

void GotoNext(Navigator& n) {
  bool was_partial = false;
  ink::Stroke* e = FirstForward(n, was_partial);
  if (e == nullptr) return;
  if (!was_partial) n.player.SetPosition(n.player.Document().Position());
  n.views.DrawEntry(*e);
  n.views.MarkChanged();
}

void GotoLast(Navigator& n) {
  const int shown = n.player.bar.position;
  bool was_partial = false;
  ink::Stroke* e = FirstForward(n, was_partial);
  if (e == nullptr) return;
  const int first = n.player.Document().Position() - 1;
  const int count = n.player.Document().Count();
  n.player.SetPosition(count);
  BulkRedraw(n, first, count - 1, count - shown, Start::kOnTop);
}

void GotoPoint(Navigator& n, int target) {
  target = std::clamp(target, 0, n.player.Document().Count());
  const int shown = n.player.bar.position;
  if (target == shown) return;
  n.player.SetPosition(target);
  if (target > shown) {
    bool was_partial = false;
    ink::Stroke* e = FirstForward(n, was_partial);
    if (e == nullptr) return;
    BulkRedraw(n, n.player.Document().Position() - 1, target - 1, target - shown, Start::kOnTop);
  } else {
    n.player.ClearPartialStroke();
    BulkRedraw(n, 0, target - 1, target, Start::kBlankPage);
  }
  n.views.MarkChanged();
}

}  // namespace zevo::history
