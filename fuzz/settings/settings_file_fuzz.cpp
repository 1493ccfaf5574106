// The settings file parser on any bytes: every value it finds must survive being written back,
// and an update must hold the new value while keeping the others.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/settings_file.h"
#include "settings/password_mask.h"

using namespace zevo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto entries = platform::ParseSettingsFile(content);
  for (const auto& e : entries) {
    auto line = platform::FormatSettingLine(e.name, e.value);
    if (!line) std::abort();
    auto back = platform::FindSetting(*line, e.name);
    if (!back || !(*back == e.value)) std::abort();
  }
  const platform::StoredSetting value{platform::SettingType::Text,
                                      std::string(content.substr(0, 64)) + '\0'};
  auto updated = platform::UpdateSettingsFile(content, "Fuzz_Value", value);
  if (!updated) std::abort();
  auto found = platform::FindSetting(*updated, "fuzz_value");
  if (!found || !(*found == value)) std::abort();
  for (const auto& e : entries) {
    std::string lower = e.name;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (lower == "fuzz_value") continue;  // replaced by the update
    if (!platform::FindSetting(*updated, e.name)) std::abort();
  }

  // The password forms: whatever is stored unmasks to at most 255 bytes without a zero, and a
  // password goes through its stored form unchanged.
  const std::string plain = settings::UnmaskPassword(content);
  if (plain.size() > settings::kPasswordMaxLength || plain.find('\0') != std::string::npos)
    std::abort();
  std::string_view password = content.substr(0, content.find('\0'));
  password = password.substr(0, settings::kPasswordMaxLength);
  const std::string stored = settings::MaskPassword(password);
  if (stored.find('\0') != std::string::npos || settings::UnmaskPassword(stored) != password)
    std::abort();
  return 0;
}
