#include <algorithm>
#include <cstring>
#include <limits>

#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"

namespace zevo::files {
namespace {

using ink::Stroke;
using ink::StrokeKind;

class LayoutSink {
 public:
  explicit LayoutSink(std::vector<std::uint8_t>& out) : out_(out) {}
  void U32(std::uint32_t v) {
    const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                               std::uint8_t(v >> 24)};
    out_.insert(out_.end(), b, b + 4);
  }
  void I32(std::int32_t v) { U32(std::uint32_t(v)); }
  void F32(float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(v);
  }
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  void PatchU32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
  }
  std::size_t Size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t>& out_;
};

int PaddedWidth(int width) {
  return (width + 7) / 8 * 8;
}

void WriteInk(LayoutSink& out, const Stroke& e, int s) {
  const std::size_t n = e.samples.size();
  const std::size_t count_at = out.Size();
  out.U32(0);
  std::uint32_t written = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!KeepsSample(i, n, s)) continue;
    out.F32(e.samples[i].x);
    out.F32(e.samples[i].y);
    out.F32(e.samples[i].radius);
    out.U32(0);
    ++written;
  }
  out.PatchU32(count_at, written);
}

void WriteBmpImage(LayoutSink& out, const gfx::Bitmap24* bitmap) {
  // An entry without a picture is stored as an empty one, which reads back the same.
  const std::vector<std::uint8_t> image = gfx::EncodeBmp(bitmap ? *bitmap : gfx::Bitmap24());
  out.U32(std::uint32_t(image.size()));
  out.Bytes(image.data(), image.size());
}

// Any pixel that is not pure white is ink; the padding columns are white.
void WriteStampMask(LayoutSink& out, const gfx::Bitmap24* bitmap) {
  const int w = bitmap ? bitmap->Width() : 0;
  const int h = bitmap ? bitmap->Height() : 0;
  const int p = PaddedWidth(w);
  out.I32(p);
  out.I32(h);
  std::vector<std::uint8_t> row(std::size_t(p / 8));
  for (int y = 0; y < h; ++y) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint8_t* px = bitmap->Row(y);
    for (int x = 0; x < w; ++x, px += 3) {
      if ((px[0] & px[1] & px[2]) != 255) row[std::size_t(x / 8)] |= std::uint8_t(1u << (x % 8));
    }
    out.Bytes(row.data(), row.size());
  }
}

}  // namespace

std::vector<std::uint8_t> BuildStrokeLayout(ink::StrokeDocument& d, int s) {
  s = std::clamp(s, kMinStep, kMaxStep);
  std::vector<std::uint8_t> bytes;
  LayoutSink out(bytes);
  std::memcpy(d.signature.data(), "Zvr3", 4);
  d.format_version = ink::StrokeDocument::kFormatVersion;

  out.Bytes("Zvr3", 4);
  out.U32(d.format_version);
  out.U32(0);  // the file size, known at the end
  out.I32(d.Count());
  out.I32(d.PaperWidth());
  out.I32(d.PaperHeight());
  out.Bytes(d.author.data(), d.author.size());
  out.Bytes(d.password.data(), d.password.size());
  out.U32(d.protection);
  out.I32(s);
  for (std::int32_t g : d.grid) out.I32(g);

  // The entries up to the current position; those after it are not saved.
  for (int i = 0; i < d.Position(); ++i) {
    const Stroke& e = *d.Entry(i);
    out.I32(std::int32_t(e.kind));
    out.U32(e.value);
    switch (e.kind) {
      case StrokeKind::Ink:
        WriteInk(out, e, s);
        break;
      case StrokeKind::Picture:
        out.I32(e.px);
        out.I32(e.py);
        WriteBmpImage(out, e.bitmap.get());
        break;
      case StrokeKind::Stamp:
        out.F32(e.x);
        out.F32(e.y);
        out.F32(e.width);
        out.F32(e.height);
        WriteStampMask(out, e.bitmap.get());
        break;
      case StrokeKind::Fill:
        out.F32(e.x);
        out.F32(e.y);
        break;
    }
  }
  if (d.Background() != nullptr) {
    out.U32(5);
    out.U32(5);
    out.I32(d.BackgroundA());
    out.I32(d.BackgroundB());
    WriteBmpImage(out, d.Background());
  }
  // Layouts beyond 2 GiB cannot be stored and are refused by the codec; the size word then
  // saturates instead of wrapping.
  const auto size = std::uint32_t(std::min<std::size_t>(bytes.size(), INT32_MAX));
  out.PatchU32(8, size);
  d.byte_size = std::int32_t(size);
  return bytes;
}

std::int64_t EstimateStrokeFileSize(ink::StrokeDocument& d, int s) {
  s = std::clamp(s, kMinStep, kMaxStep);
  auto pixels = [](const gfx::Bitmap24* b) {
    return b ? std::int64_t(b->Width()) * b->Height() * 3 : 0;
  };
  std::int64_t size = std::int64_t(kHeaderSize3);
  for (int i = 0; i < d.Position(); ++i) {
    const Stroke& e = *d.Entry(i);
    size += 8;
    switch (e.kind) {
      case StrokeKind::Ink: {
        const std::size_t n = e.samples.size();
        std::int64_t kept = 0;
        for (std::size_t k = 0; k < n; ++k) kept += KeepsSample(k, n, s) ? 1 : 0;
        size += 4 + 16 * kept;
        break;
      }
      case StrokeKind::Picture:
        size += 8 + 4 + pixels(e.bitmap.get());
        break;
      case StrokeKind::Stamp: {
        const std::int64_t w = e.bitmap ? e.bitmap->Width() : 0;
        const std::int64_t h = e.bitmap ? e.bitmap->Height() : 0;
        size += 16 + 8 + h * ((w + 7) / 8);
        break;
      }
      case StrokeKind::Fill:
        size += 8;
        break;
    }
  }
  if (d.Background() != nullptr) size += 20 + pixels(d.Background());
  d.byte_size = std::int32_t(std::min<std::int64_t>(size, INT32_MAX));
  return size;
}

}  // namespace zevo::files
