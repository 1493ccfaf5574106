#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/geometry.h"

namespace zevo::gfx {

// A colour as the program stores it: 0x00BBGGRR, red in the low byte.
using Color = std::uint32_t;

inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kWhite = 0x00FFFFFF;
// What a pixel read outside a bitmap returns.
inline constexpr Color kInvalidColor = 0xFFFFFFFF;

constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr std::uint8_t RedOf(Color c) {
  return std::uint8_t(c);
}
constexpr std::uint8_t GreenOf(Color c) {
  return std::uint8_t(c >> 8);
}
constexpr std::uint8_t BlueOf(Color c) {
  return std::uint8_t(c >> 16);
}

using Point = base::Point;
using Rect = base::Rect;

// An allocator whose elements made without a value are left as the memory holds them, so that
// a bitmap about to be filled is written once, not zeroed first.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// 24 bits per pixel, bytes blue-green-red, rows top-down, each row padded to 4 bytes.
class Bitmap24 {
 public:
  // The largest side a bitmap may have; anything larger is a damaged size, not a picture.
  static constexpr int kMaxSide = 1 << 15;

  Bitmap24() = default;
  // A black bitmap. Throws std::bad_alloc when the memory is not there and
  // std::invalid_argument for a negative or oversized side.
  Bitmap24(int width, int height);
  // Every pixel fill (the row padding zero), written once.
  Bitmap24(int width, int height, Color fill);

  // The same without exceptions: nullopt when the size is invalid or cannot be allocated.
  static std::optional<Bitmap24> TryCreate(int width, int height);
  static std::optional<Bitmap24> TryCreateFilled(int width, int height, Color fill);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::ptrdiff_t Stride() const { return stride_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t ByteSize() const { return pixels_.size(); }

  std::uint8_t* Data() { return pixels_.data(); }
  const std::uint8_t* Data() const { return pixels_.data(); }
  std::uint8_t* Row(int y) { return pixels_.data() + y * stride_; }
  const std::uint8_t* Row(int y) const { return pixels_.data() + y * stride_; }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // kInvalidColor outside the bitmap.
  Color Pixel(int x, int y) const;
  // Ignored outside the bitmap.
  void SetPixel(int x, int y, Color c);
  void Fill(Color c);
  // Clipped to the bitmap.
  void FillRect(Rect r, Color c);

  // Same size and same pixels (row padding is not compared).
  bool SamePixels(const Bitmap24& other) const;

  static std::ptrdiff_t StrideFor(int width) {
    return (std::ptrdiff_t(width) * 3 + 3) & ~std::ptrdiff_t(3);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::ptrdiff_t stride_ = 0;
  std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>> pixels_;
};

}  // namespace zevo::gfx
