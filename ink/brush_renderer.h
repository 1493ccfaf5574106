#pragma once

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
  BrushRenderer(const BrushRenderer&) = delete;
  BrushRenderer& operator=(const BrushRenderer&) = delete;

  void SetColor(gfx::Color color);
  gfx::Color GetColor() const { return color_; }

  void BeginAt(float x, float y, float radius);
  void BeginAtWithContour(float x, float y, float radius);
  // The segment from the stored point into the work bitmap only (batch renderers).
  void DrawSegment(float x, float y, float radius);
  void LineTo(float x, float y, float radius);
  void LineToWithContour(float x, float y, float radius);

  // The target pixels a LineTo (with or without the contour) from the stored point to the one
  // given may change, right and bottom exclusive; not clamped to the target.
  gfx::Rect SegmentRect(float x, float y, float radius) const {
    const Box b = SegmentBox(x, y, radius);
    return {b.left, b.top, b.right, b.bottom};
  }

  // Target-pixel rectangle, right and bottom exclusive; clamped to the target.
  void DownsampleRect(int left, int top, int right, int bottom);
  void DownsampleAll();
  void ClearWhite();
  void LoadFromTarget();

  int Width() const { return width_; }
  int Height() const { return height_; }
  float X() const { return x_; }
  float Y() const { return y_; }
  float Radius() const { return radius_; }
  gfx::Bitmap24& Target() { return *target_; }
  gfx::Bitmap24& Work() { return work_; }
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

  float x_ = 0;
  float y_ = 0;
  float radius_ = 0;
  int width_;
  int height_;
  gfx::Color color_ = gfx::kBlack;
  gfx::Bitmap24* target_;
  gfx::Bitmap24 work_;
  gfx::Canvas canvas_;
};

}  // namespace zevo::ink
