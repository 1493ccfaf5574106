#include "tools/json_writer.h"

#include "platform/utf8.h"

#include <charconv>
#include <cmath>

namespace zevo::tools {
namespace {

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
    } else if (const std::size_t n = platform::Utf8SequenceLength(s, i); n > 0) {
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
