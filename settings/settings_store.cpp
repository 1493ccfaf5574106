#include "settings/settings_store.h"

#include "base/byte_io.h"

namespace zevo::settings {
namespace {

using platform::SettingType;
using platform::StoredSetting;

std::unique_ptr<SettingsBackend>& InstalledStore() {
  static std::unique_ptr<SettingsBackend> store;
  return store;
}

SettingsBackend*& ScopedStore() {
  static SettingsBackend* store = nullptr;
  return store;
}

}  // namespace

std::int32_t ReadSettingInt(const SettingsBackend& store, std::string_view name,
                            std::int32_t default_value) {
  // Whatever the stored type, four bytes are the integer (as a registry query would give).
  auto v = store.Read(name);
  if (!v || v->bytes.size() != 4) return default_value;
  return static_cast<std::int32_t>(
      base::LoadU32LE(reinterpret_cast<const std::uint8_t*>(v->bytes.data())));
}

std::string ReadSettingText(const SettingsBackend& store, std::string_view name,
                            std::string_view default_value) {
  auto v = store.Read(name);
  if (!v || v->bytes.size() >= kTextReadBuffer) return std::string(default_value);
  const std::string& b = v->bytes;
  return b.substr(0, b.find('\0'));
}

void WriteSettingInt(SettingsBackend& store, std::string_view name, std::int32_t value) {
  StoredSetting v{SettingType::Integer, std::string(4, '\0')};
  base::StoreU32LE(reinterpret_cast<std::uint8_t*>(v.bytes.data()),
                   static_cast<std::uint32_t>(value));
  (void)store.Write(name, v);
}

void WriteSettingText(SettingsBackend& store, std::string_view name, std::string_view text) {
  StoredSetting v{SettingType::Text, std::string(text.substr(0, text.find('\0')))};
  v.bytes.push_back('\0');
  (void)store.Write(name, v);
}

SettingsBackend& CurrentSettingsBackend() {
  if (SettingsBackend* s = ScopedStore()) return *s;
  auto& installed = InstalledStore();
  if (!installed) installed = platform::MakeDefaultSettingsBackend();
  return *installed;
}

std::string SettingsErrorText() {
  return CurrentSettingsBackend().ErrorText();
}

void InstallSettingsBackend(std::unique_ptr<SettingsBackend> store) {
  InstalledStore() = std::move(store);
}

ScopedSettingsBackend::ScopedSettingsBackend(SettingsBackend& store) : previous_(ScopedStore()) {
  ScopedStore() = &store;
}

ScopedSettingsBackend::~ScopedSettingsBackend() {
  ScopedStore() = previous_;
}

std::int32_t ReadSettingInt(std::string_view name, std::int32_t default_value) {
  return ReadSettingInt(CurrentSettingsBackend(), name, default_value);
}

std::string ReadSettingText(std::string_view name, std::string_view default_value) {
  return ReadSettingText(CurrentSettingsBackend(), name, default_value);
}

void WriteSettingInt(std::string_view name, std::int32_t value) {
  WriteSettingInt(CurrentSettingsBackend(), name, value);
}

void WriteSettingText(std::string_view name, std::string_view text) {
  WriteSettingText(CurrentSettingsBackend(), name, text);
}

}  // namespace zevo::settings
