#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "gfx/bmp_file.h"

// Any bytes give a picture or an error; a picture read back from our own writer is the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zevo::Result<zevo::gfx::Bitmap24> picture = zevo::gfx::DecodeBmp(std::span(data, size));
  if (!picture) return 0;
  const zevo::gfx::Bitmap24& b = picture.Value();
  if (b.Empty()) std::abort();
  if (std::size_t(b.Width()) * std::size_t(b.Height()) <= (std::size_t(1) << 20)) {
    zevo::Result<zevo::gfx::Bitmap24> again = zevo::gfx::DecodeBmp(zevo::gfx::EncodeBmp(b));
    if (!again || !again.Value().SamePixels(b)) std::abort();
  }
  return 0;
}
