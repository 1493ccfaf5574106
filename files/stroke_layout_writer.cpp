#include <algorithm>
#include <cstring>
#include <limits>

#include "base/byte_io.h"
#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"

namespace zevo::files {
namespace {

using base::ByteWriter;
using ink::Stroke;
using ink::StrokeKind;

int PaddedWidth(int width) {
  return (width + 7) / 8 * 8;
}

void WriteInk(ByteWriter& out, const Stroke& e, int s) {
  const std::size_t n = e.samples.size();
  const std::size_t count_at = out.Size();
  out.WriteU32(0);
  std::uint32_t written = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!KeepsSample(i, n, s)) continue;
    out.WriteF32(e.samples[i].x);
    out.WriteF32(e.samples[i].y);
    out.WriteF32(e.samples[i].radius);
    out.WriteU32(0);
    ++written;
  }
  out.PutU32At(count_at, written);
}

void WriteBmpImage(ByteWriter& out, const gfx::Bitmap24* bitmap) {
  // An entry without a picture is stored as an empty one, which reads back the same.
  const std::vector<std::uint8_t> image = gfx::EncodeBmp(bitmap ? *bitmap : gfx::Bitmap24());
  out.WriteU32(std::uint32_t(image.size()));
  out.WriteBytes(image);
}

// Any pixel that is not pure white is ink; the padding columns are white.
void WriteStampMask(ByteWriter& out, const gfx::Bitmap24* bitmap) {
  const int w = bitmap ? bitmap->Width() : 0;
  const int h = bitmap ? bitmap->Height() : 0;
  const int p = PaddedWidth(w);
  out.WriteI32(p);
  out.WriteI32(h);
  std::vector<std::uint8_t> row(std::size_t(p / 8));
  for (int y = 0; y < h; ++y) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint8_t* px = bitmap->Row(y);
    for (int x = 0; x < w; ++x, px += 3) {
      if ((px[0] & px[1] & px[2]) != 255) row[std::size_t(x / 8)] |= std::uint8_t(1u << (x % 8));
    }
    out.WriteBytes(row);
  }
}

}  // namespace

std::vector<std::uint8_t> BuildStrokeLayout(ink::StrokeDocument& d, int s) {
  s = std::clamp(s, kMinStep, kMaxStep);
  std::vector<std::uint8_t> bytes;
  ByteWriter out(bytes);
  std::memcpy(d.signature.data(), "Zvr3", 4);
  d.format_version = ink::StrokeDocument::kFormatVersion;

  out.WriteBytes("Zvr3", 4);
  out.WriteU32(d.format_version);
  out.WriteU32(0);  // the file size, known at the end
  out.WriteI32(d.Count());
  out.WriteI32(d.PaperWidth());
  out.WriteI32(d.PaperHeight());
  out.WriteBytes(d.author.data(), d.author.size());
  out.WriteBytes(d.password.data(), d.password.size());
  out.WriteU32(d.protection);
  out.WriteI32(s);
  for (std::int32_t g : d.grid) out.WriteI32(g);

  // The entries up to the current position; those after it are not saved.
  for (int i = 0; i < d.Position(); ++i) {
    const Stroke& e = *d.Entry(i);
    out.WriteI32(std::int32_t(e.kind));
    out.WriteU32(e.value);
    switch (e.kind) {
      case StrokeKind::Ink:
        WriteInk(out, e, s);
        break;
      case StrokeKind::Picture:
        out.WriteI32(e.px);
        out.WriteI32(e.py);
        WriteBmpImage(out, e.bitmap.get());
        break;
      case StrokeKind::Stamp:
        out.WriteF32(e.x);
        out.WriteF32(e.y);
        out.WriteF32(e.width);
        out.WriteF32(e.height);
        WriteStampMask(out, e.bitmap.get());
        break;
      case StrokeKind::Fill:
        out.WriteF32(e.x);
        out.WriteF32(e.y);
        break;
    }
  }
  if (d.Background() != nullptr) {
    out.WriteU32(5);
    out.WriteU32(5);
    out.WriteI32(d.BackgroundA());
    out.WriteI32(d.BackgroundB());
    WriteBmpImage(out, d.Background());
  }
  // Layouts beyond 2 GiB cannot be stored and are refused by the codec; the size word then
  // saturates instead of wrapping.
  const auto size = std::uint32_t(std::min<std::size_t>(bytes.size(), INT32_MAX));
  out.PutU32At(8, size);
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
