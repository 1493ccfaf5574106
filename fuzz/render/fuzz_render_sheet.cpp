// The sheet picture of what a plain stroke layout holds (fuzz/render/harness.h).
#include "fuzz/render/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= (1u << 20)) zevo::fuzz::RenderSheet({data, size});
  return 0;
}
