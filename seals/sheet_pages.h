#pragma once

#include <memory>

#include "base/progress.h"
#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/page_views.h"
#include "ink/stroke_document.h"
#include "seals/background.h"
#include "seals/grid_layout.h"

namespace zevo::seals {

// The page without any entries, as navigation starts from it: copies of these two images, or
// white when there is none.
struct BlankPage {
  const gfx::Bitmap24* page = nullptr;
  const gfx::Bitmap24* overview = nullptr;
};

// The sheet under the writing: the background, the paper pages built from it, the trace
// model and its pages, and the writing grid and its pages. Each set of pages is rebuilt from
// the one below it (paper -> trace model -> grid).
class SheetPages {
 public:
  // Throws std::bad_alloc when the trace renderers' work bitmaps cannot be had.
  SheetPages(int page_width = ink::kPageWidth, int page_height = ink::kPageHeight,
             int overview_width = ink::kOverviewWidth, int overview_height = ink::kOverviewHeight);
  SheetPages(const SheetPages&) = delete;
  SheetPages& operator=(const SheetPages&) = delete;

  // The blank page: the grid page when the grid is shown, else the trace model page when the
  // model is shown, else the paper page when there is a background, else none.
  BlankPage Blank() const;
  // A new number each time the pages are rebuilt (see base::NextRevision): with the blank
  // page's address it tells whether the blank page is still the one a copy was drawn on.
  std::uint64_t Revision() const { return revision_; }

  // Rebuilds the paper pages from the background, then the trace and grid pages on them.
  void RebuildPaperPages(ink::PageView view, base::ProgressDisplay* progress);
  // Rebuilds the trace model pages, then the grid pages on them.
  void RebuildTracePages(ink::PageView view, base::ProgressDisplay* progress);
  // Rebuilds the grid pages from the trace model pages (model shown) or the paper pages.
  void RebuildGridPages(ink::PageView view);

  BackgroundState background;
  ink::StrokeDocument& TraceModel() { return *trace_model_; }
  const ink::StrokeDocument& TraceModel() const { return *trace_model_; }
  GridLayout grid;
  bool grid_shown = false;
  bool trace_shown = false;

  // The pages as last built; drawing on them directly lasts until the next rebuild.
  gfx::Bitmap24& PaperPage() { return paper_page_; }
  gfx::Bitmap24& PaperOverview() { return paper_overview_; }
  gfx::Bitmap24& TracePage() { return trace_page_; }
  gfx::Bitmap24& TraceOverview() { return trace_overview_; }
  gfx::Bitmap24& GridPage() { return grid_page_; }
  gfx::Bitmap24& GridOverview() { return grid_overview_; }

 private:
  gfx::Bitmap24 paper_page_, paper_overview_;
  gfx::Bitmap24 trace_page_, trace_overview_;
  gfx::Bitmap24 grid_page_, grid_overview_;
  std::unique_ptr<ink::StrokeDocument> trace_model_;
  std::unique_ptr<ink::BrushRenderer> trace_page_renderer_;
  std::unique_ptr<ink::BrushRenderer> trace_overview_renderer_;
  std::uint64_t revision_;
};

}  // namespace zevo::seals
