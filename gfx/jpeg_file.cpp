#include "gfx/jpeg_file.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <optional>

#include "gfx/picture_limits.h"
#include "platform/file_system.h"

namespace zevo::gfx {
namespace {

// A tiny file must not make us allocate a huge picture: past kTrustedPixels the data must
// hold at least a byte per kPixelsPerByte pixels. Huffman coding spends at least one bit on
// every 8 x 8 block (512 pixels per byte), so only freak arithmetic-coded files come near.
constexpr std::uint64_t kTrustedPixels = std::uint64_t(1) << 24;
constexpr std::uint64_t kPixelsPerByte = 2048;
// Multi-scan files keep all coefficients in memory, two bytes a sample: up to twice the
// bitmap for 4:4:4 colour. Beyond this the library gives up.
constexpr long kMaxLibraryMemory = long(2 * kMaxPictureBytes);
// Real progressive files have about ten scans; thousands of tiny ones only burn time.
constexpr int kMaxScans = 500;
constexpr std::size_t kOutputBlock = 1 << 16;

// libjpeg reports fatal errors through error_exit, which must not return; it jumps back to
// the guarded call instead. Everything between the jump and its target is C code or frames
// of this file that own nothing with a destructor.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Abandon(j_common_ptr cinfo, const char* text) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "%s", text);
  std::longjmp(err->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Where the data ends early the library fills the rest of the picture with grey and calls
// it a success. A file that only lacks its end mark ends in the last row of blocks without
// a scan running short; anything else is missing pixels.
bool DataMissing(j_common_ptr cinfo) {
  const int code = cinfo->err->msg_code;
  if (code == JWRN_HIT_MARKER) return true;  // a scan ran out of data
  if (code != JWRN_JPEG_EOF || !cinfo->is_decompressor) return false;
  const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  const bool one_scan = !d->progressive_mode && d->comps_in_scan == d->num_components;
  return !one_scan || d->total_iMCU_rows == 0 || d->input_iMCU_row + 1 < d->total_iMCU_rows;
}

// Other warnings are recoverable damage and are dropped.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  if (DataMissing(cinfo)) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
  }
  ++cinfo->err->num_warnings;
}

void OnProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    Abandon(cinfo, "too many scans");
  }
}

void InstallErrorManager(ErrorManager& err, j_common_ptr cinfo) {
  cinfo->err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.message[0] = '\0';
}

// Runs body; false when libjpeg gave up inside it. body must not own objects with
// destructors while it calls into the library.
template <class Body>
bool Guarded(ErrorManager& err, Body&& body) {
  if (setjmp(err.jump)) return false;
  body();
  return true;
}

Result<Bitmap24> Fail(const std::string& message) {
  return Result<Bitmap24>::Error("JPEG file: " + message);
}

struct DecodeState {
  std::optional<Bitmap24> out;
  std::vector<std::uint8_t> row;
  std::string refusal;  // a refusal of ours, as opposed to one of the library
  jpeg_progress_mgr progress{};
};

void DecodeBody(j_decompress_ptr cinfo, std::span<const std::uint8_t> bytes, DecodeState& s) {
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kMaxLibraryMemory;
  jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(cinfo, TRUE);

  const std::uint64_t w = cinfo->image_width;
  const std::uint64_t h = cinfo->image_height;
  if (w > std::uint64_t(Bitmap24::kMaxSide) || h > std::uint64_t(Bitmap24::kMaxSide)) {
    s.refusal = "size " + std::to_string(w) + " x " + std::to_string(h) + " is larger than " +
                std::to_string(Bitmap24::kMaxSide);
    return;
  }
  // The header's size is all that is known yet: nothing is allocated before it is checked.
  if (PictureBytes(int(w), int(h)) > kMaxPictureBytes) {
    s.refusal =
        std::to_string(w) + " x " + std::to_string(h) + " pixels are " + std::string(kTooLargeText);
    return;
  }
  if (w * h > kTrustedPixels && w * h / kPixelsPerByte > bytes.size()) {
    s.refusal = std::to_string(bytes.size()) + " bytes are too few for " + std::to_string(w) +
                " x " + std::to_string(h) + " pixels";
    return;
  }
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
      cinfo->out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_YCbCr:
    case JCS_RGB:
      cinfo->out_color_space = JCS_EXT_BGR;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo->out_color_space = JCS_CMYK;
      break;
    default:
      s.refusal =
          "unsupported colour space with " + std::to_string(cinfo->num_components) + " components";
      return;
  }
  s.out = Bitmap24::TryCreate(int(w), int(h));
  if (!s.out) {
    s.refusal =
        "not enough memory for " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    return;
  }
  s.progress.progress_monitor = OnProgress;
  cinfo->progress = &s.progress;

  jpeg_start_decompress(cinfo);
  const int components = cinfo->output_components;
  const bool direct = cinfo->out_color_space == JCS_EXT_BGR;
  if (!direct) s.row.resize(std::size_t(w) * components);
  const bool inverted = cinfo->saw_Adobe_marker;
  Bitmap24& out = *s.out;
  while (cinfo->output_scanline < cinfo->output_height) {
    std::uint8_t* dst = out.Row(int(cinfo->output_scanline));
    JSAMPROW row = direct ? dst : s.row.data();
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) Abandon(j_common_ptr(cinfo), "no scan line");
    if (direct) continue;
    const std::uint8_t* src = s.row.data();
    if (components == 1) {
      for (std::uint64_t x = 0; x < w; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
      continue;
    }
    for (std::uint64_t x = 0; x < w; ++x, src += 4) {
      // Light left by each ink: Adobe files store 255 - ink, plain CMYK the ink itself.
      const unsigned c = inverted ? src[0] : 255u - src[0];
      const unsigned m = inverted ? src[1] : 255u - src[1];
      const unsigned y = inverted ? src[2] : 255u - src[2];
      const unsigned k = inverted ? src[3] : 255u - src[3];
      dst[3 * x] = std::uint8_t((y * k + 127) / 255);
      dst[3 * x + 1] = std::uint8_t((m * k + 127) / 255);
      dst[3 * x + 2] = std::uint8_t((c * k + 127) / 255);
    }
  }
  // The rest of the file (trailing markers, a missing end mark) does not change the picture.
}

struct Destination {
  jpeg_destination_mgr pub;
  const ByteSink* sink;
  std::uint8_t* buffer;
  std::size_t size;
};

void SinkBytes(j_compress_ptr cinfo, std::size_t n) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  bool failed = false;
  try {
    (*d->sink)(d->buffer, n);
  } catch (...) {
    failed = true;
  }
  if (failed) Abandon(j_common_ptr(cinfo), "the output could not take the data");
}

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = d->size;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  SinkBytes(cinfo, d->size);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = d->size;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  SinkBytes(cinfo, d->size - d->pub.free_in_buffer);
}

void EncodeBody(j_compress_ptr cinfo, Destination& dest, const Bitmap24& bitmap, int quality) {
  jpeg_create_compress(cinfo);
  cinfo->dest = &dest.pub;
  cinfo->image_width = JDIMENSION(bitmap.Width());
  cinfo->image_height = JDIMENSION(bitmap.Height());
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  while (cinfo->next_scanline < cinfo->image_height) {
    // The library does not write through the row pointer.
    JSAMPROW row = const_cast<std::uint8_t*>(bitmap.Row(int(cinfo->next_scanline)));
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
}

bool WriteJpegChecked(const Bitmap24& bitmap, int quality, const ByteSink& sink,
                      std::string* error) {
  if (bitmap.Empty()) {
    if (error) *error = "an empty picture cannot be written as JPEG";
    return false;
  }
  std::vector<std::uint8_t> buffer(kOutputBlock);
  Destination dest{};
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutputBuffer;
  dest.pub.term_destination = TermDestination;
  dest.sink = &sink;
  dest.buffer = buffer.data();
  dest.size = buffer.size();

  jpeg_compress_struct cinfo{};
  ErrorManager err;
  InstallErrorManager(err, j_common_ptr(&cinfo));
  const int q = std::clamp(quality, 1, 100);
  const bool ok = Guarded(err, [&] { EncodeBody(&cinfo, dest, bitmap, q); });
  jpeg_destroy_compress(&cinfo);
  if (!ok && error) *error = std::string("JPEG file: ") + err.message;
  return ok;
}

}  // namespace

Result<Bitmap24> DecodeJpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return Fail("the file is empty");
  jpeg_decompress_struct cinfo{};
  ErrorManager err;
  InstallErrorManager(err, j_common_ptr(&cinfo));
  DecodeState state;
  const bool ok = Guarded(err, [&] { DecodeBody(&cinfo, bytes, state); });
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return Fail(err.message);
  if (!state.refusal.empty()) return Fail(state.refusal);
  return std::move(*state.out);
}

Result<Bitmap24> LoadJpegFile(const std::string& path) {
  Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Result<Bitmap24>::Error(bytes.ErrorText());
  Result<Bitmap24> bitmap = DecodeJpeg(bytes.Value());
  if (!bitmap) return Result<Bitmap24>::Error(path + ": " + bitmap.ErrorText());
  return bitmap;
}

void WriteJpeg(const Bitmap24& bitmap, int quality, const ByteSink& sink) {
  WriteJpegChecked(bitmap, quality, sink, nullptr);
}

std::vector<std::uint8_t> EncodeJpeg(const Bitmap24& bitmap, int quality) {
  std::vector<std::uint8_t> out;
  const bool ok = WriteJpegChecked(
      bitmap, quality,
      [&out](const std::uint8_t* data, std::size_t n) { out.insert(out.end(), data, data + n); },
      nullptr);
  if (!ok) out.clear();
  return out;
}

bool SaveJpegFile(const Bitmap24& bitmap, const std::string& path, int quality,
                  std::string* error) {
  const Result<bool> saved = platform::DefaultFileSystem().ReplaceFileAtomically(
      path, [&](const ByteSink& sink, std::string& produce_error) {
        return WriteJpegChecked(bitmap, quality, sink, &produce_error);
      });
  if (!saved && error) *error = saved.ErrorText();
  return saved.Ok();
}

Result<Bitmap24> LoadPictureFile(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  std::string extension;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    extension = path.substr(dot);
    for (char& c : extension) {
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
  }
  return extension == ".BMP" ? LoadBmpFile(path) : LoadJpegFile(path);
}

}  // namespace zevo::gfx
