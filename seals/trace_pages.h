#pragma once

#include "base/progress.h"
#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/stroke_document.h"
#include "seals/background.h"
#include "seals/paper_pages.h"

namespace zevo::seals {

// The colour every trace model is drawn in, whatever colour it was written in.
inline constexpr gfx::Color kTraceColor = 0x00B0B0FF;

// Rebuilds the two trace model pages (the targets of page_renderer and overview_renderer)
// from the paper pages and the trace model: the paper under it (or white), then every Ink and
// Fill entry of the model in the trace colour. A model that is not shown is cleared: a hidden
// model does not survive a rebuild. The model is left positioned at its last entry.
void RebuildTracePages(const BackgroundView& background, const gfx::Bitmap24& paper_page,
                       const gfx::Bitmap24& paper_overview, ink::StrokeDocument& trace_model,
                       bool trace_shown, PageView view, ink::BrushRenderer& page_renderer,
                       ink::BrushRenderer& overview_renderer,
                       base::ProgressDisplay* progress = nullptr);

}  // namespace zevo::seals
