#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace zevo::settings {

inline constexpr std::size_t kPasswordMaxLength = 255;

// The mask over bytes 0..254 of the stored password: byte i is the low 8 bits of i times
// kMultiplier with kPattern OR-ed in, so no mask byte is zero.
class PasswordMask {
 public:
  static constexpr std::uint32_t kMultiplier = 0x6B;
  static constexpr std::uint8_t kPattern = 0x84;

  PasswordMask();
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
  static constexpr std::size_t size() { return kPasswordMaxLength; }

 private:
  std::array<std::uint8_t, kPasswordMaxLength> bytes_{};
};

// The stored form of a password (its first 255 bytes, up to a zero byte). The 255-byte buffer
// (password, zero padding) combined with the mask is the stored text. Where a password byte
// equals its mask byte the combination is zero, which would end the stored text early; such a
// password is stored in the long form: the 255 combined bytes with each zero replaced by 0xFF,
// then 37 flag bytes (0x80 plus 7 bits each, bit k of flag byte j set when byte 7j + k was
// zero). Neither form contains a zero byte, and the lengths (255 and 292) tell them apart.
std::string MaskPassword(std::string_view password);

// The password from its stored form. A stored text of any other length (a missing value, an
// edited or damaged one) is unmasked over the bytes it has; the password ends at the first
// zero byte, so a missing value reads as the empty password.
std::string UnmaskPassword(std::string_view stored);

// The `Password` value, unmasked; the empty password when none is stored.
std::string ReadStoredPassword(const SettingsBackend& store);
std::string ReadStoredPassword();
// Stores `password` (at most 255 bytes are kept) as the masked `Password` value.
void StorePassword(SettingsBackend& store, std::string_view password);
void StorePassword(std::string_view password);

}  // namespace zevo::settings
