// What opening a plain stroke layout brings onto the sheet's pages (fuzz/render/harness.h).
#include "fuzz/render/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= (1u << 20)) zevo::fuzz::OpenIntoSheet({data, size});
  return 0;
}
