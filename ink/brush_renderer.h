#pragma once

#include <algorithm>
#include <cstdint>

#include "gfx/bitmap24.h"
#include "gfx/canvas.h"

namespace zevo::ink {

// Draws discs and the quadrilaterals that join them into a private work bitmap at four
// times the target's resolution, and averages 4 x 4 blocks into the target.
// All coordinates and radii are floats in target pixels.
class BrushRenderer {
 public:
  // The target is not owned and must outlive the renderer. Throws std::bad_alloc when the
  // work bitmap cannot be had.
  explicit BrushRenderer(gfx::Bitmap24& target);
  // A renderer that draws the target in bands of band_rows target rows (the whole target when
  // band_rows is its height or more): the work bitmap holds one band, white at first. All
  // coordinates stay those of the whole target; SetBand chooses the rows drawn and averaged.
  BrushRenderer(gfx::Bitmap24& target, int band_rows);
  // A renderer of target rows [top, bottom) of `whole`, which must outlive it: it draws into
  // whole's work bitmap and averages into its target, reading and writing no other rows, so
  // that parts of different rows may draw at once on different threads (no fills, which read
  // every row). It starts with whole's drawing state, and draws as a band does.
  BrushRenderer(BrushRenderer& whole, int top, int bottom);
  // Takes on the drawing state (point, radius, colour) a part of this renderer ended with.
  void FollowPart(const BrushRenderer& part);
  BrushRenderer(const BrushRenderer&) = delete;
  BrushRenderer& operator=(const BrushRenderer&) = delete;

  void SetColor(gfx::Color color);
  gfx::Color GetColor() const { return color_; }

  void BeginAt(float x, float y, float radius);
  void BeginAtWithContour(float x, float y, float radius);
  // The segment from the stored point into the work bitmap only (batch renderers).
  void DrawSegment(float x, float y, float radius);
  // Moves the stored point without drawing (a run of samples that misses the band).
  void MoveTo(float x, float y, float radius) {
    x_ = x;
    y_ = y;
    radius_ = radius;
  }
  void LineTo(float x, float y, float radius);
  void LineToWithContour(float x, float y, float radius);

  // The target pixels a LineTo (with or without the contour) from the stored point to the one
  // given may change, right and bottom exclusive; not clamped to the target.
  gfx::Rect SegmentRect(float x, float y, float radius) const {
    const Box b = SegmentBox(x, y, radius);
    return {b.left, b.top, b.right, b.bottom};
  }

  // Target-pixel rectangle, right and bottom exclusive; clamped to the target (to the band).
  void DownsampleRect(int left, int top, int right, int bottom);
  void DownsampleAll();
  void ClearWhite();
  void LoadFromTarget();

  // Drawing in bands: the band of target rows [top, top + band rows) becomes the one drawn.
  void SetBand(int top);
  bool Banded() const { return band_rows_ < height_; }
  // The band's target rows, [BandTop(), BandBottom()).
  int BandTop() const { return band_top_; }
  int BandBottom() const { return std::min(band_top_ + band_rows_, height_); }
  // Makes a target rectangle of the band's work pixels white again.
  void ClearWhiteRect(int left, int top, int right, int bottom);
  // The pixels of the work bitmap of the whole target, drawn in bands or not.
  std::uint64_t WorkArea() const { return std::uint64_t(4 * width_) * std::uint64_t(4 * height_); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  float X() const { return x_; }
  float Y() const { return y_; }
  float Radius() const { return radius_; }
  gfx::Bitmap24& Target() { return *target_; }
  gfx::Bitmap24& Work() { return *work_; }
  // Direct drawing on the work bitmap (pictures, stamps, fills, grid lines, backgrounds).
  gfx::Canvas& WorkCanvas() { return canvas_; }

 private:
  struct Box {
    int left, top, right, bottom;
  };
  Box SegmentBox(float x1, float y1, float r1) const;
  void DrawDisc(float x, float y, float r);
  void DrawContour(float x, float y, float r);
  void RestoreDrawingState();

  // Whether a segment to (x1, y1, r1) cannot reach the band's rows.
  bool SegmentMissesBand(float x1, float y1, float r1) const;

  float x_ = 0;
  float y_ = 0;
  float radius_ = 0;
  int width_;
  int height_;
  int band_rows_;
  int band_top_ = 0;
  gfx::Color color_ = gfx::kBlack;
  // The target row the work bitmap's first row of four belongs to (a band's top).
  int work_row0_ = 0;
  gfx::Bitmap24* target_;
  gfx::Bitmap24 own_work_;  // none for a part
  gfx::Bitmap24* work_;
  gfx::Canvas canvas_;
};

}  // namespace zevo::ink
