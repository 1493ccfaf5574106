#include "history/navigation.h"

#include <exception>
#include <thread>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "history/entry_painter.h"
#include "history/redraw_cache.h"
#include "output/progress.h"
#include "workspace/skin.h"

namespace zevo::history {

namespace {

// Runs of more entries than this paint the overview on a second thread.
constexpr int kParallelEntries = 16;

// Where the player indicator lies on the play panel.
constexpr int kTrackLeft = 36;
constexpr int kTrackTop = 21;
constexpr int kTrackBottom = 32;
constexpr int kTrackWidth = 417;
constexpr int kKnobWidth = 6;
constexpr int kFillWidth = kTrackWidth - kKnobWidth;

void RepaintViews(app::TZevo3Win& w) {
  w.MarkDirty(app::kDirtyImgA | app::kDirtyImgZoom);
}

// Position 0: nothing current.
void ToStart(ink::StrokeDocument& doc) {
  doc.GotoHead();
  doc.StepBack();
}

// The first entry a forward move draws: the first one at position 0, the partly replayed
// stroke again (to complete it), else the one after the current entry. Clears the flag.
ink::Stroke* FirstForward(app::TZevo3Win& w, bool& was_partial) {
  was_partial = PartialStrokeShown(w);
  w.partial_stroke = false;
  w.replayed_stroke = nullptr;
  if (w.PlayerBar.position == 0 || w.doc->Position() == 0) return w.doc->GotoHead();
  if (was_partial) return w.doc->Current();
  return w.doc->StepForward();
}

// The blank page of the current state: grid, trace model, paper with a background, or none
// (white).
struct BlankPage {
  const gfx::Bitmap24* page = nullptr;
  const gfx::Bitmap24* overview = nullptr;
};
BlankPage BlankPageOf(app::TZevo3Win& w) {
  if (w.grid_shown) return {&w.grid_page, &w.grid_overview};
  if (w.trace_shown) return {&w.trace_page, &w.trace_overview};
  if (w.background.View().Present()) return {&w.paper_page, &w.paper_overview};
  return {};
}

RedrawCache::Basis BasisOf(app::TZevo3Win& w) {
  RedrawCache::Basis b;
  b.view = w.view_renderer.get();
  b.overview = w.overview_renderer.get();
  b.z = w.view;
  const BlankPage blank = BlankPageOf(w);
  b.blank_page =
      blank.page ? RedrawCache::HashBitmap(*blank.overview, RedrawCache::HashBitmap(*blank.page, 1))
                 : 0;
  return b;
}

RedrawCache& CacheOf(app::TZevo3Win& w) {
  if (!w.redraw_cache) w.redraw_cache = std::make_shared<RedrawCache>();
  return *w.redraw_cache;
}

// Whether the page images show the blank page and nothing else.
bool ShowsBlankPage(app::TZevo3Win& w) {
  const BlankPage blank = BlankPageOf(w);
  if (blank.page == nullptr) {
    const auto all_white = [](const gfx::Bitmap24& b) {
      for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
          if (b.Pixel(x, y) != gfx::kWhite) return false;
      return true;
    };
    return all_white(w.ImgA.picture) && all_white(w.ImgZoom.picture);
  }
  return w.ImgA.picture.SamePixels(*blank.page) && w.ImgZoom.picture.SamePixels(*blank.overview);
}

// How a run of entries starts.
enum class Start {
  kOnTop,      // on what is shown
  kBlankPage,  // on the blank page, shown first
};

// Draws entries first..last (0-based, inclusive) with the progress display when `count` (the
// number the command announces) is over 16, and leaves the document on `last` (at position 0
// when last < 0). A run that starts from the blank page begins, when it can, from the copy
// the cache holds part way; every run from the blank page leaves such a copy behind.
void BulkRedraw(app::TZevo3Win& w, int first, int last, int count, Start start) {
  ink::StrokeDocument& doc = *w.doc;
  last = std::min(last, doc.Count() - 1);
  first = std::max(first, 0);
  RedrawCache& cache = CacheOf(w);
  {
    output::ProgressRun run(&w.Progress(), count, output::kProgressLineHistory);
    // Only a run that draws the canonical state (entries 0.. on the blank page) may be copied.
    // (A stroke replay has only begun leaves the page images blank and is drawn whole again.)
    bool canonical = start == Start::kBlankPage || (first == 0 && ShowsBlankPage(w));
    std::optional<RedrawCache::Basis> basis;
    bool restored = false;
    if (cache.Entries() > first && cache.Entries() <= last + 1) {
      basis = BasisOf(w);
      if (cache.Matches(*basis, doc, *w.view_renderer, *w.overview_renderer)) {
        cache.Restore(*w.view_renderer, *w.overview_renderer);
        for (int i = first; i < cache.Entries(); ++i) run.Step();
        first = cache.Entries();
        restored = canonical = true;
      }
    }
    if (!restored && start == Start::kBlankPage) ShowBlankPage(w);
    // The copy for the next step back: the last multiple of the spacing before the end.
    const int save_at = canonical ? (last / RedrawCache::kSpacing) * RedrawCache::kSpacing : 0;
    // Entries first..end-1 into both renderers; a long run paints the overview on a second
    // thread while this one paints the view (the two share nothing), and joins before going on.
    auto paint = [&](int from, int end) {
      if (from >= end) return;
      if (end - from <= kParallelEntries) {
        EntryPainter painter(*w.view_renderer, *w.overview_renderer, w.view);
        for (int i = from; i < end; ++i) {
          painter.Draw(*doc.Entry(i));
          run.Step();
        }
        painter.Flush();
        return;
      }
      std::exception_ptr failure;
      std::thread overview([&] {
        try {
          EntryPainter painter(*w.view_renderer, *w.overview_renderer, w.view,
                               EntryPainter::kOverviewOnly);
          for (int i = from; i < end; ++i) painter.Draw(*doc.Entry(i));
          painter.Flush();
        } catch (...) {
          failure = std::current_exception();
        }
      });
      try {
        EntryPainter painter(*w.view_renderer, *w.overview_renderer, w.view,
                             EntryPainter::kViewOnly);
        for (int i = from; i < end; ++i) {
          painter.Draw(*doc.Entry(i));
          run.Step();
        }
        painter.Flush();
      } catch (...) {
        overview.join();
        throw;
      }
      overview.join();
      if (failure) std::rethrow_exception(failure);
    };
    if (save_at > first && save_at <= last + 1 && !(restored && cache.Entries() == save_at)) {
      paint(first, save_at);
      if (!basis) basis = BasisOf(w);
      cache.Save(*basis, doc, save_at, *w.view_renderer, *w.overview_renderer);
      paint(save_at, last + 1);
    } else {
      paint(first, last + 1);
    }
  }
  if (last >= 0)
    doc.EntryAt(last, true);
  else
    ToStart(doc);
  RepaintViews(w);
}

void StretchSkin(gfx::Canvas& c, const gfx::Bitmap24& image, int left, int width) {
  if (image.Empty() || width <= 0) return;
  c.StretchCopy({left, kTrackTop, left + width, kTrackBottom}, image);
}

void DrawSkinAt(gfx::Bitmap24& target, const gfx::Bitmap24& image, int x, int y) {
  if (!image.Empty()) gfx::Canvas(target).Draw(x, y, image);
}

}  // namespace

bool PartialStrokeShown(const app::TZevo3Win& w) {
  return w.partial_stroke && w.replayed_stroke != nullptr && w.replayed_stroke == w.doc->Current();
}

void SetPlayerPosition(app::TZevo3Win& w, int position) {
  w.PlayerBar.position = w.PlayerBar.sel_end = position;
  DrawPlayerIndicator(w);
}

void DrawEntry(app::TZevo3Win& w, ink::Stroke& entry) {
  EntryPainter painter(*w.view_renderer, *w.overview_renderer, w.view);
  painter.Draw(entry);
  painter.Flush();
}

void ShowBlankPage(app::TZevo3Win& w) {
  const BlankPage blank = BlankPageOf(w);
  if (blank.page != nullptr) {
    gfx::Canvas(w.ImgA.picture).Draw(0, 0, *blank.page);
    gfx::Canvas(w.ImgZoom.picture).Draw(0, 0, *blank.overview);
    w.view_renderer->LoadFromTarget();
    w.overview_renderer->LoadFromTarget();
  } else {
    w.view_renderer->ClearWhite();
    w.overview_renderer->ClearWhite();
  }
  RepaintViews(w);
}

void FullRedraw(app::TZevo3Win& w) {
  DrawSkinAt(w.control_panel_canvas,
             w.skin[w.trace_shown ? workspace::kSkinToggleOn : workspace::kSkinToggleOff], 412, 22);
  w.MarkDirty(app::kDirtyControlPanel);
  const int shown = w.doc->Position();
  if (w.PlayerBar.position != 0 && shown > 0) {
    // The progress display is sized by the whole history, as the bar of the player is.
    BulkRedraw(w, 0, shown - 1, w.doc->Count(), Start::kBlankPage);
  } else {
    ShowBlankPage(w);
  }
  RepaintViews(w);
}

void GotoFirst(app::TZevo3Win& w) {
  ShowBlankPage(w);
  ToStart(*w.doc);
  w.partial_stroke = false;
  w.replayed_stroke = nullptr;
  SetPlayerPosition(w, 0);
}

void GotoPrev(app::TZevo3Win& w) {
  w.partial_stroke = false;
  w.replayed_stroke = nullptr;
  if (w.doc->StepBack() == nullptr) {
    ShowBlankPage(w);
    SetPlayerPosition(w, 0);
    return;
  }
  const int target = w.doc->Position();
  SetPlayerPosition(w, target);
  BulkRedraw(w, 0, target - 1, target, Start::kBlankPage);
}

void GotoNext(app::TZevo3Win& w) {
  bool was_partial = false;
  ink::Stroke* e = FirstForward(w, was_partial);
  if (e == nullptr) return;
  if (!was_partial) SetPlayerPosition(w, w.doc->Position());
  DrawEntry(w, *e);
  RepaintViews(w);
}

void GotoLast(app::TZevo3Win& w) {
  const int shown = w.PlayerBar.position;
  bool was_partial = false;
  ink::Stroke* e = FirstForward(w, was_partial);
  if (e == nullptr) return;
  const int first = w.doc->Position() - 1;
  const int count = w.doc->Count();
  SetPlayerPosition(w, count);
  BulkRedraw(w, first, count - 1, count - shown, Start::kOnTop);
}

void GotoPoint(app::TZevo3Win& w) {
  const int target = std::clamp(w.target_position, 0, w.doc->Count());
  const int shown = w.PlayerBar.position;
  if (target == shown) return;
  SetPlayerPosition(w, target);
  if (target > shown) {
    bool was_partial = false;
    ink::Stroke* e = FirstForward(w, was_partial);
    if (e == nullptr) return;
    BulkRedraw(w, w.doc->Position() - 1, target - 1, target - shown, Start::kOnTop);
  } else {
    w.partial_stroke = false;
    w.replayed_stroke = nullptr;
    BulkRedraw(w, 0, target - 1, target, Start::kBlankPage);
  }
  RepaintViews(w);
}

void DrawPlayerIndicator(app::TZevo3Win& w) {
  gfx::Canvas c(w.play_panel_canvas);
  const gfx::Bitmap24& filled = w.skin[workspace::kSkinTrackFilled];
  const gfx::Bitmap24& empty = w.skin[workspace::kSkinTrackEmpty];
  const gfx::Bitmap24& knob = w.skin[workspace::kSkinTrackKnob];
  const int max = w.PlayerBar.max;
  const int position = w.PlayerBar.position;
  if (max <= 0) {
    StretchSkin(c, empty, kTrackLeft, kTrackWidth);
  } else if (position >= max) {
    StretchSkin(c, filled, kTrackLeft, kTrackWidth);
  } else {
    const int f = int(std::clamp<std::int64_t>(
        std::int64_t(std::max(position, 0)) * kFillWidth / max, 0, kFillWidth));
    StretchSkin(c, filled, kTrackLeft, f);
    StretchSkin(c, knob, kTrackLeft + f, kKnobWidth);
    StretchSkin(c, empty, kTrackLeft + f + kKnobWidth, kFillWidth - f);
  }
  w.MarkDirty(app::kDirtyPlayPanel);
}

}  // namespace zevo::history
