#include "workspace/zoom_view.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/truncate.h"
#include "workspace/skin_layout.h"

namespace zevo::workspace {

namespace {

constexpr int kOverviewW = ink::kOverviewWidth;
constexpr int kOverviewH = ink::kOverviewHeight;

// The frame of w x h with its top-left corner at (left, top), moved back onto the overview.
gfx::Rect FrameAt(int left, int top, int w, int h) {
  left = std::clamp(left, 0, std::max(kOverviewW - w, 0));
  top = std::clamp(top, 0, std::max(kOverviewH - h, 0));
  return {left, top, left + w, top + h};
}

// One axis of the frame's snapping: `pos` is the pointer, the frame's centre; the frame's
// leading edge goes onto the nearest of the overview's leading edge, the grid's lines (all
// but the last) and, for its trailing edge, the overview's far edge, if that is near enough.
// Grid lines are in paper pixels. Ties keep the earlier candidate.
int SnapAxis(int pos, int size, int extent, std::int64_t count, std::int64_t cell,
             std::int64_t first) {
  const int half = size >> 1;
  const std::int64_t lead = pos - half;
  // Left of the overview the distance to its edge counts as negative: the frame goes there.
  std::int64_t best = lead;
  std::int64_t target = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    const std::int64_t g = (i * cell + first) >> 2;
    if (std::llabs(lead - g) < best) {
      best = std::llabs(lead - g);
      target = g;
    }
  }
  if (std::llabs(lead + size - extent) < best) {
    best = std::llabs(lead + size - extent);
    target = extent - 1;  // the frame is then pushed back inside
  }
  if (best < kFrameSnapDistance) return int(half + target);
  return pos;
}

// The frame's place for a pointer at its centre, kept inside the overview.
void PlaceFrame(ZoomView& zoom, const seals::GridLayout* snap, int x, int y) {
  const float z = zoom.Zoom();
  const int w = FrameWidth(z), h = FrameHeight(z);
  if (snap != nullptr) {
    x = SnapAxis(x, w, kOverviewW, snap->column_count, snap->cell_width, snap->left);
    y = SnapAxis(y, h, kOverviewH, snap->row_count, snap->cell_height, snap->top);
  }
  zoom.shape = FrameAt(x - (w >> 1), y - (h >> 1), w, h);
}

}  // namespace

float ZoomView::Zoom() const {
  return float(kZoomPercents[zoom_index]) * 0.01f;
}

ink::PageView ZoomView::View() const {
  // The overview is a quarter of the paper.
  return {Zoom(), float(4 * zoom_frame.left), float(4 * zoom_frame.top)};
}

int FrameWidth(float zoom) {
  return base::TruncToInt(float(kOverviewW) / zoom);
}

int FrameHeight(float zoom) {
  return base::TruncToInt(float(kOverviewH) / zoom);
}

bool SetZoom(ZoomView& zoom, int index) {
  if (index < 0 || index >= int(kZoomPercents.size()) || index == zoom.zoom_index) return false;
  zoom.zoom_index = index;
  const gfx::Rect& f = zoom.zoom_frame;
  const int cx = (f.left + f.right) / 2, cy = (f.top + f.bottom) / 2;
  const int w = FrameWidth(zoom.Zoom()), h = FrameHeight(zoom.Zoom());
  zoom.zoom_frame = zoom.shape = FrameAt(cx - w / 2, cy - h / 2, w, h);
  return true;
}

void OverviewPress(ZoomView& zoom, const seals::GridLayout* snap, int x, int y) {
  zoom.dragging = true;
  PlaceFrame(zoom, snap, x, y);
}

void OverviewMove(ZoomView& zoom, const seals::GridLayout* snap, int x, int y) {
  if (zoom.dragging) PlaceFrame(zoom, snap, x, y);
}

bool OverviewRelease(ZoomView& zoom) {
  zoom.dragging = false;
  if (zoom.shape == zoom.zoom_frame) return false;
  zoom.zoom_frame = zoom.shape;
  return true;
}

void FlipZoomPanel(ZoomView& zoom, PanelControl& zoom_panel) {
  zoom.zoom_panel_expanded = !zoom.zoom_panel_expanded;
  // The panel keeps its bottom edge, on the control panel's top.
  const int bottom = zoom_panel.top + zoom_panel.height;
  zoom_panel.height = zoom.zoom_panel_expanded ? kZoomPanelHeight : kZoomTitleHeight;
  zoom_panel.top = bottom - zoom_panel.height;
}

void ApplyZoomView(const ZoomView& zoom, ink::PageViews& views, seals::SheetPages& sheet,
                   base::ProgressDisplay* progress) {
  views.SetTransform(zoom.View());
  sheet.RebuildPaperPages(views.Transform(), progress);
}

}  // namespace zevo::workspace
