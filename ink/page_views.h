#pragma once

#include <memory>
#include <utility>

#include "gfx/bitmap24.h"
#include "ink/brush_renderer.h"
#include "ink/entry_painter.h"
#include "ink/stroke_document.h"

namespace zevo::ink {

// The sheet at 100 % and its overview.
inline constexpr int kPageWidth = 1024;
inline constexpr int kPageHeight = 718;
inline constexpr int kOverviewWidth = 256;
inline constexpr int kOverviewHeight = 180;

// A sample as the page view shows it: view pixels.
struct ViewPoint {
  float x = 0, y = 0, radius = 0;
};

// The page image and the overview image with their renderers and the paper -> view transform:
// the one path by which the pen, replay, navigation and the trace model draw. Every drawing
// here keeps the overview in step with the page.
class PageViews {
 public:
  // Throws std::bad_alloc when the work bitmaps cannot be had.
  PageViews(int page_width = kPageWidth, int page_height = kPageHeight,
            int overview_width = kOverviewWidth, int overview_height = kOverviewHeight);
  PageViews(const PageViews&) = delete;
  PageViews& operator=(const PageViews&) = delete;

  gfx::Bitmap24& Page() { return page_; }
  const gfx::Bitmap24& Page() const { return page_; }
  gfx::Bitmap24& Overview() { return overview_; }
  const gfx::Bitmap24& Overview() const { return overview_; }
  BrushRenderer& ViewRenderer() { return *view_; }
  BrushRenderer& OverviewRenderer() { return *overview_r_; }

  PageView Transform() const { return transform_; }
  void SetTransform(PageView v);
  const EntryMapping& ViewMap() const { return view_map_; }
  const EntryMapping& OverviewMap() const { return overview_map_; }

  // The pen, in view pixels. Each returns the paper sample to record.
  StrokeSample BeginStroke(ViewPoint p, gfx::Color color, bool contour);
  StrokeSample ContinueStroke(ViewPoint p, bool contour);
  // A flood fill at a paper point on both views.
  void FillAt(float paper_x, float paper_y, gfx::Color color);
  // Paper coordinates of a view point.
  void ToPaper(float vx, float vy, float& px, float& py) const;

  // Replay of a recorded stroke, sample by sample; ContinueSample returns where the sample
  // lies on the page view.
  void BeginSample(const StrokeSample& s, gfx::Color color);
  ViewPoint ContinueSample(const StrokeSample& s);

  // One entry whole, averaged at once.
  void DrawEntry(const Stroke& entry);
  // Both views show the blank page given (a copy is drawn), or white when there is none.
  void ShowBlank(const gfx::Bitmap24* page, const gfx::Bitmap24* overview);

  // What the pen changed since the last call: page and overview pixels (empty when nothing),
  // for the window to show at once.
  struct Change {
    gfx::Rect page, overview;
  };
  Change TakePenChange() { return std::exchange(pen_change_, {}); }

  // The timer shows replay drawing and fills at its next tick; navigation wants it shown now.
  void MarkPending() { pending_ = true; }
  bool TakePending() { return std::exchange(pending_, false); }
  void MarkChanged() { changed_ = true; }
  bool TakeChanged() { return std::exchange(changed_, false); }

 private:
  // Draws a pen sample on both views (the first of a stroke, or the next) and returns it in
  // paper coordinates.
  StrokeSample PenSample(ViewPoint p, bool begin, bool contour);

  gfx::Bitmap24 page_;
  gfx::Bitmap24 overview_;
  std::unique_ptr<BrushRenderer> view_;
  std::unique_ptr<BrushRenderer> overview_r_;
  PageView transform_;
  ViewMapping view_map_;
  OverviewMapping overview_map_;
  Change pen_change_;
  bool pending_ = false;
  bool changed_ = false;
};

}  // namespace zevo::ink
