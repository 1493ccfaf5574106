// drav_decode on anything, and the payload decoder behind a valid seal (which random bytes
// never pass): the first byte picks the method, the next four the claimed plain length.
#include <cstdint>
#include <vector>

#include "codec/container.h"
#include "codec/zevo_codec.h"

namespace {

const std::uint8_t kKey[32] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
                               7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};

void DecodeBothCalls(const std::uint8_t* data, std::size_t size) {
  std::int32_t length = 0;
  if (drav_decode(data, std::int32_t(size), nullptr, &length, kKey) != 0) return;
  std::vector<std::uint8_t> out(std::size_t(length) + 1);
  length = std::int32_t(out.size());
  if (drav_decode(data, std::int32_t(size), out.data(), &length, kKey) == 0 &&
      std::size_t(length) >= out.size()) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  DecodeBothCalls(data, size);
  if (size >= 5) {
    const auto method = zevo::codec::Method(data[0] % 3);
    const std::uint32_t length = (std::uint32_t(data[1]) | (std::uint32_t(data[2]) << 8) |
                                  (std::uint32_t(data[3]) << 16) | (std::uint32_t(data[4]) << 24)) %
                                 (1u << 20);
    const std::vector<std::uint8_t> sealed =
        zevo::codec::Seal(method, length, {data + 5, size - 5}, kKey);
    DecodeBothCalls(sealed.data(), sealed.size());
  }
  return 0;
}
