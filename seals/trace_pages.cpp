#include "seals/trace_pages.h"

#include "gfx/canvas.h"

namespace zevo::seals {

namespace {

int Trunc(float v) {
  if (!(v > -268435456.0f)) return -268435456;
  if (v > 268435456.0f) return 268435456;
  return int(v);
}

void FillOnWork(ink::BrushRenderer& r, int x, int y) {
  r.WorkCanvas().FloodFill(x, y);
  r.DownsampleAll();
}

}  // namespace

void RebuildTracePages(const BackgroundView& background, const gfx::Bitmap24& paper_page,
                       const gfx::Bitmap24& paper_overview, ink::StrokeDocument& trace_model,
                       bool trace_shown, PageView view, ink::BrushRenderer& page_renderer,
                       ink::BrushRenderer& overview_renderer, output::ProgressDisplay* progress) {
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
  const float z = view.z, ox = view.ox, oy = view.oy;
  const bool unzoomed = z == 1.0f;
  output::ProgressRun run(progress, trace_model.Count(), output::kProgressLineTraceModel);
  for (ink::Stroke* e = trace_model.GotoHead(); e != nullptr; e = trace_model.StepForward()) {
    if (e->kind == ink::StrokeKind::Ink && !e->samples.empty()) {
      page_renderer.SetColor(kTraceColor);
      overview_renderer.SetColor(kTraceColor);
      bool first = true;
      for (const ink::StrokeSample& s : e->samples) {
        float x = s.x, y = s.y, r = s.radius;
        if (!unzoomed) {
          x = z * (s.x - ox);
          y = z * (s.y - oy);
          r = z * s.radius;
        }
        const float qx = s.x * 0.25f, qy = s.y * 0.25f, qr = s.radius * 0.25f;
        if (first) {
          page_renderer.BeginAt(x, y, r);
          overview_renderer.BeginAt(qx, qy, qr);
          first = false;
        } else {
          page_renderer.LineTo(x, y, r);
          overview_renderer.LineTo(qx, qy, qr);
        }
      }
    } else if (e->kind == ink::StrokeKind::Fill) {
      page_renderer.SetColor(kTraceColor);
      overview_renderer.SetColor(kTraceColor);
      // The overview's work bitmap is the page at paper resolution.
      FillOnWork(overview_renderer, Trunc(e->x), Trunc(e->y));
      if (unzoomed)
        FillOnWork(page_renderer, 4 * Trunc(e->x), 4 * Trunc(e->y));
      else
        FillOnWork(page_renderer, Trunc(4 * z * (e->x - ox)), Trunc(4 * z * (e->y - oy)));
    }
    run.Step();
  }
}

}  // namespace zevo::seals
