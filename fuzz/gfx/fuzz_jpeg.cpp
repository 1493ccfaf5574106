#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "gfx/jpeg_file.h"

// Any bytes give a picture or an error, never a jump out of the process.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zevo::Result<zevo::gfx::Bitmap24> picture = zevo::gfx::DecodeJpeg(std::span(data, size));
  if (picture && picture.Value().Empty()) std::abort();
  return 0;
}
