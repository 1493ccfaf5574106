#include "gfx/bitmap24.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace zevo::gfx {

Bitmap24::Bitmap24(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
    throw std::invalid_argument("bitmap size out of range");
  width_ = width;
  height_ = height;
  stride_ = StrideFor(width);
  pixels_.assign(std::size_t(stride_) * std::size_t(height), 0);
}

Bitmap24::Bitmap24(int width, int height, Color fill) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
    throw std::invalid_argument("bitmap size out of range");
  width_ = width;
  height_ = height;
  stride_ = StrideFor(width);
  pixels_.resize(std::size_t(stride_) * std::size_t(height));  // left as allocated
  Fill(fill);
  const std::size_t used = std::size_t(width) * 3, pad = std::size_t(stride_) - used;
  if (pad != 0)
    for (int y = 0; y < height; ++y) std::memset(Row(y) + used, 0, pad);
}

std::optional<Bitmap24> Bitmap24::TryCreate(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
  try {
    return Bitmap24(width, height);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

std::optional<Bitmap24> Bitmap24::TryCreateFilled(int width, int height, Color fill) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
  try {
    return Bitmap24(width, height, fill);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

Color Bitmap24::Pixel(int x, int y) const {
  if (!Contains(x, y)) return kInvalidColor;
  const std::uint8_t* p = Row(y) + x * 3;
  return Rgb(p[2], p[1], p[0]);
}

void Bitmap24::SetPixel(int x, int y, Color c) {
  if (!Contains(x, y)) return;
  std::uint8_t* p = Row(y) + x * 3;
  p[0] = BlueOf(c);
  p[1] = GreenOf(c);
  p[2] = RedOf(c);
}

void Bitmap24::Fill(Color c) {
  FillRect(Rect{0, 0, width_, height_}, c);
}

void Bitmap24::FillRect(Rect r, Color c) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, width_);
  r.bottom = std::min(r.bottom, height_);
  if (r.Empty()) return;
  const std::uint8_t b = BlueOf(c), g = GreenOf(c), red = RedOf(c);
  const std::size_t n = std::size_t(r.Width()) * 3;
  std::uint8_t* first = Row(r.top) + r.left * 3;
  if (b == g && g == red) {
    for (int y = r.top; y < r.bottom; ++y) std::memset(Row(y) + r.left * 3, b, n);
    return;
  }
  for (int x = 0; x < r.Width(); ++x) {
    first[x * 3] = b;
    first[x * 3 + 1] = g;
    first[x * 3 + 2] = red;
  }
  for (int y = r.top + 1; y < r.bottom; ++y) std::memcpy(Row(y) + r.left * 3, first, n);
}

bool Bitmap24::SamePixels(const Bitmap24& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  for (int y = 0; y < height_; ++y)
    if (std::memcmp(Row(y), other.Row(y), std::size_t(width_) * 3) != 0) return false;
  return true;
}

}  // namespace zevo::gfx
