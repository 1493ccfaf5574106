// The JSON form of a stroke document (fuzz/files/json_harness.h).
#include "fuzz/files/json_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size <= (1u << 20)) zevo::fuzz::ImportJson({data, size});
  return 0;
}
