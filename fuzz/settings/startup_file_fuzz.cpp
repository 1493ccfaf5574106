// The "Zevo3.ini" parser on any bytes: values come from single whole lines.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/startup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto options = zevo::settings::ParseStartupFile(content);
  for (const auto& folder : {options.stamp_folder, options.skin_folder}) {
    if (!folder) continue;
    if (folder->empty() || folder->size() > zevo::settings::kStartupPieceSize) std::abort();
    if (folder->find_first_of(std::string_view("\n\0", 2)) != std::string::npos) std::abort();
  }
  return 0;
}
