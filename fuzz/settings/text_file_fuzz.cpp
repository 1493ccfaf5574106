// The text file splitter on any bytes: lines hold no line end and no zero byte, and joining
// them again with LF gives the text before its first zero with CR LF and CR turned into LF.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = zevo::settings::SplitTextLines(text);
  std::string joined;
  for (const auto& line : lines) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
    joined += line;
    joined += '\n';
  }
  text = text.substr(0, text.find('\0'));
  std::string expected;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      expected += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      expected += text[i];
    }
  }
  if (!expected.empty() && expected.back() != '\n') expected += '\n';
  if (joined != expected) std::abort();
  return 0;
}
