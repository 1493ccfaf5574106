#include "gfx/bitmap_delta.h"

#include <cstring>
#include <new>

namespace zevo::gfx {

namespace {

enum Kind : std::uint32_t { kSame = 0, kColour = 1, kPixels = 2 };
constexpr std::uint32_t kLengthMask = (1u << 30) - 1;

std::uint32_t PixelAt(const std::uint8_t* row, int x) {
  const std::uint8_t* p = row + 3 * x;
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
}

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b, int x) {
  return a[3 * x] == b[3 * x] && a[3 * x + 1] == b[3 * x + 1] && a[3 * x + 2] == b[3 * x + 2];
}

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// The end of the run of pixels from x on that equal the reference's: 64 bytes at a time (the
// library's compare is vectorised), then eight, then pixel by pixel from the pixel where they
// first differ.
int SameRunEnd(const std::uint8_t* row, const std::uint8_t* ref, int x, int w) {
  std::size_t i = std::size_t(x) * 3;
  const std::size_t n = std::size_t(w) * 3;
  while (i + 64 <= n && std::memcmp(row + i, ref + i, 64) == 0) i += 64;
  while (i + 8 <= n && Load64(row + i) == Load64(ref + i)) i += 8;
  x = int(i / 3);
  while (x < w && SamePixel(row, ref, x)) ++x;
  return x;
}

// The end of the run of pixels from x on of the colour whose 32-pixel pattern is `pattern`.
int ColourRunEnd(const std::uint8_t* row, const std::uint8_t* pattern, int x, int w) {
  while (x + 32 <= w && std::memcmp(row + 3 * x, pattern, 96) == 0) x += 32;
  while (x + 8 <= w && std::memcmp(row + 3 * x, pattern, 24) == 0) x += 8;
  while (x < w && std::memcmp(row + 3 * x, pattern, 3) == 0) ++x;
  return x;
}

void FillColour(std::uint8_t* p, int n, std::uint32_t c) {
  const std::uint8_t b0 = std::uint8_t(c), b1 = std::uint8_t(c >> 8), b2 = std::uint8_t(c >> 16);
  if (b0 == b1 && b1 == b2) {
    std::memset(p, b0, std::size_t(n) * 3);
    return;
  }
  for (int i = 0; i < n; ++i, p += 3) {
    p[0] = b0;
    p[1] = b1;
    p[2] = b2;
  }
}

}  // namespace

std::optional<BitmapDelta> BitmapDelta::Make(const Bitmap24& b, const Bitmap24& ref) {
  if (b.Width() != ref.Width() || b.Height() != ref.Height()) return std::nullopt;
  BitmapDelta d;
  d.width_ = b.Width();
  d.height_ = b.Height();
  const int w = b.Width();
  try {
    std::vector<std::uint32_t>& ops = d.ops_;
    for (int y = 0; y < b.Height(); ++y) {
      const std::uint8_t* row = b.Row(y);
      const std::uint8_t* rrow = ref.Row(y);
      int x = 0;
      while (x < w) {
        int end = SameRunEnd(row, rrow, x, w);
        if (end > x) {
          ops.push_back((kSame << 30) | std::uint32_t(end - x));
          x = end;
          if (x == w) break;
        }
        std::uint8_t pattern[96];
        std::memcpy(pattern, row + 3 * x, 3);
        for (std::size_t filled = 3; filled < sizeof pattern; filled *= 2)
          std::memcpy(pattern + filled, pattern, filled);
        end = ColourRunEnd(row, pattern, x + 1, w);
        if (end - x >= 2) {
          ops.push_back((kColour << 30) | std::uint32_t(end - x));
          ops.push_back(PixelAt(row, x));
          x = end;
          continue;
        }
        // Other pixels: up to the next one that equals the reference or starts a run of one
        // colour.
        end = x + 1;
        while (end < w && !SamePixel(row, rrow, end) &&
               !(end + 1 < w && std::memcmp(row + 3 * end, row + 3 * end + 3, 3) == 0))
          ++end;
        const std::size_t bytes = std::size_t(end - x) * 3;
        ops.push_back((kPixels << 30) | std::uint32_t(end - x));
        const std::size_t at = ops.size();
        ops.resize(at + (bytes + 3) / 4);
        std::memcpy(ops.data() + at, row + 3 * x, bytes);
        x = end;
      }
    }
    ops.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return d;
}

bool BitmapDelta::Apply(const Bitmap24& ref, Bitmap24& out) const {
  if (ref.Width() != width_ || ref.Height() != height_ || out.Width() != width_ ||
      out.Height() != height_)
    return false;
  const std::uint32_t* op = ops_.data();
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* row = out.Row(y);
    const std::uint8_t* rrow = ref.Row(y);
    int x = 0;
    while (x < width_) {
      const std::uint32_t kind = *op >> 30;
      const int n = int(*op & kLengthMask);
      ++op;
      switch (kind) {
        case kSame:
          std::memcpy(row + 3 * x, rrow + 3 * x, std::size_t(n) * 3);
          break;
        case kColour:
          FillColour(row + 3 * x, n, *op++);
          break;
        default: {
          const std::size_t bytes = std::size_t(n) * 3;
          std::memcpy(row + 3 * x, op, bytes);
          op += (bytes + 3) / 4;
          break;
        }
      }
      x += n;
    }
  }
  return true;
}

}  // namespace zevo::gfx
