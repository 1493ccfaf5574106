#include "settings/text_file.h"

#include <cstdint>

#include "platform/file_system.h"

namespace zevo::settings {

std::vector<std::string> SplitTextLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

Result<std::vector<std::string>> ReadTextFile(const std::string& path) {
  using R = Result<std::vector<std::string>>;
  platform::FileError why = platform::FileError::kNone;
  const Result<std::vector<std::uint8_t>> bytes =
      platform::DefaultFileSystem().ReadWholeFile(path, kMaxTextFileSize, &why);
  if (!bytes) {
    if (why == platform::FileError::kTooLarge)
      return R::Error("The file \"" + path + "\" is too large for a text file.");
    if (why == platform::FileError::kReadFailed)
      return R::Error("Cannot read file \"" + path + "\".");
    return R::Error("Cannot open file \"" + path + "\".");
  }
  const std::vector<std::uint8_t>& b = bytes.Value();
  return SplitTextLines(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

TextIndexError::TextIndexError(int line, int count)
    : std::out_of_range("List index out of bounds (" + std::to_string(line) +
                        "): the text list has " + std::to_string(count) + " lines."),
      line_(line) {}

}  // namespace zevo::settings
