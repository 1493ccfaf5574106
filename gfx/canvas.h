#pragma once

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::gfx {

// Raster operation of the pen (and of brush fills), as the classic desktop API has them.
enum class PenMode {
  Copy,    // pixel = colour
  NotXor,  // pixel = ~(colour ^ pixel): a black pen inverts; twice restores
};

enum class BrushStyle { Solid, Clear };

struct Pen {
  Color color = kBlack;
  int width = 1;
  PenMode mode = PenMode::Copy;
};

struct Brush {
  Color color = kWhite;
  BrushStyle style = BrushStyle::Solid;
};

// The 2-D primitives the renderers, pages and panels draw with, on one Bitmap24.
// Geometry follows the classic desktop API: shape boxes exclude their right and bottom
// edges, lines exclude their end point. Everything is clipped to the bitmap.
class Canvas {
 public:
  explicit Canvas(Bitmap24& target) : target_(&target) {}

  Bitmap24& Target() { return *target_; }
  const Bitmap24& Target() const { return *target_; }

  Pen pen;
  Brush brush;

  // The ellipse inscribed in the box [left, right) x [top, bottom): the inside with the
  // brush, an outline pen.width pixels wide (inside the box) with the pen.
  void Ellipse(int left, int top, int right, int bottom);
  // Filled with the brush by the alternate (even-odd) rule, outlined with a 1-pixel pen.
  void Polygon(std::span<const Point> points);
  // Ellipse, then Polygon: the brush renderer's disc and the quadrilateral joining it to the
  // previous one, drawn in one pass over their rows when both are of one colour.
  void EllipseAndPolygon(int left, int top, int right, int bottom, std::span<const Point> points);
  // Rectangle filled with the brush, no outline.
  void FillRect(Rect r);

  void MoveTo(int x, int y) { pos_ = {x, y}; }
  // A line of pen.width from the current position to (x, y), the end point excluded;
  // (x, y) becomes the current position.
  void LineTo(int x, int y);
  Point Position() const { return pos_; }

  // Fills the 4-connected area around (x, y) that has (x, y)'s colour with the brush colour.
  // A seed outside the bitmap does nothing. Memory is bounded by the number of pending spans.
  // Returns the number of pixels filled.
  std::size_t FloodFill(int x, int y);

  // Copies src's rectangle srcRect into dest, nearest pixel; negative extents mirror.
  void StretchCopy(Rect dest, const Bitmap24& src, Rect srcRect);
  void StretchCopy(Rect dest, const Bitmap24& src) {
    StretchCopy(dest, src, Rect{0, 0, src.Width(), src.Height()});
  }
  // As StretchCopy of the whole source, leaving out source pixels of the transparent colour.
  void StretchDrawTransparent(Rect dest, const Bitmap24& src, Color transparent);
  // The whole source at its natural size with its top-left corner at (x, y).
  void Draw(int x, int y, const Bitmap24& src) {
    StretchCopy(Rect{x, y, x + src.Width(), y + src.Height()}, src);
  }

  // Drawing in bands: the target holds rows [first_row, first_row + Target().Height()) of a
  // bitmap full_height rows high. Coordinates stay those of the whole bitmap, and everything is
  // clipped to the rows held as it is to the bitmap's edges, so a band gets exactly its rows of
  // the whole picture. A canvas that holds a band does not flood (a fill depends on every row).
  void SetRows(int first_row, int full_height);
  int FirstRow() const { return row0_; }
  // One past the last row held.
  int EndRow() const { return full_height_ < 0 ? target_->Height() : end_row_; }
  int FullHeight() const { return full_height_ < 0 ? target_->Height() : full_height_; }
  // Drawing only rows [top, bottom) of those held: everything is clipped to them, and nothing
  // else is read or written (no flooding), so that canvases of different rows of one bitmap may
  // draw at once on different threads. Cleared by SetRows.
  void SetClipRows(int top, int bottom);
  // The rows drawn: those held, or the clip rows within them.
  int ClipTop() const { return clipped_ ? clip_top_ : row0_; }
  int ClipEnd() const { return clipped_ ? clip_end_ : EndRow(); }

  // How many pixels this canvas has written since it was made: the measure of drawing work that
  // lets a renderer bound what a hostile history may cost.
  std::uint64_t PixelsWritten() const { return pixels_written_; }

  // A run of drawing in one colour, copy mode (a stroke's discs and joins): its spans of that
  // colour are gathered and each row's union is written once at the end, instead of writing
  // the pixels where the discs overlap again and again. The result is the same pixels; the
  // work counted is what was asked for, as without the batch. Any other span (another colour
  // or mode) writes the gathered ones first, so the order of drawing is kept.
  void BeginSpanBatch(Color c);
  void EndSpanBatch();

 private:
  void StretchImpl(Rect dest, const Bitmap24& src, Rect srcRect, bool transparent, Color key);
  void ConvexPolygon(std::span<const Point> points);
  void PlotSpan(int y, int x0, int x1, Color c, PenMode mode);
  void PenDot(int x, int y);

  void FlushSpanBatch();
  void FillSpan(int y, int x0, int x1, Color c);
  // A span of the batch's colour, already clipped: joined to the row's last span when they
  // touch, else that one is set aside and this one becomes the last.
  void BatchSpan(int y, int x0, int x1) {
    std::pair<int, int>& last = batch_last_[std::size_t(y - row0_)];
    if (last.first > last.second) {
      batch_touched_.push_back(y);
      last = {x0, x1};
    } else if (x0 <= last.second + 1 && last.first <= x1 + 1) {
      last.first = std::min(last.first, x0);
      last.second = std::max(last.second, x1);
    } else {
      batch_rows_[std::size_t(y - row0_)].push_back(last);
      last = {x0, x1};
    }
  }

  std::uint8_t* RowOf(int y) { return target_->Row(y - row0_); }

  Bitmap24* target_;
  // The rows held (SetRows); full_height_ < 0 for the whole target.
  int row0_ = 0;
  int full_height_ = -1;
  int end_row_ = 0;
  bool clipped_ = false;
  int clip_top_ = 0;
  int clip_end_ = 0;
  Point pos_;
  std::uint64_t pixels_written_ = 0;
  // The batch: per row the last span gathered (empty when first > second) and the spans set
  // aside before it (kept few by joining each new span to the last one when they touch), and
  // the rows that have any.
  bool batching_ = false;
  Color batch_color_ = 0;
  std::vector<std::pair<int, int>> batch_last_;
  std::vector<std::vector<std::pair<int, int>>> batch_rows_;
  std::vector<int> batch_touched_;
};

}  // namespace zevo::gfx
