#include "settings/text_file.h"

#include <filesystem>
#include <fstream>

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
  std::error_code ec;
  bool is_file = std::filesystem::is_regular_file(path, ec);
  std::ifstream in;
  if (is_file) in.open(path, std::ios::binary);
  if (!is_file || !in)
    return Result<std::vector<std::string>>::Error("Cannot open file \"" + path + "\".");
  std::string content;
  char buf[8192];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    content.append(buf, std::size_t(in.gcount()));
    if (content.size() > kMaxTextFileSize)
      return Result<std::vector<std::string>>::Error("The file \"" + path +
                                                     "\" is too large for a text file.");
  }
  if (in.bad())
    return Result<std::vector<std::string>>::Error("Cannot read file \"" + path + "\".");
  return SplitTextLines(content);
}

TextIndexError::TextIndexError(int line, int count)
    : std::out_of_range("List index out of bounds (" + std::to_string(line) +
                        "): the text list has " + std::to_string(count) + " lines."),
      line_(line) {}

}  // namespace zevo::settings
