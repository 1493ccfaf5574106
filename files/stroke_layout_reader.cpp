#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "base/byte_io.h"
#include "files/stroke_layout.h"
#include "gfx/bmp_file.h"
#include "gfx/picture_limits.h"

namespace zevo::files {
namespace {

using base::ByteReader;
using gfx::Bitmap24;
using ink::StrokeDocument;

bool ValidSide(std::int32_t v) {
  return v >= 0 && v <= Bitmap24::kMaxSide;
}

// NaN and infinities are damage: no writer stores them, and drawing cannot place them.
bool Finite(float a, float b) {
  return std::isfinite(a) && std::isfinite(b);
}

// Point j of the step - 1 points left out between a and b, delta = (b - a) / step. Where b - a
// overflows a float, the point still lies between two finite values and is found in double.
float Between(float a, float b, float delta, int j, int step) {
  const float v = a + float(j) * delta;
  if (std::isfinite(v)) return v;
  return float(double(a) + (double(b) - double(a)) * j / step);
}

// Opens an entry's worth of the budget when the next sample starts a stroke.
bool AddSample(StrokeDocument& d, DocumentBudget& budget, float x, float y, float r) {
  if (!d.StrokeOpen() && !budget.Take(kEntryBytes)) return false;
  d.AddSample(x, y, r);
  return true;
}

// Stored samples come back through AddSample; with step s >= 2 the s - 1 points the writer
// left out between two stored samples are put back on the straight line between them.
int ReadInk(ByteReader& in, StrokeDocument& d, std::int32_t step, DocumentBudget& budget) {
  std::uint32_t n = 0;
  if (!in.ReadU32(n) || n > in.Remaining() / 16) return kReadSizeMismatch;
  if (n == 0) return kReadOk;
  const int s = std::max(step, 1);
  // Every sample the document will hold, the put-back ones too, before the first is added.
  if (!budget.Take(((std::uint64_t(n) - 1) * std::uint64_t(s) + 1) * kSampleBytes)) {
    return kReadTooLarge;
  }
  float px = 0, py = 0, pr = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    float x = 0, y = 0, r = 0;
    if (!in.ReadF32(x) || !in.ReadF32(y) || !in.ReadF32(r) || !in.Skip(4)) {
      return kReadSizeMismatch;
    }
    if (!Finite(x, y) || !std::isfinite(r)) return kReadSizeMismatch;
    if (s >= 2 && i > 0) {
      const float fs = float(s);
      const float dx = (x - px) / fs, dy = (y - py) / fs, dr = (r - pr) / fs;
      for (int j = 1; j < s; ++j) {
        if (!AddSample(d, budget, Between(px, x, dx, j, s), Between(py, y, dy, j, s),
                       Between(pr, r, dr, j, s))) {
          return kReadTooLarge;
        }
      }
    }
    if (!AddSample(d, budget, x, y, r)) return kReadTooLarge;
    px = x, py = y, pr = r;
  }
  return kReadOk;
}

// The picture is decoded only when its bitmap fits what remains of the budget.
int ReadBmpImage(ByteReader& in, DocumentBudget& budget, std::unique_ptr<Bitmap24>& picture) {
  std::uint32_t length = 0;
  std::span<const std::uint8_t> image;
  if (!in.ReadU32(length) || !in.ReadBytes(length, image)) return kReadSizeMismatch;
  auto bitmap = gfx::DecodeBmp(image, std::min(gfx::kMaxPictureBytes, budget.Left()));
  if (!bitmap) return gfx::IsTooLarge(bitmap.ErrorText()) ? kReadTooLarge : kReadSizeMismatch;
  budget.Take(bitmap.Value().ByteSize());
  picture = std::make_unique<Bitmap24>(std::move(bitmap).Value());
  return kReadOk;
}

int ReadPicture(ByteReader& in, StrokeDocument& d, DocumentBudget& budget) {
  std::int32_t x, y;
  if (!in.ReadI32(x) || !in.ReadI32(y)) return kReadSizeMismatch;
  if (!budget.Take(kEntryBytes)) return kReadTooLarge;
  std::unique_ptr<Bitmap24> picture;
  if (const int r = ReadBmpImage(in, budget, picture); r != kReadOk) return r;
  d.AddPicture(x, y, std::move(picture));
  return kReadOk;
}

// A 1-bit mask, rows from the top, pixel 8i + b of a row in bit b of byte i; set bits come
// back pure red on white.
int ReadStamp(ByteReader& in, StrokeDocument& d, DocumentBudget& budget) {
  float x, y, w, h;
  std::int32_t p, rows;
  if (!in.ReadF32(x) || !in.ReadF32(y) || !in.ReadF32(w) || !in.ReadF32(h) || !in.ReadI32(p) ||
      !in.ReadI32(rows)) {
    return kReadSizeMismatch;
  }
  if (!Finite(x, y) || !Finite(w, h)) return kReadSizeMismatch;
  if (!ValidSide(p) || !ValidSide(rows) || p % 8 != 0) return kReadSizeMismatch;
  const std::size_t row_bytes = std::size_t(p / 8);
  std::span<const std::uint8_t> mask;
  if (!in.ReadBytes(row_bytes * std::size_t(rows), mask)) return kReadSizeMismatch;
  const std::uint64_t bytes = gfx::PictureBytes(p, rows);
  if (bytes > gfx::kMaxPictureBytes || !budget.Take(bytes + kEntryBytes)) return kReadTooLarge;
  auto bitmap = Bitmap24::TryCreate(p, rows);
  if (!bitmap) return kReadTooLarge;
  bitmap->Fill(gfx::kWhite);
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* bits = mask.data() + std::size_t(r) * row_bytes;
    std::uint8_t* px = bitmap->Row(r);
    for (int k = 0; k < p; ++k, px += 3) {
      if ((bits[k / 8] >> (k % 8)) & 1) px[0] = 0, px[1] = 0, px[2] = 255;
    }
  }
  d.AddStampEntry(std::make_unique<Bitmap24>(std::move(*bitmap)), x, y, w, h);
  return kReadOk;
}

int ReadFill(ByteReader& in, StrokeDocument& d, std::uint32_t color, DocumentBudget& budget) {
  float x, y;
  if (!in.ReadF32(x) || !in.ReadF32(y) || !Finite(x, y)) return kReadSizeMismatch;
  if (!budget.Take(kEntryBytes)) return kReadTooLarge;
  d.AddFill(color, x, y);
  return kReadOk;
}

int ReadBackground(ByteReader& in, StrokeDocument& d, DocumentBudget& budget) {
  std::int32_t a, b;
  if (!in.ReadI32(a) || !in.ReadI32(b)) return kReadSizeMismatch;
  // A later background replaces an earlier one, whose memory comes back once it is gone.
  const std::uint64_t replaced = d.Background() ? d.Background()->ByteSize() : 0;
  std::unique_ptr<Bitmap24> picture;
  if (const int r = ReadBmpImage(in, budget, picture); r != kReadOk) return r;
  d.AdoptBackground(std::move(picture), a, b);
  budget.Give(replaced);
  return kReadOk;
}

int ReadRecords(ByteReader& in, StrokeDocument& d, std::int32_t step, DocumentBudget& budget) {
  // The file ends where no kind word can be read any more.
  while (in.Remaining() >= 4) {
    std::uint32_t kind, value;
    if (!in.ReadU32(kind) || !in.ReadU32(value)) return kReadSizeMismatch;
    int r = kReadOk;
    switch (kind) {
      case 0:
        d.SetInkColor(value);
        r = ReadInk(in, d, step, budget);
        break;
      case 1:
        d.SetEntryAttribute(value);
        r = ReadPicture(in, d, budget);
        break;
      case 2:
        d.SetEntryAttribute(value);
        r = ReadStamp(in, d, budget);
        break;
      case 3:
        r = ReadFill(in, d, value, budget);
        break;
      case 5:
        r = ReadBackground(in, d, budget);
        break;
      default:  // a kind this version does not know: only its two words
        break;
    }
    if (r != kReadOk) return r;
  }
  return kReadOk;
}

}  // namespace

int ReadStrokeLayout(StrokeDocument& d, std::span<const std::uint8_t> plain,
                     StrokeFileDetails* details, DocumentBudget& budget) {
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
  ByteReader in(plain);
  std::uint32_t stored_size = 0;
  // The 20 bytes checked above hold these.
  if (!in.Skip(4) || (generation == 3 && !in.ReadU32(version)) || !in.ReadU32(stored_size)) {
    return kReadUnknown;
  }
  if ((version >> 16) != 1) return kReadMajorVersion;
  if ((version & 0xFFFF) > 3) return kReadNewerMinor;
  d.format_version = version;

  if (stored_size != plain.size() || plain.size() < header) return kReadSizeMismatch;
  // From here on the whole header is there.
  std::uint32_t ignored_count = 0;
  std::int32_t width = 0, height = 0;
  if (!in.ReadU32(ignored_count) || !in.ReadI32(width) || !in.ReadI32(height)) {
    return kReadSizeMismatch;
  }
  // Paper sizes no sheet can have are damage, not a sheet.
  if (width <= 0 || height <= 0 || !ValidSide(width) || !ValidSide(height)) {
    return kReadSizeMismatch;
  }
  d.SetPaperSize(width, height);

  if (generation >= 2) {
    d.grid[1] = d.grid[2] = 0;
    if (!in.ReadInto(d.author) || !in.ReadInto(d.password) || !in.ReadU32(d.protection) ||
        !in.ReadI32(found.step) || !in.ReadI32(d.grid[0]) ||
        (generation == 3 && (!in.ReadI32(d.grid[1]) || !in.ReadI32(d.grid[2])))) {
      d.Clear();
      return kReadSizeMismatch;
    }
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

  if (const int r = ReadRecords(in, d, found.step, budget); r != kReadOk) {
    d.Clear();
    return r;
  }
  // A stroke whose pen-up sample is missing would swallow the writer's next stroke.
  if (d.StrokeOpen()) {
    if (!budget.Take(kSampleBytes)) {
      d.Clear();
      return kReadTooLarge;
    }
    const ink::Stroke* last = d.Current();
    const ink::StrokeSample s = last->samples.back();
    d.AddSample(s.x, s.y, 0.0f);
  }
  return kReadOk;
}

}  // namespace zevo::files
