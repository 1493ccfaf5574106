// The stroke file reader on encoded files: the input is taken as a plain layout and encoded
// with the real codec first, so that every run reaches the record parser through the codec's
// stroke-aware decoder.
#include <cstdint>
#include <vector>

#include "files/stroke_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 18)) return 0;
  static const zevo::files::CodecBinding codec({drav_encode, drav_encode_ex, drav_decode});
  std::vector<std::uint8_t> encoded;
  if (!codec.Encode({data, size}, encoded)) __builtin_trap();
  zevo::ink::StrokeDocument d(1024, 718);
  const int r = zevo::files::ReadStrokeData(d, encoded, &codec);
  if (r == zevo::files::kReadCannotDecode) __builtin_trap();
  if (r != 0 && (d.Count() != 0 || d.Background() != nullptr)) __builtin_trap();
  return 0;
}
