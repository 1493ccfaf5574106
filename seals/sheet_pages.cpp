#include "seals/sheet_pages.h"

#include "base/revision.h"
#include "seals/grid_pages.h"
#include "seals/paper_pages.h"
#include "seals/trace_pages.h"

namespace zevo::seals {

SheetPages::SheetPages(int page_width, int page_height, int overview_width, int overview_height)
    : grid(LayoutFromPreset(kGridPresets[kInitialGridPreset], true, true)),
      paper_page_(page_width, page_height, gfx::kWhite),
      paper_overview_(overview_width, overview_height, gfx::kWhite),
      trace_page_(paper_page_),
      trace_overview_(paper_overview_),
      grid_page_(paper_page_),
      grid_overview_(paper_overview_),
      trace_model_(std::make_unique<ink::StrokeDocument>(page_width, page_height)),
      trace_page_renderer_(std::make_unique<ink::BrushRenderer>(trace_page_)),
      trace_overview_renderer_(std::make_unique<ink::BrushRenderer>(trace_overview_)),
      revision_(base::NextRevision()) {
  trace_page_renderer_->ClearWhite();
  trace_overview_renderer_->ClearWhite();
}

BlankPage SheetPages::Blank() const {
  if (grid_shown) return {&grid_page_, &grid_overview_};
  if (trace_shown) return {&trace_page_, &trace_overview_};
  if (background.View().Present()) return {&paper_page_, &paper_overview_};
  return {};
}

void SheetPages::RebuildPaperPages(ink::PageView view, base::ProgressDisplay* progress) {
  BuildPaperPages(background.View(), view, paper_page_, paper_overview_);
  RebuildTracePages(view, progress);
}

void SheetPages::RebuildTracePages(ink::PageView view, base::ProgressDisplay* progress) {
  seals::RebuildTracePages(background.View(), paper_page_, paper_overview_, *trace_model_,
                           trace_shown, view, *trace_page_renderer_, *trace_overview_renderer_,
                           progress);
  RebuildGridPages(view);
}

void SheetPages::RebuildGridPages(ink::PageView view) {
  const bool on_trace = trace_shown;
  BuildGridPages(on_trace ? trace_page_ : paper_page_, on_trace ? trace_overview_ : paper_overview_,
                 grid, view, grid_page_, grid_overview_);
  revision_ = base::NextRevision();
}

}  // namespace zevo::seals
