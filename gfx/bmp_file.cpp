#include "gfx/bmp_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "base/byte_io.h"
#include "platform/file_system.h"

namespace zevo::gfx {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kWriteInfoSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;

// RLE can describe a huge picture in a few bytes; past this many pixels the data must be
// at least one byte per kRlePixelsPerByte pixels before the picture is allocated.
constexpr std::uint64_t kTrustedPixels = std::uint64_t(1) << 24;
constexpr std::uint64_t kRlePixelsPerByte = 2048;

// Nothing larger than the largest picture we accept, stored at 32 bits a pixel, is read into
// memory (with a megabyte for headers and palette).
constexpr std::uint64_t kMaxFileBytes = kMaxPictureBytes / 3 * 4 + (std::uint64_t(1) << 20);

Result<Bitmap24> Fail(std::string message) {
  return Result<Bitmap24>::Error("bitmap file: " + std::move(message));
}

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t max = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    max = mask >> shift;
  }
  std::uint8_t Of(std::uint32_t v) const {
    if (max == 0) return 0;
    return std::uint8_t((std::uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
  }
};

using Palette = std::array<std::array<std::uint8_t, 3>, 256>;  // blue, green, red

struct Layout {
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bpp = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t size_image = 0;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

void PutIndex(std::uint8_t* row, int x, const Palette& palette, unsigned index) {
  const auto& c = palette[index & 0xFF];
  std::memcpy(row + std::size_t(x) * 3, c.data(), 3);
}

void DecodeRow(const std::uint8_t* src, std::uint8_t* dst, const Layout& l, const Palette& palette,
               const Channel* channels) {
  const int w = l.width;
  switch (l.bpp) {
    case 1:
      for (int x = 0; x < w; ++x) PutIndex(dst, x, palette, (src[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int x = 0; x < w; ++x)
        PutIndex(dst, x, palette, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
      break;
    case 8:
      for (int x = 0; x < w; ++x) PutIndex(dst, x, palette, src[x]);
      break;
    case 24:
      std::memcpy(dst, src, std::size_t(w) * 3);
      break;
    case 16:
      for (int x = 0; x < w; ++x) {
        const std::uint32_t v = base::LoadU16LE(src + 2 * x);
        dst[3 * x] = channels[2].Of(v);
        dst[3 * x + 1] = channels[1].Of(v);
        dst[3 * x + 2] = channels[0].Of(v);
      }
      break;
    case 32:
      if (l.compression == kBiRgb) {
        for (int x = 0; x < w; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
      } else {
        for (int x = 0; x < w; ++x) {
          const std::uint32_t v = base::LoadU32LE(src + 4 * x);
          dst[3 * x] = channels[2].Of(v);
          dst[3 * x + 1] = channels[1].Of(v);
          dst[3 * x + 2] = channels[0].Of(v);
        }
      }
      break;
  }
}

// Walks RLE8 or RLE4 data; rows are counted from the bottom. Stops at end of bitmap, at the
// last row, or where the data ends.
void DecodeRle(std::span<const std::uint8_t> d, const Layout& l, const Palette& palette,
               Bitmap24& out) {
  const bool rle4 = l.compression == kBiRle4;
  const int w = l.width;
  const int h = l.height;
  const std::size_t n = d.size();
  std::size_t i = 0;
  int x = 0;
  int row = 0;
  while (i + 1 < n && row < h) {
    const unsigned count = d[i];
    const unsigned value = d[i + 1];
    i += 2;
    std::uint8_t* dst = out.Row(h - 1 - row);
    if (count > 0) {
      const int end = std::min<int>(w, x + int(count));
      for (int k = 0; x < end; ++x, ++k) {
        PutIndex(dst, x, palette, rle4 ? ((k & 1) ? value & 15 : value >> 4) : value);
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (i + 1 >= n) break;
      x = std::min(w, x + int(d[i]));
      row += d[i + 1];
      i += 2;
    } else {  // absolute run, padded to a 16-bit word
      const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
      const std::size_t have = std::min(bytes, n - i);
      const unsigned pixels =
          rle4 ? unsigned(std::min<std::size_t>(value, have * 2)) : unsigned(have);
      const int end = std::min<int>(w, x + int(pixels));
      for (int k = 0; x < end; ++x, ++k) {
        const unsigned index = rle4 ? (d[i + k / 2] >> ((k & 1) ? 0 : 4)) & 15 : d[i + k];
        PutIndex(dst, x, palette, index);
      }
      if (have < bytes) break;
      i += bytes + (bytes & 1);
    }
  }
}

}  // namespace

Result<Bitmap24> DecodeBmp(std::span<const std::uint8_t> bytes, std::uint64_t max_bytes) {
  const std::size_t size = bytes.size();
  base::ByteReader file_header(bytes);
  std::uint32_t off_bits = 0;
  std::uint32_t info_size = 0;
  if (!file_header.Skip(10) || !file_header.ReadU32(off_bits) || !file_header.ReadU32(info_size)) {
    return Fail("too short for the file header");
  }
  if (bytes[0] != 'B' || bytes[1] != 'M') return Fail("no \"BM\" signature");
  if (info_size != 12 && info_size != 40 && info_size != 52 && info_size != 56 &&
      info_size != 108 && info_size != 124) {
    return Fail("unsupported info header size " + std::to_string(info_size));
  }
  if (size < kFileHeaderSize + info_size) return Fail("the file ends inside the info header");

  Layout l;
  std::uint64_t colours_used = 0;
  std::size_t entry_size = 4;
  std::int64_t height = 0;
  base::ByteReader info(bytes.subspan(kFileHeaderSize + 4, info_size - 4));
  if (info_size == 12) {
    std::uint16_t width16 = 0, height16 = 0, bpp = 0;
    if (!info.ReadU16(width16) || !info.ReadU16(height16) || !info.Skip(2) || !info.ReadU16(bpp)) {
      return Fail("the file ends inside the info header");
    }
    l.width = width16;
    height = height16;
    l.bpp = bpp;
    entry_size = 3;
    if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 24) {
      return Fail("unsupported bit count " + std::to_string(l.bpp) + " in a core header");
    }
  } else {
    std::int32_t width = 0, height32 = 0;
    std::uint16_t bpp = 0;
    std::uint32_t used = 0;
    if (!info.ReadI32(width) || !info.ReadI32(height32) || !info.Skip(2) || !info.ReadU16(bpp) ||
        !info.ReadU32(l.compression) || !info.ReadU32(l.size_image) || !info.Skip(8) ||
        !info.ReadU32(used)) {
      return Fail("the file ends inside the info header");
    }
    if (width < 0) return Fail("negative width " + std::to_string(width));
    l.width = width;
    height = height32;
    l.bpp = bpp;
    colours_used = used;
  }
  l.top_down = height < 0;
  if (height < 0) height = -height;
  if (l.width == 0 || height == 0) {
    return Fail("size " + std::to_string(l.width) + " x " + std::to_string(height) +
                " has no pixels");
  }
  if (l.width > Bitmap24::kMaxSide || height > Bitmap24::kMaxSide) {
    return Fail("size " + std::to_string(l.width) + " x " + std::to_string(height) +
                " is larger than " + std::to_string(Bitmap24::kMaxSide));
  }
  l.height = int(height);
  if (PictureBytes(l.width, l.height) > max_bytes) {
    return Fail(std::to_string(l.width) + " x " + std::to_string(l.height) + " pixels are " +
                std::string(kTooLargeText));
  }

  switch (l.compression) {
    case kBiRgb:
      if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32) {
        return Fail("unsupported bit count " + std::to_string(l.bpp));
      }
      break;
    case kBiRle8:
    case kBiRle4:
      if (l.bpp != (l.compression == kBiRle8 ? 8 : 4)) {
        return Fail("RLE" + std::string(l.compression == kBiRle8 ? "8" : "4") +
                    " with a bit count of " + std::to_string(l.bpp));
      }
      if (l.top_down) return Fail("an RLE bitmap cannot be top-down");
      break;
    case kBiBitfields:
      if (l.bpp != 16 && l.bpp != 32) {
        return Fail("bit fields with a bit count of " + std::to_string(l.bpp));
      }
      break;
    default:
      return Fail("unsupported compression " + std::to_string(l.compression));
  }

  std::size_t headers_end = kFileHeaderSize + info_size;
  if (l.compression == kBiBitfields) {
    // After a 40-byte header the masks follow it; later headers hold them.
    const std::size_t at = info_size == 40 ? headers_end : kFileHeaderSize + 40;
    base::ByteReader masks(bytes.subspan(at));
    if (!masks.ReadU32(l.masks[0]) || !masks.ReadU32(l.masks[1]) || !masks.ReadU32(l.masks[2])) {
      return Fail("the file ends inside the colour masks");
    }
    if (info_size == 40) headers_end += 12;
  } else if (l.bpp == 16) {
    l.masks = {0x7C00, 0x03E0, 0x001F};
  }

  if (off_bits < headers_end) {
    return Fail("pixel data offset " + std::to_string(off_bits) + " lies inside the headers");
  }
  if (off_bits > size) {
    return Fail("pixel data offset " + std::to_string(off_bits) + " is past the end of the file (" +
                std::to_string(size) + " bytes)");
  }

  Palette palette{};
  if (l.bpp <= 8) {
    const std::uint64_t full = std::uint64_t(1) << l.bpp;
    std::uint64_t count = colours_used == 0 || colours_used > full ? full : colours_used;
    count = std::min<std::uint64_t>(count, (off_bits - headers_end) / entry_size);
    for (std::uint64_t k = 0; k < count; ++k) {
      std::memcpy(palette[k].data(), bytes.data() + headers_end + k * entry_size, 3);
    }
  }

  std::span<const std::uint8_t> data = bytes.subspan(off_bits);
  const std::uint64_t pixels = std::uint64_t(l.width) * std::uint64_t(l.height);
  const bool rle = l.compression == kBiRle8 || l.compression == kBiRle4;
  const std::uint64_t row_bytes = (std::uint64_t(l.width) * l.bpp + 31) / 32 * 4;
  if (rle) {
    if (l.size_image != 0) {
      if (l.size_image > data.size()) {
        return Fail("the header claims " + std::to_string(l.size_image) +
                    " bytes of RLE data, the file holds " + std::to_string(data.size()));
      }
      data = data.first(l.size_image);
    }
    if (pixels > kTrustedPixels && pixels / kRlePixelsPerByte > data.size()) {
      return Fail("RLE data of " + std::to_string(data.size()) + " bytes is too short for " +
                  std::to_string(l.width) + " x " + std::to_string(l.height) + " pixels");
    }
  } else {
    const std::uint64_t need =
        row_bytes * (l.height - 1) + (std::uint64_t(l.width) * l.bpp + 7) / 8;
    if (need > data.size()) {
      return Fail("the pixel data is truncated: " + std::to_string(l.width) + " x " +
                  std::to_string(l.height) + " pixels need " + std::to_string(need) +
                  " bytes, the file holds " + std::to_string(data.size()));
    }
  }

  std::optional<Bitmap24> created = Bitmap24::TryCreate(l.width, l.height);
  if (!created) {
    return Fail("not enough memory for " + std::to_string(l.width) + " x " +
                std::to_string(l.height) + " pixels");
  }
  Bitmap24& out = *created;

  if (rle) {
    DecodeRle(data, l, palette, out);
  } else {
    const std::array<Channel, 3> channels = {Channel(l.masks[0]), Channel(l.masks[1]),
                                             Channel(l.masks[2])};
    for (int r = 0; r < l.height; ++r) {
      const int y = l.top_down ? r : l.height - 1 - r;
      DecodeRow(data.data() + row_bytes * r, out.Row(y), l, palette, channels.data());
    }
  }
  return std::move(out);
}

Result<Bitmap24> LoadBmpFile(const std::string& path) {
  Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Result<Bitmap24>::Error(bytes.ErrorText());
  Result<Bitmap24> bitmap = DecodeBmp(bytes.Value());
  if (!bitmap) return Result<Bitmap24>::Error(path + ": " + bitmap.ErrorText());
  return bitmap;
}

void WriteBmp(const Bitmap24& bitmap, const ByteSink& sink) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  const std::size_t row_bytes = std::size_t(Bitmap24::StrideFor(w));
  const std::size_t image_bytes = row_bytes * std::size_t(h);
  const std::size_t header_bytes = kFileHeaderSize + kWriteInfoSize;

  std::vector<std::uint8_t> header;
  header.reserve(header_bytes);
  base::ByteWriter out(header);
  out.WriteBytes("BM", 2);
  out.WriteU32(std::uint32_t(header_bytes + image_bytes));
  out.WriteU32(0);  // reserved
  out.WriteU32(std::uint32_t(header_bytes));
  out.WriteU32(kWriteInfoSize);
  out.WriteI32(w);
  out.WriteI32(h);  // positive: bottom-up
  out.WriteU16(1);  // planes
  out.WriteU16(24);
  out.WriteU32(kBiRgb);
  out.WriteU32(std::uint32_t(image_bytes));
  out.WriteU32(kPixelsPerMetre);
  out.WriteU32(kPixelsPerMetre);
  out.WriteU32(0);  // colours used
  out.WriteU32(0);  // colours important
  sink(header.data(), header.size());
  if (row_bytes == 0) return;

  // Rows go out bottom row first, gathered into blocks so that a file sink sees few calls;
  // the copy also makes the padding bytes zero whatever the bitmap holds there.
  const std::size_t rows_per_block = std::max<std::size_t>(1, (std::size_t(1) << 16) / row_bytes);
  std::vector<std::uint8_t> block(row_bytes * std::min<std::size_t>(rows_per_block, h), 0);
  std::size_t filled = 0;
  for (int y = h - 1; y >= 0; --y) {
    std::memcpy(block.data() + filled, bitmap.Row(y), std::size_t(w) * 3);
    filled += row_bytes;
    if (filled == block.size() || y == 0) {
      sink(block.data(), filled);
      filled = 0;
    }
  }
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap24& bitmap) {
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderSize + kWriteInfoSize +
              std::size_t(Bitmap24::StrideFor(bitmap.Width())) * std::size_t(bitmap.Height()));
  WriteBmp(bitmap, [&out](const std::uint8_t* data, std::size_t n) {
    out.insert(out.end(), data, data + n);
  });
  return out;
}

bool SaveBmpFile(const Bitmap24& bitmap, const std::string& path, std::string* error) {
  const Result<bool> saved = platform::DefaultFileSystem().ReplaceFileAtomically(
      path, [&bitmap](const ByteSink& sink, std::string&) {
        WriteBmp(bitmap, sink);
        return true;
      });
  if (!saved && error) *error = saved.ErrorText();
  return saved.Ok();
}

Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path) {
  platform::FileError why = platform::FileError::kNone;
  Result<std::vector<std::uint8_t>> bytes =
      platform::DefaultFileSystem().ReadWholeFile(path, kMaxFileBytes, &why);
  if (why == platform::FileError::kTooLarge) {
    return Result<std::vector<std::uint8_t>>::Error(
        "cannot read " + path + ": " + std::string(kTooLargeText) + " (a picture file of over " +
        std::to_string(kMaxFileBytes >> 20) + " MiB)");
  }
  return bytes;
}

}  // namespace zevo::gfx
