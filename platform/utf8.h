#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zevo::platform {

// Length of the well-formed UTF-8 sequence of 2 to 4 bytes starting at s[i] (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  if (i >= s.size()) return 0;
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = 0;
  std::uint32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
      (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
    return 0;
  return n;
}

// The longest start of s of at most max_bytes bytes that does not cut a well-formed character
// in two (a byte that starts no well-formed sequence counts as one character).
inline std::string_view CutAtCharacter(std::string_view s, std::size_t max_bytes) {
  if (s.size() <= max_bytes) return s;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t n = Utf8SequenceLength(s, i);
    if (n == 0) n = 1;
    if (i + n > max_bytes) break;
    i += n;
  }
  return s.substr(0, i);
}

}  // namespace zevo::platform
