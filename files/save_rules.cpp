#include "files/save_rules.h"

#include <algorithm>
#include <cstring>

#include "files/stroke_layout.h"
#include "platform/paths.h"

namespace zevo::files {

std::string ProposedSaveName(const std::string& folder) {
  return platform::FirstFreeNumberedName(folder, "Untitled", ".stk", kMaxSaveNumber);
}

std::string WithStrokeExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  const std::size_t slash = name.find_last_of("/\\");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'a' && c <= 'z' ? c - 32 : c); });
    if (ext == ".STK") return name;
  }
  return name + ".stk";
}

ink::StrokeDocument::Text TextField(std::string_view text) {
  ink::StrokeDocument::Text field{};
  std::memcpy(field.data(), text.data(), std::min(text.size(), field.size() - 1));
  return field;
}

bool SameAuthor(const ink::StrokeDocument& d, std::string_view author, std::string_view password) {
  return d.author == TextField(author) && d.password == TextField(password);
}

OpenAccess AccessTo(const ink::StrokeDocument& d, std::string_view author,
                    std::string_view password) {
  if (SameAuthor(d, author, password)) return OpenAccess::kFull;
  if ((d.protection & kOthersMayOpen) == 0) return OpenAccess::kRefused;
  if ((d.protection & kOthersMayEdit) == 0) return OpenAccess::kViewOnly;
  return OpenAccess::kFull;
}

std::array<std::int32_t, 3> GridWords(const FileGrid& g) {
  auto word = [](int high, int low) {
    return std::int32_t((std::uint32_t(high) & 0xFFFFu) << 16 | (std::uint32_t(low) & 0xFFFFu));
  };
  return {word(g.cell_height, g.cell_width), word(g.top, g.left), word(g.rows, g.columns)};
}

FileGrid GridFromWords(const std::array<std::int32_t, 3>& w) {
  auto low = [](std::int32_t v) { return int(std::uint32_t(v) & 0xFFFFu); };
  auto high = [](std::int32_t v) { return int(std::uint32_t(v) >> 16); };
  return {low(w[0]), high(w[0]), low(w[1]), high(w[1]), low(w[2]), high(w[2])};
}

FileGrid CompletedGrid(FileGrid g) {
  if (g.cell_width == 0)
    g.cell_width = g.cell_height;
  else if (g.cell_height == 0)
    g.cell_height = g.cell_width;
  if (g.cell_width > 0 && g.columns == 0) g.columns = 1022 / g.cell_width + 1;
  if (g.cell_height > 0 && g.rows == 0) g.rows = 718 / g.cell_height + 1;
  return g;
}

int ReadFailureLine(int code) {
  switch (code) {
    case kReadCannotOpen:
      return 2;
    case kReadSizeMismatch:
    case kReadCannotDecode:
      return 3;
    case kReadUnknown:
      return 4;
    case kReadMajorVersion:
      return 18;
    case kReadNewerMinor:
      return 19;
    default:
      return -1;
  }
}

}  // namespace zevo::files
