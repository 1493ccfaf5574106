#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/bitmap24.h"

namespace zevo::gfx {

// What a delta is told against: a bitmap, or a smaller one each of whose pixels stands for a
// block of scale x scale pixels (a renderer's work bitmap as it stands just after being loaded
// from its page), which is widened a row at a time and so costs neither the memory of the whole
// nor the reading of it.
class DeltaReference {
 public:
  DeltaReference(const Bitmap24& bitmap) : bitmap_(&bitmap) {}  // NOLINT: a bitmap is one
  static DeltaReference Scaled(const Bitmap24& small, int scale) {
    DeltaReference r(small);
    r.scale_ = scale < 1 ? 1 : scale;
    return r;
  }

  int Width() const { return bitmap_->Width() * scale_; }
  int Height() const { return bitmap_->Height() * scale_; }
  // Row y's pixels (y within the height); a widened row stays valid until the next call.
  const std::uint8_t* Row(int y);

 private:
  const Bitmap24* bitmap_;
  int scale_ = 1;
  std::vector<std::uint8_t> row_;
  int widened_ = -1;         // the small bitmap's row held in row_
  bool one_colour_ = false;  // row_ is of one colour
};

// A bitmap kept as its difference from a reference bitmap of the same size: per row, runs of
// pixels equal to the reference, runs of one colour, and the other pixels as they are. A page
// of ink over a blank page is mostly the first two, so it keeps in a small part of its size.
class BitmapDelta {
 public:
  // The delta of `b` from `ref`; nothing when their sizes differ or the memory is not there.
  static std::optional<BitmapDelta> Make(const Bitmap24& b, DeltaReference ref);
  // The delta of rows [top, bottom) of `b` only (clamped to its rows): a part, which Append
  // completes with the parts of the rows below it, so that parts are told on different threads.
  static std::optional<BitmapDelta> MakeRows(const Bitmap24& b, DeltaReference ref, int top,
                                             int bottom);
  // Appends the part of the rows that follow this one's; false (nothing changed) when it is not
  // of the same bitmap size, does not begin where this one ends, or the memory is not there.
  bool Append(const BitmapDelta& below);

  // Writes the bitmap the delta was made from into `out`, which has the reference's size;
  // false (nothing written) when `ref` or `out` is not of the size it was made for, or the
  // delta is a part that does not hold every row.
  bool Apply(DeltaReference ref, Bitmap24& out) const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Whether every row is held (not only a part).
  bool Whole() const { return top_ == 0 && bottom_ == height_; }
  // The memory the delta holds.
  std::size_t Bytes() const { return ops_.capacity() * sizeof(std::uint32_t); }

 private:
  int width_ = 0;
  int height_ = 0;
  // The rows held, [top_, bottom_): all of them but in a part.
  int top_ = 0;
  int bottom_ = 0;
  // Per row, runs that together are the row's width. Each run is a word of kind (top two bits)
  // and length; a run of one colour is followed by the colour, a run of other pixels by its
  // pixels' bytes packed into words.
  std::vector<std::uint32_t> ops_;
};

}  // namespace zevo::gfx
