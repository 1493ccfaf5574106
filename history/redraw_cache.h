#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "gfx/bitmap24.h"
#include "gfx/bitmap_delta.h"
#include "ink/brush_renderer.h"
#include "ink/page_views.h"
#include "ink/stroke_document.h"

namespace zevo::history {

// Copies of both renderers (work bitmaps and page images) as they stand after the first p
// history entries have been drawn on the blank page. A step back or a jump then redraws from
// the nearest copy before it instead of from the first entry. Two kinds are kept: copies
// spread evenly through the history, taken as a redraw passes them, so that a jump anywhere
// has one close by; and close ones, every kMinSpacing entries, taken just before where a
// redraw ends, so that walking back step by step mostly redraws a few entries. Each copy is
// kept as its difference from the blank page (the reference: the page images, which the work
// bitmaps are loaded from, widened for them), so many fit in a fixed memory budget; when they do
// not, the close ones go first, then every other spread one.
//
// A copy is used only while the blank page, the view and the entries up to it are still what
// they were when it was taken, told by revision numbers (the document's and the sheet's), so
// it can never show anything the full redraw would not.
class RedrawCache {
 public:
  // What the drawing of entries 0..n-1 depends on besides the entries.
  struct Basis {
    const ink::BrushRenderer* view = nullptr;
    const ink::BrushRenderer* overview = nullptr;
    ink::PageView z;
    const gfx::Bitmap24* blank_page = nullptr;
    std::uint64_t sheet_revision = 0;
    bool operator==(const Basis& o) const {
      return view == o.view && overview == o.overview && z.z == o.z.z && z.ox == o.z.ox &&
             z.oy == o.z.oy && blank_page == o.blank_page && sheet_revision == o.sheet_revision;
    }
  };

  // The spacing of the close copies; the closest spacing of the spread ones (taking a copy
  // costs about as much as drawing fifty strokes, so a redraw from the first entry should not
  // stop for one much more often), and how many of those a history is spread over before the
  // budget has its say.
  static constexpr int kMinSpacing = 32;
  static constexpr int kSpreadSpacing = 256;
  static constexpr int kCopiesPerHistory = 64;
  // The memory the reference and the copies may take together.
  static constexpr std::size_t kDefaultBudget = std::size_t(240) << 20;

  RedrawCache() = default;
  explicit RedrawCache(std::size_t budget) : budget_(budget) {}

  // With the renderers showing the blank page of `basis`: keeps it as the reference the copies
  // are told against, unless it is already kept. Copies of another basis are let go. False
  // when the memory for it is not there (then no copies are taken).
  bool TakeReference(const Basis& basis, ink::BrushRenderer& view, ink::BrushRenderer& overview);
  bool HasReference(const Basis& basis) const { return have_reference_ && basis == basis_; }

  // Fits the spread copies' spacing to a history of `count` entries: kCopiesPerHistory of them
  // over it, never closer than kSpreadSpacing nor than the budget allows.
  void FitSpacing(int count);
  int Spacing() const { return spacing_; }
  // Whether a copy after p entries is wanted and not held, for a redraw that passes p on its
  // way to drawing `end` entries: a spread one, or the close one just before the end.
  bool Wants(int p, int end) const;

  // The largest p <= n for which a copy valid for `basis` and `doc` is held, or 0. Copies
  // found out of date on the way are let go.
  int Nearest(const Basis& basis, const ink::StrokeDocument& doc, int n);
  // Puts the copy after p entries (one Nearest returned) back into the renderers.
  void Restore(int p, ink::BrushRenderer& view, ink::BrushRenderer& overview) const;
  // Takes the copy after entries 0..p-1 of doc; nothing is kept when the memory is not there.
  void Save(const Basis& basis, const ink::StrokeDocument& doc, int p, ink::BrushRenderer& view,
            ink::BrushRenderer& overview);

  // A copy told elsewhere, in parts of rows on the threads that drew them: the deltas of the
  // renderers' bitmaps from the references below (a missing one is no copy).
  struct CopyDeltas {
    std::optional<gfx::BitmapDelta> view_work, view_page, overview_work, overview_page;
  };
  // What the work bitmaps and the page images are told against (while a reference is held).
  gfx::DeltaReference WorkReference(bool overview) const;
  const gfx::Bitmap24& PageReference(bool overview) const {
    return overview ? overview_page_ : view_page_;
  }
  // Keeps the copy after entries 0..p-1 of doc from its deltas, as Save would have.
  void Keep(const Basis& basis, const ink::StrokeDocument& doc, int p, CopyDeltas deltas);

  void Forget();
  // The positions held, and the memory the reference and copies take.
  std::vector<int> Positions() const;
  std::size_t Bytes() const;

 private:
  struct Copy {
    std::uint64_t revision = 0;  // the document's when the copy was taken
    gfx::BitmapDelta view_work, view_page, overview_work, overview_page;
    std::size_t Bytes() const {
      return view_work.Bytes() + view_page.Bytes() + overview_work.Bytes() + overview_page.Bytes();
    }
  };
  // While the budget is exceeded: lets go of the close copies farthest from `near`, then doubles
  // the spread copies' spacing.
  void Thin(int near);
  // The work bitmaps are told against their pages widened this many times.
  static constexpr int kWorkScale = 4;

  std::size_t budget_ = kDefaultBudget;
  int spacing_ = kSpreadSpacing;
  int budget_spacing_ = kSpreadSpacing;  // the closest spacing the budget allowed so far
  bool have_reference_ = false;
  Basis basis_;
  gfx::Bitmap24 view_page_, overview_page_;
  std::map<int, Copy> copies_;
  std::size_t copy_bytes_ = 0;
};

}  // namespace zevo::history
