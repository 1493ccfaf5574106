#pragma once

#include <cstdint>
#include <optional>

#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/page_views.h"
#include "ink/stroke_document.h"

namespace zevo::history {

// A copy of both renderers (work bitmaps and page images) as they stand after the first
// `Entries()` history entries have been drawn on the blank page. A backward step then redraws
// from the copy instead of from the first entry. The copy is used only when the blank page,
// the view and every entry up to it are still what they were when it was taken (compared by
// content), so it can never show anything the full redraw would not.
class RedrawCache {
 public:
  // What the drawing of entries 0..n-1 depends on besides the entries.
  struct Basis {
    const ink::BrushRenderer* view = nullptr;
    const ink::BrushRenderer* overview = nullptr;
    ink::PageView z;
    std::uint64_t blank_page = 0;  // hash of the blank page and overview
    bool operator==(const Basis& o) const {
      return view == o.view && overview == o.overview && z.z == o.z.z && z.ox == o.z.ox &&
             z.oy == o.z.oy && blank_page == o.blank_page;
    }
  };

  // Copies are taken every kSpacing entries.
  static constexpr int kSpacing = 32;

  int Entries() const { return entries_; }
  // Whether the copy holds the state after `n` entries of `doc` on `basis`.
  bool Matches(const Basis& basis, const ink::StrokeDocument& doc, ink::BrushRenderer& view,
               ink::BrushRenderer& overview) const;
  // Takes the copy after entries 0..n-1 of doc; false (and nothing kept) when the memory for
  // it is not there.
  bool Save(const Basis& basis, const ink::StrokeDocument& doc, int n, ink::BrushRenderer& view,
            ink::BrushRenderer& overview);
  // Puts the copy back into the renderers and their page images.
  void Restore(ink::BrushRenderer& view, ink::BrushRenderer& overview) const;
  void Forget() { entries_ = 0; }

  static std::uint64_t HashEntries(const ink::StrokeDocument& doc, int n);
  static std::uint64_t HashBitmap(const gfx::Bitmap24& b, std::uint64_t h);

 private:
  int entries_ = 0;
  Basis basis_;
  std::uint64_t entries_hash_ = 0;
  gfx::Bitmap24 view_work_, view_page_, overview_work_, overview_page_;
};

}  // namespace zevo::history
