#include "gfx/bitmap_delta.h"

#include "base/worker.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The end of the run of pixels from x on that equal the reference's: 64 bytes at a time, then
// eight, then pixel by pixel from the pixel where they first differ.
int SameRunEnd(const std::uint8_t* row, const std::uint8_t* ref, int x, int w) {
  std::size_t i = std::size_t(x) * 3;
  const std::size_t n = std::size_t(w) * 3;
#if defined(__SSE2__)
  // Most of a page equals its reference: compared in registers, 64 bytes a step.
  const auto equal16 = [&](std::size_t at) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(ref + at)));
  };
  while (i + 64 <= n) {
    const __m128i e = _mm_and_si128(_mm_and_si128(equal16(i), equal16(i + 16)),
                                    _mm_and_si128(equal16(i + 32), equal16(i + 48)));
    if (_mm_movemask_epi8(e) != 0xFFFF) break;
    i += 64;
  }
#else
  while (i + 64 <= n && std::memcmp(row + i, ref + i, 64) == 0) i += 64;
#endif
  while (i + 8 <= n && Load64(row + i) == Load64(ref + i)) i += 8;
  x = int(i / 3);
  while (x < w && SamePixel(row, ref, x)) ++x;
  return x;
}

// Whether 96 bytes are equal (32 pixels).
bool Equal96(const std::uint8_t* a, const std::uint8_t* b) {
#if defined(__SSE2__)
  __m128i e = _mm_set1_epi8(-1);
  for (int k = 0; k < 96; k += 16)
    e = _mm_and_si128(e, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k))));
  return _mm_movemask_epi8(e) == 0xFFFF;
#else
  return std::memcmp(a, b, 96) == 0;
#endif
}

// The end of the run of pixels from x on of the colour whose 32-pixel pattern is `pattern`.
int ColourRunEnd(const std::uint8_t* row, const std::uint8_t* pattern, int x, int w) {
  while (x + 32 <= w && Equal96(row + 3 * x, pattern)) x += 32;
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

const std::uint8_t* DeltaReference::Row(int y) {
  if (scale_ == 1) return bitmap_->Row(y);
  const int from = y / scale_;
  if (from != widened_) {
    const int w = bitmap_->Width();
    const std::uint8_t* small = bitmap_->Row(from);
    // A row of one colour (plain paper) widens to the row already held when that was of the
    // same colour: each pixel equals the one three bytes on.
    const bool one_colour = w > 0 && std::memcmp(small, small + 3, std::size_t(w - 1) * 3) == 0;
    widened_ = from;
    if (one_colour && one_colour_ && std::memcmp(row_.data(), small, 3) == 0) return row_.data();
    one_colour_ = one_colour;
    row_.resize(std::size_t(w) * std::size_t(scale_) * 3);
    std::uint8_t* out = row_.data();
    if (scale_ == 4 && std::endian::native == std::endian::little) {
      // Four pixels of three bytes are three words of the colour's bytes in turn.
      for (int x = 0; x < w; ++x, small += 3, out += 12) {
        const std::uint32_t c = std::uint32_t(small[0]) | (std::uint32_t(small[1]) << 8) |
                                (std::uint32_t(small[2]) << 16);
        const std::uint32_t words[3] = {c | (c << 24), (c >> 8) | (c << 16), (c >> 16) | (c << 8)};
        std::memcpy(out, words, 12);
      }
    } else {
      for (int x = 0; x < w; ++x, small += 3)
        for (int u = 0; u < scale_; ++u, out += 3) std::memcpy(out, small, 3);
    }
  }
  return row_.data();
}

namespace {

// The runs of rows [y0, y1) of b, appended to ops.
void AppendRows(std::vector<std::uint32_t>& ops, const Bitmap24& b, DeltaReference& ref, int y0,
                int y1) {
  const int w = b.Width();
  for (int y = y0; y < y1; ++y) {
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
      if (x + 1 < w && SamePixel(row + 3, row, x)) {
        std::uint8_t pattern[96];
        for (int k = 0; k < 32; ++k) std::memcpy(pattern + 3 * k, row + 3 * x, 3);
        end = ColourRunEnd(row, pattern, x + 2, w);
        ops.push_back((kColour << 30) | std::uint32_t(end - x));
        ops.push_back(PixelAt(row, x));
        x = end;
        continue;
      }
      // Other pixels: up to the next one that equals the reference or starts a run of one
      // colour.
      end = x + 1;
      while (end < w && !SamePixel(row, rrow, end) &&
             !(end + 1 < w && SamePixel(row + 3, row, end)))
        ++end;
      const std::size_t bytes = std::size_t(end - x) * 3;
      ops.push_back((kPixels << 30) | std::uint32_t(end - x));
      const std::size_t at = ops.size();
      ops.resize(at + (bytes + 3) / 4);
      std::memcpy(ops.data() + at, row + 3 * x, bytes);
      x = end;
    }
  }
}

// Bitmaps of more pixels than this are told in two halves at once.
constexpr std::int64_t kHalvesFrom = std::int64_t(1) << 20;

}  // namespace

std::optional<BitmapDelta> BitmapDelta::Make(const Bitmap24& b, DeltaReference ref) {
  const int h = b.Height();
  if (std::int64_t(b.Width()) * h < kHalvesFrom) return MakeRows(b, ref, 0, h);
  // A large bitmap: the lower half is told on a thread of its own and appended.
  std::optional<BitmapDelta> lower;
  base::Worker second([&, lower_ref = ref] { lower = MakeRows(b, lower_ref, h / 2, h); });
  std::optional<BitmapDelta> d = MakeRows(b, ref, 0, h / 2);
  second.Join();
  if (!d || !lower || !d->Append(*lower)) return std::nullopt;
  return d;
}

std::optional<BitmapDelta> BitmapDelta::MakeRows(const Bitmap24& b, DeltaReference ref, int top,
                                                 int bottom) {
  if (b.Width() != ref.Width() || b.Height() != ref.Height()) return std::nullopt;
  BitmapDelta d;
  d.width_ = b.Width();
  d.height_ = b.Height();
  d.top_ = std::clamp(top, 0, b.Height());
  d.bottom_ = std::clamp(bottom, d.top_, b.Height());
  try {
    AppendRows(d.ops_, b, ref, d.top_, d.bottom_);
    d.ops_.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return d;
}

bool BitmapDelta::Append(const BitmapDelta& below) {
  if (below.width_ != width_ || below.height_ != height_ || below.top_ != bottom_) return false;
  try {
    ops_.reserve(ops_.size() + below.ops_.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  ops_.insert(ops_.end(), below.ops_.begin(), below.ops_.end());
  bottom_ = below.bottom_;
  return true;
}

bool BitmapDelta::Apply(DeltaReference ref, Bitmap24& out) const {
  if (ref.Width() != width_ || ref.Height() != height_ || out.Width() != width_ ||
      out.Height() != height_ || top_ != 0 || bottom_ != height_)
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
