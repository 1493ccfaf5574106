#include "seals/trace_pages.h"

#include "gfx/canvas.h"
#include "ink/entry_painter.h"

namespace zevo::seals {

void RebuildTracePages(const BackgroundView& background, const gfx::Bitmap24& paper_page,
                       const gfx::Bitmap24& paper_overview, ink::StrokeDocument& trace_model,
                       bool trace_shown, PageView view, ink::BrushRenderer& page_renderer,
                       ink::BrushRenderer& overview_renderer, base::ProgressDisplay* progress) {
  if (background.Present()) {
    gfx::Canvas(page_renderer.Target()).Draw(0, 0, paper_page);
    gfx::Canvas(overview_renderer.Target()).Draw(0, 0, paper_overview);
    page_renderer.LoadFromTarget();
    overview_renderer.LoadFromTarget();
  } else {
    page_renderer.ClearWhite();
    overview_renderer.ClearWhite();
  }
  if (!trace_shown) {
    trace_model.Clear();
    return;
  }
  const ink::EntryStyle style{kTraceColor, true};
  const ink::ViewMapping page_map(view);
  const ink::OverviewMapping overview_map;
  ink::EntryPainter page(page_renderer, page_map, style);
  ink::EntryPainter overview(overview_renderer, overview_map, style);
  base::ProgressRun run(progress, trace_model.Count(), base::kProgressLineTraceModel);
  for (ink::Stroke* e = trace_model.GotoHead(); e != nullptr; e = trace_model.StepForward()) {
    const ink::Stroke* next = trace_model.Entry(trace_model.Position());
    page.Draw(*e, next);
    overview.Draw(*e, next);
    run.Step();
  }
  page.Flush();
  overview.Flush();
}

}  // namespace zevo::seals
