// The stroke file reader on plain layouts of every generation.
#include <cstdint>

#include "files/stroke_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  zevo::ink::StrokeDocument d(1024, 718);
  const int r = zevo::files::ReadStrokeData(d, {data, size}, nullptr);
  if (r != 0 && (d.Count() != 0 || d.Background() != nullptr)) __builtin_trap();
  if (r == 0 && d.StrokeOpen()) __builtin_trap();
  return 0;
}
