#include "tools/json_writer.h"

#include <charconv>
#include <cmath>

namespace zevo::tools {
namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
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
      (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
    return 0;
  }
  return n;
}

void Escape(std::string& out, unsigned code) {
  static const char* hex = "0123456789abcdef";
  out += "\\u00";
  out += hex[(code >> 4) & 0xF];
  out += hex[code & 0xF];
}

}  // namespace

void JsonWriter::BeforeValue() {
  if (need_comma_) text_ += ',';
  need_comma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += '}';
  need_comma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += ']';
  need_comma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  String(key);
  text_ += ':';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view s) {
  BeforeValue();
  text_ += '"';
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += char(c);
      ++i;
    } else if (c < 0x20) {
      Escape(text_, c);
      ++i;
    } else if (c < 0x80) {
      text_ += char(c);
      ++i;
    } else if (const std::size_t n = Utf8Length(s, i); n > 0) {
      text_.append(s.substr(i, n));
      i += n;
    } else {
      Escape(text_, c);
      ++i;
    }
  }
  text_ += '"';
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t v) {
  BeforeValue();
  text_ += std::to_string(v);
  return *this;
}

JsonWriter& JsonWriter::Float(float v) {
  if (!std::isfinite(v)) return Null();
  BeforeValue();
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  text_.append(buffer, result.ptr);
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}

}  // namespace zevo::tools
