#pragma once

#include <array>

#include "base/progress.h"
#include "gfx/bitmap24.h"
#include "ink/entry_painter.h"
#include "ink/page_views.h"
#include "seals/grid_layout.h"
#include "seals/sheet_pages.h"
#include "workspace/components.h"

namespace zevo::workspace {

// The zoom of the main view and the frame on the overview that marks what it shows. The
// overview is the whole sheet at a quarter of its size; the view shows the paper from its
// origin, four times the frame's top-left corner, at 1, 2, 4 or 8 times.

// The four zoom choices, in percent.
inline constexpr std::array<int, 4> kZoomPercents{100, 200, 400, 800};
// Within this many overview pixels a dragged frame's edge goes onto a grid line.
inline constexpr int kFrameSnapDistance = 10;

struct ZoomView {
  int zoom_index = 0;
  // The frame as last applied to the view, in overview pixels.
  gfx::Rect zoom_frame{0, 0, ink::kOverviewWidth, ink::kOverviewHeight};
  // Where the frame is drawn: it follows a drag at once, the view follows at the release.
  gfx::Rect shape{0, 0, ink::kOverviewWidth, ink::kOverviewHeight};
  bool dragging = false;  // the overview is being dragged
  bool zoom_panel_expanded = true;

  float Zoom() const;
  // The main view's transform: the zoom and the paper point at its top-left corner.
  ink::PageView View() const;
};

// The frame's size at a zoom: the view's share of the overview.
int FrameWidth(float zoom);
int FrameHeight(float zoom);

// A zoom choice (0 .. 3): the frame keeps its centre as far as the overview allows. Returns
// whether the view changed.
bool SetZoom(ZoomView& zoom, int index);

// The overview's mouse, in overview pixels. A press starts a drag and moves the frame's centre
// to the point, as does every move while dragging; with `snap` given (the grid shown and Shift
// not held) an edge near a line of that grid goes onto it. The release ends the drag and
// returns whether the frame now lies elsewhere than the view shows, the view to follow.
void OverviewPress(ZoomView& zoom, const seals::GridLayout* snap, int x, int y);
void OverviewMove(ZoomView& zoom, const seals::GridLayout* snap, int x, int y);
bool OverviewRelease(ZoomView& zoom);

// The title strip opens or closes the panel, which keeps its bottom edge.
void FlipZoomPanel(ZoomView& zoom, PanelControl& zoom_panel);

// Gives the page views the zoom's transform and rebuilds the pages made for it: paper, trace
// model and grid. The caller then redraws the views from the history (a full redraw).
void ApplyZoomView(const ZoomView& zoom, ink::PageViews& views, seals::SheetPages& sheet,
                   base::ProgressDisplay* progress);

}  // namespace zevo::workspace
