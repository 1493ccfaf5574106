#include "settings/startup_file.h"

#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace zevo::settings {
namespace {

constexpr std::size_t kMaxStartupFileSize = 1 << 20;

bool IsDelimiter(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The file's lines as the C library reads them in text mode: CR LF becomes LF; `whole` is
// false for a line longer than one piece.
struct Line {
  std::string_view text;  // without its line end
  bool whole;
};

std::vector<Line> Lines(std::string_view content, std::string& normalised) {
  normalised.clear();
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
    normalised += content[i];
  }
  std::vector<Line> lines;
  std::string_view s = normalised;
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t end = s.find('\n', start);
    bool has_end = end != std::string_view::npos;
    if (!has_end) end = s.size();
    std::size_t length = end - start + (has_end ? 1 : 0);
    lines.push_back({s.substr(start, end - start), length <= kStartupPieceSize});
    start = end + 1;
  }
  return lines;
}

}  // namespace

StartupOptions ParseStartupFile(std::string_view content) {
  StartupOptions options;
  std::string normalised;
  std::vector<Line> lines = Lines(content, normalised);
  if (lines.empty() || !lines[0].whole || lines[0].text != kStartupSection) return options;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    if (!lines[n].whole) continue;
    std::string_view line = lines[n].text;
    line = line.substr(0, line.find('\0'));  // a text ends at a zero byte
    std::size_t i = 0;
    while (i < line.size() && IsDelimiter(line[i])) ++i;
    std::size_t key_start = i;
    while (i < line.size() && !IsDelimiter(line[i])) ++i;
    std::string_view key = line.substr(key_start, i - key_start);
    if (key.empty() || i >= line.size()) continue;  // no word, or no value
    std::string_view value = line.substr(i + 1);
    if (value.empty()) continue;
    if (key == "Path_Stamp")
      options.stamp_folder = std::string(value);
    else if (key == "Path_Skin")
      options.skin_folder = std::string(value);
  }
  return options;
}

StartupOptions ReadStartupFile(const std::string& program_folder) {
  const Result<std::vector<std::uint8_t>> bytes = platform::DefaultFileSystem().ReadWholeFile(
      program_folder + kStartupFileName, kMaxStartupFileSize);
  if (!bytes) return {};
  const std::vector<std::uint8_t>& b = bytes.Value();
  return ParseStartupFile(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

}  // namespace zevo::settings
