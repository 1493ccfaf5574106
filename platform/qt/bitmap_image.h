#pragma once

#include <QImage>

#include "gfx/bitmap24.h"

namespace zevo::platform::qt {

// A QImage over the bitmap's own memory (blue-green-red bytes, the bitmap's stride): painting
// on it paints on the bitmap, nothing is copied. Valid while the bitmap lives and keeps its size.
inline QImage WrapBitmap(gfx::Bitmap24& bitmap) {
  return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(), qsizetype(bitmap.Stride()),
                QImage::Format_BGR888);
}

// Read-only: for drawing the bitmap somewhere else.
inline QImage WrapBitmap(const gfx::Bitmap24& bitmap) {
  return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(), qsizetype(bitmap.Stride()),
                QImage::Format_BGR888);
}

}  // namespace zevo::platform::qt
