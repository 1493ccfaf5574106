#include <cstring>
#include <memory>

#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::StrokeDocument;

// Reads little-endian values from untrusted bytes; every read is checked against what
// remains, and a failed read takes nothing.
class LayoutReader {
 public:
  explicit LayoutReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t Remaining() const { return data_.size() - pos_; }
  bool Skip(std::size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (Remaining() < 4) return false;
    const std::uint8_t* p = data_.data() + pos_;
    v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
        (std::uint32_t(p[3]) << 24);
    pos_ += 4;
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u;
    if (!U32(u)) return false;
    v = std::int32_t(u);
    return true;
  }
  bool F32(float& f) {
    std::uint32_t u;
    if (!U32(u)) return false;
    std::memcpy(&f, &u, 4);
    return true;
  }
  bool Bytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (n > Remaining()) return false;
    out = data_.subspan(pos_, n);
    pos_ += n;
    return true;
  }
  bool Text(StrokeDocument::Text& t) {
    std::span<const std::uint8_t> b;
    if (!Bytes(t.size(), b)) return false;
    std::memcpy(t.data(), b.data(), t.size());
    return true;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

bool ValidSide(std::int32_t v) {
  return v >= 0 && v <= Bitmap24::kMaxSide;
}

// Stored samples come back through AddSample; with step s >= 2 the s - 1 points the writer
// left out between two stored samples are put back on the straight line between them.
bool ReadInk(LayoutReader& in, StrokeDocument& d, std::int32_t step) {
  std::uint32_t n = 0;
  if (!in.U32(n) || n > in.Remaining() / 16) return false;
  float px = 0, py = 0, pr = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    // The count check above leaves room for every sample, so these reads cannot fail.
    float x = 0, y = 0, r = 0;
    in.F32(x), in.F32(y), in.F32(r), in.Skip(4);
    if (step >= 2 && i > 0) {
      const float s = float(step);
      const float dx = (x - px) / s, dy = (y - py) / s, dr = (r - pr) / s;
      for (int j = 1; j < step; ++j) {
        const float fj = float(j);
        d.AddSample(px + fj * dx, py + fj * dy, pr + fj * dr);
      }
    }
    d.AddSample(x, y, r);
    px = x, py = y, pr = r;
  }
  return true;
}

std::unique_ptr<Bitmap24> ReadBmpImage(LayoutReader& in) {
  std::uint32_t length = 0;
  std::span<const std::uint8_t> image;
  if (!in.U32(length) || !in.Bytes(length, image)) return nullptr;
  auto bitmap = gfx::DecodeBmp(image);
  if (!bitmap) return nullptr;
  return std::make_unique<Bitmap24>(std::move(bitmap).Value());
}

bool ReadPicture(LayoutReader& in, StrokeDocument& d) {
  std::int32_t x, y;
  if (!in.I32(x) || !in.I32(y)) return false;
  auto picture = ReadBmpImage(in);
  if (!picture) return false;
  d.AddPicture(x, y, std::move(picture));
  return true;
}

// A 1-bit mask, rows from the top, pixel 8i + b of a row in bit b of byte i; set bits come
// back pure red on white.
bool ReadStamp(LayoutReader& in, StrokeDocument& d) {
  float x, y, w, h;
  std::int32_t p, rows;
  if (!in.F32(x) || !in.F32(y) || !in.F32(w) || !in.F32(h) || !in.I32(p) || !in.I32(rows)) {
    return false;
  }
  if (!ValidSide(p) || !ValidSide(rows) || p % 8 != 0) return false;
  const std::size_t row_bytes = std::size_t(p / 8);
  std::span<const std::uint8_t> mask;
  if (!in.Bytes(row_bytes * std::size_t(rows), mask)) return false;
  auto bitmap = Bitmap24::TryCreate(p, rows);
  if (!bitmap) return false;
  bitmap->Fill(gfx::kWhite);
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* bits = mask.data() + std::size_t(r) * row_bytes;
    std::uint8_t* px = bitmap->Row(r);
    for (int k = 0; k < p; ++k, px += 3) {
      if ((bits[k / 8] >> (k % 8)) & 1) px[0] = 0, px[1] = 0, px[2] = 255;
    }
  }
  d.AddStampEntry(std::make_unique<Bitmap24>(std::move(*bitmap)), x, y, w, h);
  return true;
}

bool ReadFill(LayoutReader& in, StrokeDocument& d, std::uint32_t color) {
  float x, y;
  if (!in.F32(x) || !in.F32(y)) return false;
  d.AddFill(color, x, y);
  return true;
}

bool ReadBackground(LayoutReader& in, StrokeDocument& d) {
  std::int32_t a, b;
  if (!in.I32(a) || !in.I32(b)) return false;
  auto picture = ReadBmpImage(in);
  if (!picture) return false;
  d.AdoptBackground(std::move(picture), a, b);
  return true;
}

bool ReadRecords(LayoutReader& in, StrokeDocument& d, std::int32_t step) {
  // The file ends where no kind word can be read any more.
  while (in.Remaining() >= 4) {
    std::uint32_t kind, value;
    if (!in.U32(kind) || !in.U32(value)) return false;
    bool ok = true;
    switch (kind) {
      case 0:
        d.SetInkColor(value);
        ok = ReadInk(in, d, step);
        break;
      case 1:
        d.SetEntryAttribute(value);
        ok = ReadPicture(in, d);
        break;
      case 2:
        d.SetEntryAttribute(value);
        ok = ReadStamp(in, d);
        break;
      case 3:
        ok = ReadFill(in, d, value);
        break;
      case 5:
        ok = ReadBackground(in, d);
        break;
      default:  // a kind this version does not know: only its two words
        break;
    }
    if (!ok) return false;
  }
  return true;
}

}  // namespace

int ReadStrokeLayout(StrokeDocument& d, std::span<const std::uint8_t> plain,
                     StrokeFileDetails* details) {
  StrokeFileDetails found;
  if (plain.size() < 20) return kReadUnknown;
  std::memcpy(d.signature.data(), plain.data(), 4);
  int generation = 0;
  std::uint32_t version = 0;
  std::size_t header = 0;
  if (std::memcmp(plain.data(), "Zvrn", 4) == 0) {
    generation = 1, version = 0x00010001, header = kHeaderSize1;
  } else if (std::memcmp(plain.data(), "Zvr2", 4) == 0) {
    generation = 2, version = 0x00010002, header = kHeaderSize2;
  } else if (std::memcmp(plain.data(), "Zvr3", 4) == 0) {
    generation = 3, header = kHeaderSize3;
  } else {
    return kReadUnknown;
  }
  LayoutReader in(plain);
  in.Skip(4);
  if (generation == 3) in.U32(version);
  if ((version >> 16) != 1) return kReadMajorVersion;
  if ((version & 0xFFFF) > 3) return kReadNewerMinor;
  d.format_version = version;

  std::uint32_t stored_size = 0, ignored_count = 0;
  std::int32_t width = 0, height = 0;
  in.U32(stored_size);
  if (stored_size != plain.size() || plain.size() < header) return kReadSizeMismatch;
  in.U32(ignored_count), in.I32(width), in.I32(height);
  // Paper sizes no sheet can have are damage, not a sheet.
  if (width <= 0 || height <= 0 || !ValidSide(width) || !ValidSide(height)) {
    return kReadSizeMismatch;
  }
  d.SetPaperSize(width, height);

  if (generation >= 2) {
    in.Text(d.author), in.Text(d.password), in.U32(d.protection), in.I32(found.step);
    in.I32(d.grid[0]);
    d.grid[1] = d.grid[2] = 0;
    if (generation == 3) in.I32(d.grid[1]), in.I32(d.grid[2]);
  } else {
    d.author.fill(0), d.password.fill(0);
    d.protection = 0xFFFFFFFFu;
    d.grid = {0, 0, 0};
  }
  // The writer stores steps 1 to 4; a larger one would multiply the samples without bound.
  if (found.step > kMaxStep) {
    d.Clear();
    return kReadSizeMismatch;
  }
  if (details) *details = found;

  if (!ReadRecords(in, d, found.step)) {
    d.Clear();
    return kReadSizeMismatch;
  }
  // A stroke whose pen-up sample is missing would swallow the writer's next stroke.
  if (d.StrokeOpen()) {
    const ink::Stroke* last = d.Current();
    const ink::StrokeSample s = last->samples.back();
    d.AddSample(s.x, s.y, 0.0f);
  }
  return kReadOk;
}

}  // namespace zevo::files
