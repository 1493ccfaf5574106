#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "gfx/bmp_file.h"

namespace zevo::gfx {

// JPEG files through libjpeg.
//
// Reading gives 24-bit pictures from grayscale, YCbCr/RGB and CMYK/YCCK files (Adobe files
// store CMYK inverted). Refused with an error: sides over Bitmap24::kMaxSide, a bitmap over
// kMaxPictureBytes (found from the header, before decoding; the error says it is too large for
// Zevo 3), a picture that cannot be allocated, more than 16 M pixels claimed by fewer than one byte
// per 2048 pixels (no entropy-coded file gets near that), data that ends early or breaks off inside
// a scan, and files with an absurd number of scans. Other recoverable damage the library reports as
// a warning is accepted.
Result<Bitmap24> DecodeJpeg(std::span<const std::uint8_t> bytes);
Result<Bitmap24> LoadJpegFile(const std::string& path);

inline constexpr int kJpegQuality = 90;

// Writes a baseline colour JPEG (JFIF, YCbCr 4:2:0, standard tables scaled to quality, which
// is clamped to 1..100). An empty bitmap cannot be a JPEG: nothing is written.
void WriteJpeg(const Bitmap24& bitmap, int quality, const ByteSink& sink);
// Empty when the bitmap is empty.
std::vector<std::uint8_t> EncodeJpeg(const Bitmap24& bitmap, int quality = kJpegQuality);
// Replaced atomically, as SaveBmpFile does.
bool SaveJpegFile(const Bitmap24& bitmap, const std::string& path, int quality, std::string* error);

// A texture or background picture: BMP when the extension, upper-cased, is ".BMP", JPEG
// otherwise.
Result<Bitmap24> LoadPictureFile(const std::string& path);

}  // namespace zevo::gfx
