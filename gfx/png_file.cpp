#include "gfx/png_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>

#include "platform/file_system.h"

namespace zevo::gfx {
namespace {

void SinkWrite(png_structp png, png_bytep data, png_size_t size) {
  const auto* sink = static_cast<const ByteSink*>(png_get_io_ptr(png));
  (*sink)(data, size);
}

void SinkFlush(png_structp) {}

// libpng reports errors by a long jump back into WritePng; nothing it jumps over owns memory.
void ErrorJump(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

}  // namespace

Rgba WhiteToAlpha(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const int a = 255 - std::min({int(r), int(g), int(b)});
  if (a == 0) return {255, 255, 255, 0};
  // c = c' a / 255 + 255 (1 - a / 255), solved for c'; c >= 255 - a for every channel.
  auto channel = [a](int c) { return std::uint8_t(((c - 255 + a) * 255 + a / 2) / a); };
  return {channel(r), channel(g), channel(b), std::uint8_t(a)};
}

bool WritePng(const Bitmap24& bitmap, const ByteSink& sink, const PngOptions& options) {
  if (bitmap.Empty()) return false;
  const int w = bitmap.Width(), h = bitmap.Height();
  const int channels = options.white_transparent ? 4 : 3;
  std::vector<png_byte> row(std::size_t(w) * std::size_t(channels));
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorJump, IgnoreWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, const_cast<ByteSink*>(&sink), SinkWrite, SinkFlush);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
               options.white_transparent ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (options.pixels_per_metre != 0) {
    png_set_pHYs(png, info, options.pixels_per_metre, options.pixels_per_metre,
                 PNG_RESOLUTION_METER);
  }
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* px = bitmap.Row(y);
    png_byte* out = row.data();
    for (int x = 0; x < w; ++x, px += 3) {
      if (options.white_transparent) {
        const Rgba c = WhiteToAlpha(px[2], px[1], px[0]);
        out[0] = c.r, out[1] = c.g, out[2] = c.b, out[3] = c.a;
        out += 4;
      } else {
        out[0] = px[2], out[1] = px[1], out[2] = px[0];
        out += 3;
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::vector<std::uint8_t> EncodePng(const Bitmap24& bitmap, const PngOptions& options) {
  std::vector<std::uint8_t> bytes;
  if (!WritePng(
          bitmap,
          [&bytes](const std::uint8_t* data, std::size_t size) {
            bytes.insert(bytes.end(), data, data + size);
          },
          options))
    bytes.clear();
  return bytes;
}

bool SavePngFile(const Bitmap24& bitmap, const std::string& path, std::string* error,
                 const PngOptions& options) {
  if (bitmap.Empty()) {
    if (error) *error = "an empty picture cannot be written as PNG";
    return false;
  }
  const Result<bool> saved = platform::DefaultFileSystem().ReplaceFileAtomically(
      path, [&bitmap, &options](const ByteSink& sink, std::string& why) {
        if (WritePng(bitmap, sink, options)) return true;
        why = "the PNG writer failed";
        return false;
      });
  if (!saved && error) *error = saved.ErrorText();
  return saved.Ok();
}

}  // namespace zevo::gfx
