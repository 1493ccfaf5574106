#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zevo::tools {

// Builds compact JSON text. Commas between members and elements are placed by the writer.
class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  // Bytes as text: valid UTF-8 passes through, any other byte is written as the character of
  // the same number (U+0080..U+00FF), so the output is always valid JSON.
  JsonWriter& String(std::string_view bytes);
  JsonWriter& Int(std::int64_t v);
  // The shortest decimal form that reads back to the same 32-bit float; null for NaN and
  // infinities, which JSON cannot hold.
  JsonWriter& Float(float v);
  JsonWriter& Null();

  const std::string& Text() const { return text_; }

 private:
  void BeforeValue();
  std::string text_;
  bool need_comma_ = false;
};

}  // namespace zevo::tools
