#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/byte_io.h"
#include "base/result.h"
#include "gfx/bitmap24.h"
#include "gfx/picture_limits.h"

namespace zevo::gfx {

// Receives the bytes of a file image as they are produced, in order.
using ByteSink = base::ByteSink;

// Windows bitmap files.
//
// Reads the file header "BM" followed by an info header of 12 (OS/2 core), 40, 52, 56, 108 or
// 124 bytes; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields
// (16 and 32 bits; 16-bit files without fields are 5-5-5). Rows may be bottom-up or top-down
// (negative height, uncompressed only). Alpha is dropped.
//
// Choices where files differ in the wild:
// - The palette is what lies between the headers and the pixel data, at most clrUsed entries
//   (0 = the full 2^bpp); an index beyond it gives black.
// - The file size in the file header is not trusted; the sizes that matter are checked
//   against the bytes the file really holds, and a header that claims more is an error.
//   Uncompressed data may lack the padding of its last row.
// - Pixels an RLE stream does not set (delta, end of line, end of bitmap, or data that ends
//   early) stay black. RLE data that stops without its end-of-bitmap mark gives the rows
//   decoded so far instead of an error: many writers leave the mark out. A biSizeImage that
//   claims more RLE bytes than the file holds is an error.
// - A width or height of 0 is refused: a picture without pixels would only make trouble
//   later (a texture tile of no size). Because a few bytes of RLE can claim a huge picture,
//   an RLE picture over 16 M pixels must have at least one byte of data per 2048 pixels.
// - A picture whose bitmap would take more than max_bytes (PictureBytes) is refused before
//   it is allocated, with an error that says it is too large for Zevo 3 (IsTooLarge).
Result<Bitmap24> DecodeBmp(std::span<const std::uint8_t> bytes,
                           std::uint64_t max_bytes = kMaxPictureBytes);
Result<Bitmap24> LoadBmpFile(const std::string& path);

// Writes a 24-bit uncompressed bottom-up file with a 40-byte info header, rows padded to
// 4 bytes, 2835 pixels per metre (72 dpi). An empty bitmap gives a header that DecodeBmp
// refuses.
void WriteBmp(const Bitmap24& bitmap, const ByteSink& sink);
std::vector<std::uint8_t> EncodeBmp(const Bitmap24& bitmap);
// Replaces the file at path atomically (platform::FileSystem::ReplaceFileAtomically), so a
// failed save leaves an existing file untouched. On failure returns false and sets *error
// (when error is not null).
bool SaveBmpFile(const Bitmap24& bitmap, const std::string& path, std::string* error);

// The whole file for the picture readers, refused as too large for Zevo 3 when it is larger
// than any picture within kMaxPictureBytes could be; the error names the path and the reason.
Result<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path);

}  // namespace zevo::gfx
