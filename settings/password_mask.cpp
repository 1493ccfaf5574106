#include "settings/password_mask.h"

#include <algorithm>

#include "settings/setting_names.h"

namespace zevo::settings {
namespace {

constexpr std::size_t kFlagBits = 7;
constexpr std::size_t kFlagBytes = (kPasswordMaxLength + kFlagBits - 1) / kFlagBits;  // 37
constexpr std::size_t kLongForm = kPasswordMaxLength + kFlagBytes;                    // 292
constexpr unsigned char kZeroStandIn = 0xFF;

}  // namespace

PasswordMask::PasswordMask() {
  for (std::size_t i = 0; i < bytes_.size(); ++i)
    bytes_[i] = std::uint8_t(((i * kMultiplier) & 0xFF) | kPattern);
}

std::string MaskPassword(std::string_view password) {
  password = password.substr(0, password.find('\0'));
  if (password.size() > kPasswordMaxLength) password = password.substr(0, kPasswordMaxLength);
  const PasswordMask mask;
  std::string out(kPasswordMaxLength, '\0');
  std::string flags(kFlagBytes, char(0x80));
  bool collision = false;
  for (std::size_t i = 0; i < kPasswordMaxLength; ++i) {
    unsigned char plain = i < password.size() ? static_cast<unsigned char>(password[i]) : 0;
    unsigned char c = plain ^ mask[i];
    if (c == 0) {
      collision = true;
      c = kZeroStandIn;
      flags[i / kFlagBits] =
          char(static_cast<unsigned char>(flags[i / kFlagBits]) | (1u << (i % kFlagBits)));
    }
    out[i] = char(c);
  }
  if (collision) out += flags;
  return out;
}

std::string UnmaskPassword(std::string_view stored) {
  const PasswordMask mask;
  std::string combined(stored.substr(0, std::min(stored.size(), kPasswordMaxLength)));
  if (stored.size() == kLongForm) {
    for (std::size_t i = 0; i < kPasswordMaxLength; ++i) {
      auto flag = static_cast<unsigned char>(stored[kPasswordMaxLength + i / kFlagBits]);
      if (flag & (1u << (i % kFlagBits))) combined[i] = '\0';
    }
  }
  std::string plain;
  for (std::size_t i = 0; i < combined.size(); ++i) {
    char p = char(static_cast<unsigned char>(combined[i]) ^ mask[i]);
    if (p == '\0') break;
    plain.push_back(p);
  }
  return plain;
}

std::string ReadStoredPassword(const SettingsBackend& store) {
  return UnmaskPassword(ReadSettingText(store, kPassword, ""));
}

std::string ReadStoredPassword() {
  return ReadStoredPassword(CurrentSettingsBackend());
}

void StorePassword(SettingsBackend& store, std::string_view password) {
  WriteSettingText(store, kPassword, MaskPassword(password));
}

void StorePassword(std::string_view password) {
  StorePassword(CurrentSettingsBackend(), password);
}

}  // namespace zevo::settings
