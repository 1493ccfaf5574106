#include "platform/qt/file_filter.h"

#include <cctype>
#include <vector>

namespace zevo::platform::qt {

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const auto end = s.find(sep, start);
    parts.push_back(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

std::string CaseFreePattern(const std::string& pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (unsigned char c : pattern) {
    if (std::isalpha(c)) {
      out += '[';
      out += char(std::tolower(c));
      out += char(std::toupper(c));
      out += ']';
    } else {
      out += char(c);
    }
  }
  return out;
}

std::string QtNameFilters(const std::string& classic_filter) {
  if (classic_filter.empty()) return {};
  const std::vector<std::string> parts = Split(classic_filter, '|');
  std::string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    for (const std::string& p : Split(parts[i + 1], ';')) {
      const std::string t = Trim(p);
      if (t.empty()) continue;
      if (!patterns.empty()) patterns += ' ';
      patterns += CaseFreePattern(t);
    }
    if (patterns.empty()) continue;
    std::string label = Trim(parts[i]);
    if (label.empty()) label = Trim(parts[i + 1]);
    if (!out.empty()) out += ";;";
    out += label + " (" + patterns + ")";
  }
  return out;
}

}  // namespace zevo::platform::qt
