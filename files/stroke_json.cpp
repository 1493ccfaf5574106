#include "files/stroke_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "gfx/bitmap24.h"
#include "gfx/picture_limits.h"
#include "platform/utf8.h"

namespace zevo::files {
namespace {

using gfx::Bitmap24;
using ink::Stroke;
using ink::StrokeKind;
using ink::StrokeSample;

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr float kFloatMax = std::numeric_limits<float>::max();

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// ---------------------------------------------------------------------------------------------
// Writing

void AppendBase64(std::string& out, const std::vector<std::uint8_t>& bytes) {
  const std::size_t n = bytes.size();
  out.reserve(out.size() + (n + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    const std::uint32_t v =
        (std::uint32_t(bytes[i]) << 16) | (std::uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < n) {
    const std::uint32_t v =
        (std::uint32_t(bytes[i]) << 16) | (i + 1 < n ? std::uint32_t(bytes[i + 1]) << 8 : 0);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += i + 1 < n ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
}

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
    } else if (const std::size_t n = platform::Utf8SequenceLength(s, i); n > 0) {
      i += n;
    } else {
      return false;
    }
  }
  return true;
}

// s is valid UTF-8.
void AppendString(std::string& out, std::string_view s) {
  static const char* hex = "0123456789abcdef";
  out += '"';
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

void AppendInt(std::string& out, std::int64_t v) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, r.ptr);
}

// The shortest decimal form that reads back to the same float; null for what JSON cannot hold
// (no document read from a file holds it).
void AppendFloat(std::string& out, float v) {
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, r.ptr);
}

// `, "name": value` after the fields before it.
void FieldName(std::string& out, std::string_view name) {
  out += ", \"";
  out += name;
  out += "\": ";
}
void IntField(std::string& out, std::string_view name, std::int64_t v) {
  FieldName(out, name);
  AppendInt(out, v);
}
void FloatField(std::string& out, std::string_view name, float v) {
  FieldName(out, name);
  AppendFloat(out, v);
}

void AppendImage(std::string& out, const Bitmap24* b) {
  const int w = b ? b->Width() : 0, h = b ? b->Height() : 0;
  std::vector<std::uint8_t> rgb;
  rgb.reserve(std::size_t(w) * std::size_t(h) * 3);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* px = b->Row(y);
    for (int x = 0; x < w; ++x, px += 3) {
      rgb.push_back(px[2]);
      rgb.push_back(px[1]);
      rgb.push_back(px[0]);
    }
  }
  out += "{\"width\": ";
  AppendInt(out, w);
  IntField(out, "height", h);
  out += ", \"rgb\": \"";
  AppendBase64(out, rgb);
  out += "\"}";
}

// Any pixel that is not pure white is ink, as the stroke file keeps it.
void AppendMask(std::string& out, const Bitmap24* b) {
  const int w = b ? b->Width() : 0, h = b ? b->Height() : 0;
  const std::size_t row_bytes = (std::size_t(w) + 7) / 8;
  std::vector<std::uint8_t> bits(row_bytes * std::size_t(h), 0);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* px = b->Row(y);
    std::uint8_t* row = bits.data() + std::size_t(y) * row_bytes;
    for (int x = 0; x < w; ++x, px += 3) {
      if ((px[0] & px[1] & px[2]) != 255) row[x / 8] |= std::uint8_t(1u << (x % 8));
    }
  }
  out += "{\"width\": ";
  AppendInt(out, w);
  IntField(out, "height", h);
  out += ", \"bits\": \"";
  AppendBase64(out, bits);
  out += "\"}";
}

void AppendEntry(std::string& out, const Stroke& e) {
  out += "    {\"kind\": ";
  switch (e.kind) {
    case StrokeKind::Ink:
      out += "\"ink\", \"color\": ";
      AppendInt(out, e.value);
      out += ", \"samples\": [";
      for (std::size_t i = 0; i < e.samples.size(); ++i) {
        const StrokeSample& s = e.samples[i];
        out += i == 0 ? "\n      {\"x\": " : ",\n      {\"x\": ";
        AppendFloat(out, s.x);
        FloatField(out, "y", s.y);
        FloatField(out, "radius", s.radius);
        out += '}';
      }
      out += e.samples.empty() ? "]}" : "\n    ]}";
      break;
    case StrokeKind::Picture:
      out += "\"picture\", \"attr\": ";
      AppendInt(out, e.value);
      IntField(out, "x", e.px);
      IntField(out, "y", e.py);
      out += ", \"image\": ";
      AppendImage(out, e.bitmap.get());
      out += '}';
      break;
    case StrokeKind::Stamp:
      out += "\"stamp\", \"attr\": ";
      AppendInt(out, e.value);
      FloatField(out, "x", e.x);
      FloatField(out, "y", e.y);
      FloatField(out, "width", e.width);
      FloatField(out, "height", e.height);
      out += ", \"mask\": ";
      AppendMask(out, e.bitmap.get());
      out += '}';
      break;
    case StrokeKind::Fill:
      out += "\"fill\", \"color\": ";
      AppendInt(out, e.value);
      FloatField(out, "x", e.x);
      FloatField(out, "y", e.y);
      out += '}';
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Reading

// One step of the path to a value: a member name or an array index.
struct PathPart {
  std::string_view key;
  std::size_t index = 0;
};

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The decoded length of canonical base64 text (padded to a multiple of 4), or nullopt.
std::optional<std::size_t> Base64Length(std::string_view s) {
  if (s.size() % 4 != 0) return std::nullopt;
  std::size_t n = s.size() / 4 * 3;
  if (!s.empty() && s.back() == '=') --n;
  if (s.size() >= 2 && s[s.size() - 2] == '=') --n;
  return n;
}

// Decodes into out, whose size is Base64Length(s); false on any other character, on padding
// anywhere but the end, and on padding bits that are not zero.
bool DecodeBase64(std::string_view s, std::uint8_t* out) {
  const std::size_t pad = s.empty() ? 0 : (s.back() == '=') + (s[s.size() - 2] == '=');
  for (std::size_t i = 0; i < s.size(); i += 4) {
    const bool last = i + 4 == s.size();
    int v[4];
    for (int k = 0; k < 4; ++k) {
      const bool padding = last && k >= 4 - int(pad);
      v[k] = padding ? (s[i + std::size_t(k)] == '=' ? 0 : -1) : Base64Value(s[i + std::size_t(k)]);
      if (v[k] < 0) return false;
    }
    const std::uint32_t word = std::uint32_t(v[0]) << 18 | std::uint32_t(v[1]) << 12 |
                               std::uint32_t(v[2]) << 6 | std::uint32_t(v[3]);
    const int bytes = last ? 3 - int(pad) : 3;
    if (last && pad > 0 && (word & ((1u << (8 * pad)) - 1)) != 0) return false;
    for (int k = 0; k < bytes; ++k) *out++ = std::uint8_t(word >> (16 - 8 * k));
  }
  return true;
}

// The fields of one entry or image object as they are found, in any order.
struct ImageFields {
  std::optional<std::int64_t> width, height;
  std::optional<std::string> data;  // rgb or bits, base64
};

struct EntryFields {
  std::optional<std::string> kind;
  std::optional<std::int64_t> value;                 // color or attr
  std::string_view value_key;                        // which of the two was given
  std::optional<std::string_view> x_token, y_token;  // whole numbers for a picture
  std::optional<float> width, height;
  std::optional<std::vector<StrokeSample>> samples;
  std::optional<std::unique_ptr<Bitmap24>> image;  // image or mask, already built
  std::string_view image_key;
};

class JsonReader {
 public:
  JsonReader(std::string_view text, ink::StrokeDocument& d, DocumentBudget& budget)
      : text_(text), d_(d), budget_(budget) {}

  StrokeJsonResult Run();

 private:
  // Errors: the first one wins; every parse function returns false once it is set.
  bool Fail(std::string what, StrokeJsonResult::Code code = StrokeJsonResult::kInvalid);
  bool FailHere(std::string_view what);  // at the value the path names
  bool Syntax(std::string_view what);    // where the text stops being JSON
  std::string PathText() const;

  void SkipSpace();
  bool Peek(char c) {
    SkipSpace();
    return pos_ < text_.size() && text_[pos_] == c;
  }
  bool Expect(char c);
  // The end of an object or array after one of its values.
  bool Closing(char c);

  bool ParseString(std::string& out);
  bool NumberToken(std::string_view& token);
  // A number token as a whole number or a float within [lo, hi], else an error at the path.
  bool IntFrom(std::string_view token, std::int64_t lo, std::int64_t hi, std::int64_t& v);
  bool FloatFrom(std::string_view token, float lo, float hi, float& v);
  bool ParseInt(std::int64_t lo, std::int64_t hi, std::int64_t& v);
  bool ParseFloat(float lo, float hi, float& v);
  // The same for a member kept as its token, with its name on the path.
  bool IntMember(std::string_view key, std::string_view token, std::int64_t lo, std::int64_t hi,
                 std::int64_t& v);
  bool FloatMember(std::string_view key, std::string_view token, float lo, float hi, float& v);
  bool ParseNull();

  // Walks an object's members; member(key) parses the value of each, with the key on the path.
  template <class F>
  bool ParseObject(F&& member);
  // The same for an array's elements, element(index); more than max_count elements are
  // refused with the code over.
  template <class F>
  bool ParseArray(std::size_t max_count, std::string_view what, F&& element,
                  StrokeJsonResult::Code over = StrokeJsonResult::kTooLarge);

  bool ParseTop();
  bool ParsePaper();
  bool ParseGrid();
  bool ParseSample(std::vector<StrokeSample>& samples);
  bool ParseImage(bool mask, std::unique_ptr<Bitmap24>& out);
  bool ParseEntry();
  bool AddEntry(EntryFields& e);
  bool ParseBackground();

  // The error for the open stroke that the last entry of d_ is: its last sample must be its
  // pen-up sample, radius 0 (and a stroke of one sample cannot close).
  bool OpenStroke(std::string_view why);

  bool Duplicate(bool seen) { return seen && FailHere("appears twice"); }

  std::string_view text_;
  std::size_t pos_ = 0;
  ink::StrokeDocument& d_;
  DocumentBudget& budget_;
  std::vector<PathPart> path_;
  StrokeJsonResult result_;
  bool failed_ = false;
};

bool JsonReader::Fail(std::string what, StrokeJsonResult::Code code) {
  if (!failed_) {
    failed_ = true;
    result_.code = code;
    result_.message = std::move(what);
  }
  return false;
}

std::string JsonReader::PathText() const {
  std::string s;
  for (const PathPart& p : path_) {
    if (p.key.empty()) {
      s += '[' + std::to_string(p.index) + ']';
    } else {
      if (!s.empty()) s += '.';
      // A name from the text may be long or hold control characters: shown shortened, safe.
      const std::string_view key = platform::CutAtCharacter(p.key, 64);
      for (const char c : key) s += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
      if (key.size() < p.key.size()) s += "...";
    }
  }
  return s.empty() ? "the document" : s;
}

bool JsonReader::FailHere(std::string_view what) {
  return Fail(PathText() + ": " + std::string(what));
}

bool JsonReader::Syntax(std::string_view what) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
    if (text_[i] == '\n') {
      ++line, column = 1;
    } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return Fail("line " + std::to_string(line) + ", column " + std::to_string(column) + " (in " +
              PathText() + "): " + std::string(what));
}

void JsonReader::SkipSpace() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' ||
                                 text_[pos_] == '\r')) {
    ++pos_;
  }
}

bool JsonReader::Expect(char c) {
  SkipSpace();
  if (pos_ >= text_.size()) return Syntax(std::string("expected '") + c + "', the text ends");
  if (text_[pos_] != c) return Syntax(std::string("expected '") + c + "'");
  ++pos_;
  return true;
}

bool JsonReader::Closing(char c) {
  SkipSpace();
  if (pos_ < text_.size() && text_[pos_] == c) {
    ++pos_;
    return true;
  }
  return Syntax(std::string("expected ',' or '") + c + "'" +
                (pos_ >= text_.size() ? ", the text ends" : ""));
}

bool JsonReader::ParseString(std::string& out) {
  SkipSpace();
  if (pos_ >= text_.size() || text_[pos_] != '"') return FailHere("must be a string");
  ++pos_;
  out.clear();
  // Most strings (base64, names) hold no escape: copied in one piece.
  std::size_t start = pos_;
  auto hex4 = [&](std::uint32_t& v) {
    if (text_.size() - pos_ < 4) return false;
    v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text_[pos_++];
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) return false;
      v = v << 4 | std::uint32_t(d);
    }
    return true;
  };
  while (true) {
    if (pos_ >= text_.size()) return Syntax("a string is not closed");
    const auto c = static_cast<unsigned char>(text_[pos_]);
    if (c == '"') {
      out.append(text_.substr(start, pos_ - start));
      ++pos_;
      return true;
    }
    if (c < 0x20) return Syntax("a control character in a string must be escaped");
    if (c >= 0x80) {
      const std::size_t n = platform::Utf8SequenceLength(text_, pos_);
      if (n == 0) return Syntax("the text is not UTF-8");
      pos_ += n;
      continue;
    }
    if (c != '\\') {
      ++pos_;
      continue;
    }
    out.append(text_.substr(start, pos_ - start));
    ++pos_;
    if (pos_ >= text_.size()) return Syntax("a string is not closed");
    const char e = text_[pos_++];
    switch (e) {
      case '"':
      case '\\':
      case '/':
        out += e;
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        std::uint32_t cp = 0;
        if (!hex4(cp)) return Syntax("\\u needs four hex digits");
        if (cp >= 0xDC00 && cp <= 0xDFFF) return Syntax("a lone low surrogate");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
          std::uint32_t low = 0;
          if (text_.substr(pos_, 2) != "\\u" || (pos_ += 2, !hex4(low)) || low < 0xDC00 ||
              low > 0xDFFF) {
            return Syntax("a high surrogate without its low one");
          }
          cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        if (cp < 0x80) {
          out += char(cp);
        } else if (cp < 0x800) {
          out += char(0xC0 | (cp >> 6));
          out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
          out += char(0xE0 | (cp >> 12));
          out += char(0x80 | ((cp >> 6) & 0x3F));
          out += char(0x80 | (cp & 0x3F));
        } else {
          out += char(0xF0 | (cp >> 18));
          out += char(0x80 | ((cp >> 12) & 0x3F));
          out += char(0x80 | ((cp >> 6) & 0x3F));
          out += char(0x80 | (cp & 0x3F));
        }
        break;
      }
      default:
        return Syntax("an unknown escape in a string");
    }
    start = pos_;
  }
}

bool JsonReader::NumberToken(std::string_view& token) {
  SkipSpace();
  const std::size_t start = pos_;
  auto digits = [&] {
    const std::size_t from = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    return pos_ - from;
  };
  if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
  if (pos_ >= text_.size() || text_[pos_] < '0' || text_[pos_] > '9') {
    pos_ = start;
    return false;
  }
  if (text_[pos_] == '0') {
    ++pos_;
  } else {
    digits();
  }
  if (pos_ < text_.size() && text_[pos_] == '.') {
    ++pos_;
    if (digits() == 0) return Syntax("a digit must follow the decimal point");
  }
  if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
    ++pos_;
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
    if (digits() == 0) return Syntax("an exponent needs digits");
  }
  token = text_.substr(start, pos_ - start);
  return true;
}

bool JsonReader::IntFrom(std::string_view token, std::int64_t lo, std::int64_t hi,
                         std::int64_t& v) {
  const auto r = std::from_chars(token.data(), token.data() + token.size(), v);
  if (!token.empty() && r.ec == std::errc() && r.ptr == token.data() + token.size() && v >= lo &&
      v <= hi) {
    return true;
  }
  const std::string range =
      "must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
  return FailHere(token.empty() ? range : range + ", not " + std::string(token.substr(0, 40)));
}

bool JsonReader::FloatFrom(std::string_view token, float lo, float hi, float& v) {
  // Too small for a float is as wrong as too large: it would not read back as written.
  const auto r = std::from_chars(token.data(), token.data() + token.size(), v);
  if (!token.empty() && r.ec == std::errc() && r.ptr == token.data() + token.size() && v >= lo &&
      v <= hi) {
    return true;
  }
  char bounds[96];
  std::snprintf(bounds, sizeof bounds, "must be a number from %.9g to %.9g (a 32-bit float)",
                double(lo), double(hi));
  return FailHere(token.empty()
                      ? std::string(bounds)
                      : std::string(bounds) + ", not " + std::string(token.substr(0, 40)));
}

bool JsonReader::ParseInt(std::int64_t lo, std::int64_t hi, std::int64_t& v) {
  std::string_view token;
  if (!NumberToken(token) && failed_) return false;
  return IntFrom(token, lo, hi, v);
}

bool JsonReader::ParseFloat(float lo, float hi, float& v) {
  std::string_view token;
  if (!NumberToken(token) && failed_) return false;
  return FloatFrom(token, lo, hi, v);
}

bool JsonReader::IntMember(std::string_view key, std::string_view token, std::int64_t lo,
                           std::int64_t hi, std::int64_t& v) {
  path_.push_back({key, 0});
  const bool ok = IntFrom(token, lo, hi, v);
  path_.pop_back();
  return ok;
}

bool JsonReader::FloatMember(std::string_view key, std::string_view token, float lo, float hi,
                             float& v) {
  path_.push_back({key, 0});
  const bool ok = FloatFrom(token, lo, hi, v);
  path_.pop_back();
  return ok;
}

bool JsonReader::ParseNull() {
  SkipSpace();
  if (text_.substr(pos_, 4) != "null") return false;
  pos_ += 4;
  return true;
}

template <class F>
bool JsonReader::ParseObject(F&& member) {
  SkipSpace();
  if (pos_ >= text_.size()) return Syntax("the text ends where a value should be");
  if (text_[pos_] != '{') return FailHere("must be an object");
  ++pos_;
  if (Peek('}')) {
    ++pos_;
    return true;
  }
  std::string key;
  while (true) {
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != '"') return Syntax("expected a member name");
    if (!ParseString(key) || !Expect(':')) return false;
    path_.push_back({key, 0});
    const bool ok = member(std::string_view(key));
    path_.pop_back();
    if (!ok) return false;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
      continue;
    }
    return Closing('}');
  }
}

template <class F>
bool JsonReader::ParseArray(std::size_t max_count, std::string_view what, F&& element,
                            StrokeJsonResult::Code over) {
  SkipSpace();
  if (pos_ >= text_.size()) return Syntax("the text ends where a value should be");
  if (text_[pos_] != '[') return FailHere("must be an array");
  ++pos_;
  if (Peek(']')) {
    ++pos_;
    return true;
  }
  for (std::size_t i = 0;; ++i) {
    if (i >= max_count) {
      return Fail(PathText() + ": more than " + std::to_string(max_count) + " " + std::string(what),
                  over);
    }
    path_.push_back({{}, i});
    const bool ok = element(i);
    path_.pop_back();
    if (!ok) return false;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
      continue;
    }
    return Closing(']');
  }
}

StrokeJsonResult JsonReader::Run() {
  d_.Clear();
  if (!budget_.Take(text_.size())) {
    Fail("the text is " + std::to_string(text_.size() >> 20) + " MiB, more than Zevo 3 reads (" +
             std::to_string(budget_.Left() >> 20) + " MiB)",
         StrokeJsonResult::kTooLarge);
  } else if (ParseTop()) {
    SkipSpace();
    if (pos_ != text_.size()) Syntax("text follows the document's object");
  }
  if (failed_) d_.Clear();
  return result_;
}

bool JsonReader::ParseTop() {
  bool format = false, version = false, paper = false, entries = false, author = false,
       protection = false, grid = false, background = false;
  const bool ok = ParseObject([&](std::string_view key) {
    if (key == "format") {
      std::string f;
      if (Duplicate(format) || !ParseString(f)) return false;
      format = true;
      return f == kStrokeJsonFormat ||
             FailHere("must be \"" + std::string(kStrokeJsonFormat) + "\" (a stroke document)");
    }
    if (key == "version") {
      std::int64_t v = 0;
      if (Duplicate(version) || !ParseInt(1, kInt32Max, v)) return false;
      version = true;
      return v == kStrokeJsonVersion ||
             FailHere("version " + std::to_string(v) + " is newer than this program reads (" +
                      std::to_string(kStrokeJsonVersion) + ")");
    }
    if (key == "paper") {
      if (Duplicate(paper)) return false;
      paper = true;
      return ParsePaper();
    }
    if (key == "author" || key == "author_base64") {
      if (Duplicate(author)) return false;
      author = true;
      std::string s;
      if (!ParseString(s)) return false;
      if (key == "author_base64") {
        const std::optional<std::size_t> n = Base64Length(s);
        if (!n) return FailHere("must be base64 text");
        std::string bytes(*n, '\0');
        if (!DecodeBase64(s, reinterpret_cast<std::uint8_t*>(bytes.data())))
          return FailHere("must be base64 text");
        s = std::move(bytes);
      }
      if (s.size() > d_.author.size())
        return FailHere("must be at most " + std::to_string(d_.author.size()) + " bytes long");
      if (s.find('\0') != std::string::npos) return FailHere("must not hold a zero character");
      d_.author.fill(0);
      std::memcpy(d_.author.data(), s.data(), s.size());
      return true;
    }
    if (key == "protection") {
      std::int64_t v = 0;
      if (Duplicate(protection) || !ParseInt(0, 0xFFFFFFFFll, v)) return false;
      protection = true;
      d_.protection = std::uint32_t(v);
      return true;
    }
    if (key == "grid") {
      if (Duplicate(grid)) return false;
      grid = true;
      return ParseGrid();
    }
    if (key == "entries") {
      if (Duplicate(entries)) return false;
      entries = true;
      if (!ParseArray(kMaxStrokeJsonEntries, "entries", [&](std::size_t) { return ParseEntry(); }))
        return false;
      // The last stroke must be closed: nothing else closes it.
      return !d_.StrokeOpen() || OpenStroke("it is the last entry");
    }
    if (key == "background") {
      if (Duplicate(background)) return false;
      background = true;
      return ParseNull() || ParseBackground();
    }
    return FailHere("is not a member of a stroke document");
  });
  if (!ok) return false;
  for (auto [given, name] : {std::pair{format, "format"}, std::pair{version, "version"},
                             std::pair{paper, "paper"}, std::pair{entries, "entries"}}) {
    if (!given) return Fail(std::string(name) + ": is missing");
  }
  return true;
}

bool JsonReader::ParsePaper() {
  std::optional<std::int64_t> w, h;
  const bool ok = ParseObject([&](std::string_view key) {
    std::optional<std::int64_t>* field = key == "width" ? &w : key == "height" ? &h : nullptr;
    if (field == nullptr) return FailHere("is not a member of the paper");
    std::int64_t v = 0;
    if (Duplicate(field->has_value()) || !ParseInt(1, Bitmap24::kMaxSide, v)) return false;
    *field = v;
    return true;
  });
  if (!ok) return false;
  if (!w || !h) return Fail(std::string("paper.") + (w ? "height" : "width") + ": is missing");
  d_.SetPaperSize(int(*w), int(*h));
  return true;
}

bool JsonReader::ParseGrid() {
  std::size_t n = 0;
  const bool ok = ParseArray(
      3, "grid words",
      [&](std::size_t i) {
        std::int64_t v = 0;
        if (!ParseInt(kInt32Min, kInt32Max, v)) return false;
        d_.grid[i] = std::int32_t(v);
        n = i + 1;
        return true;
      },
      StrokeJsonResult::kInvalid);
  if (ok && n != 3) return FailHere("must hold three whole numbers");
  return ok;
}

bool JsonReader::ParseSample(std::vector<StrokeSample>& samples) {
  std::optional<float> x, y, r;
  const bool ok = ParseObject([&](std::string_view key) {
    std::optional<float>* field = key == "x"        ? &x
                                  : key == "y"      ? &y
                                  : key == "radius" ? &r
                                                    : nullptr;
    if (field == nullptr) return FailHere("is not a member of a sample");
    float v = 0;
    if (Duplicate(field->has_value()) || !ParseFloat(-kFloatMax, kFloatMax, v)) return false;
    *field = v;
    return true;
  });
  if (!ok) return false;
  if (!x || !y || !r) return FailHere(std::string(!x ? "x" : !y ? "y" : "radius") + " is missing");
  if (!budget_.Take(kSampleBytes))
    return Fail(PathText() + ": " + std::string(gfx::kTooLargeText), StrokeJsonResult::kTooLarge);
  samples.push_back({*x, *y, *r});
  return true;
}

bool JsonReader::ParseImage(bool mask, std::unique_ptr<Bitmap24>& out) {
  ImageFields f;
  const std::string_view data_key = mask ? "bits" : "rgb";
  const bool ok = ParseObject([&](std::string_view key) {
    if (key == "width" || key == "height") {
      std::optional<std::int64_t>& field = key == "width" ? f.width : f.height;
      std::int64_t v = 0;
      if (Duplicate(field.has_value()) || !ParseInt(0, Bitmap24::kMaxSide, v)) return false;
      field = v;
      return true;
    }
    if (key == data_key) {
      if (Duplicate(f.data.has_value())) return false;
      f.data.emplace();
      return ParseString(*f.data);
    }
    return FailHere(mask ? "is not a member of a stamp mask" : "is not a member of an image");
  });
  if (!ok) return false;
  if (!f.width || !f.height || !f.data) {
    return FailHere(std::string(!f.width    ? "width"
                                : !f.height ? "height"
                                            : data_key) +
                    " is missing");
  }
  const int w = int(*f.width), h = int(*f.height);
  if (!mask && (w == 0 || h == 0)) return FailHere("an image must be at least 1 x 1 pixels");
  const std::size_t row_bytes = mask ? (std::size_t(w) + 7) / 8 : std::size_t(w) * 3;
  const std::uint64_t bytes = gfx::PictureBytes(w, h);
  if (bytes > gfx::kMaxPictureBytes || !budget_.Take(bytes)) {
    return Fail(PathText() + ": a " + std::to_string(w) + " x " + std::to_string(h) +
                    " picture is " + std::string(gfx::kTooLargeText),
                StrokeJsonResult::kTooLarge);
  }
  const std::optional<std::size_t> n = Base64Length(*f.data);
  const std::size_t want = row_bytes * std::size_t(h);
  if (!n || *n != want) {
    return Fail(PathText() + "." + std::string(data_key) + ": must be base64 text of " +
                std::to_string(want) + " bytes (" +
                (mask ? "a row of width / 8 bytes, rounded up" : "3 bytes R, G, B a pixel") +
                ", for " + std::to_string(w) + " x " + std::to_string(h) + ")");
  }
  std::vector<std::uint8_t> raw(want);
  if (!DecodeBase64(*f.data, raw.data())) {
    return Fail(PathText() + "." + std::string(data_key) + ": must be base64 text");
  }
  f.data.reset();
  std::optional<Bitmap24> b =
      mask ? Bitmap24::TryCreateFilled(w, h, gfx::kWhite) : Bitmap24::TryCreate(w, h);
  if (!b)
    return Fail(PathText() + ": " + std::string(gfx::kTooLargeText), StrokeJsonResult::kTooLarge);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = raw.data() + std::size_t(y) * row_bytes;
    std::uint8_t* px = b->Row(y);
    for (int x = 0; x < w; ++x, px += 3) {
      if (mask) {
        // Set bits come back pure red on white, as the stroke file reader makes them.
        if ((in[x / 8] >> (x % 8)) & 1) px[0] = 0, px[1] = 0, px[2] = 255;
      } else {
        px[0] = in[3 * x + 2], px[1] = in[3 * x + 1], px[2] = in[3 * x];
      }
    }
  }
  out = std::make_unique<Bitmap24>(std::move(*b));
  return true;
}

bool JsonReader::ParseEntry() {
  EntryFields e;
  const bool ok = ParseObject([&](std::string_view key) {
    if (key == "kind") {
      if (Duplicate(e.kind.has_value())) return false;
      e.kind.emplace();
      return ParseString(*e.kind);
    }
    if (key == "color" || key == "attr") {
      std::int64_t v = 0;
      if (Duplicate(e.value.has_value()) || !ParseInt(0, 0xFFFFFFFFll, v)) return false;
      e.value = v;
      e.value_key = key == "color" ? "color" : "attr";
      return true;
    }
    if (key == "x" || key == "y") {
      // Whole numbers for a picture, floats for the others: kept as written until the kind is
      // known.
      std::optional<std::string_view>& token = key == "x" ? e.x_token : e.y_token;
      if (Duplicate(token.has_value())) return false;
      token.emplace();
      return NumberToken(*token) || (!failed_ && FailHere("must be a number"));
    }
    if (key == "width" || key == "height") {
      std::optional<float>& f = key == "width" ? e.width : e.height;
      float v = 0;
      if (Duplicate(f.has_value()) || !ParseFloat(-kFloatMax, kFloatMax, v)) return false;
      f = v;
      return true;
    }
    if (key == "samples") {
      if (Duplicate(e.samples.has_value())) return false;
      e.samples.emplace();
      return ParseArray(kMaxStrokeJsonSamples, "samples",
                        [&](std::size_t) { return ParseSample(*e.samples); });
    }
    if (key == "image" || key == "mask") {
      if (Duplicate(e.image.has_value())) return false;
      e.image.emplace();
      e.image_key = key == "image" ? "image" : "mask";
      return ParseImage(key == "mask", *e.image);
    }
    return FailHere("is not a member of an entry");
  });
  return ok && AddEntry(e);
}

bool JsonReader::AddEntry(EntryFields& e) {
  if (!e.kind) return FailHere("kind is missing");
  StrokeKind kind;
  std::string_view value_key, image_key;
  if (*e.kind == "ink") {
    kind = StrokeKind::Ink, value_key = "color";
  } else if (*e.kind == "picture") {
    kind = StrokeKind::Picture, value_key = "attr", image_key = "image";
  } else if (*e.kind == "stamp") {
    kind = StrokeKind::Stamp, value_key = "attr", image_key = "mask";
  } else if (*e.kind == "fill") {
    kind = StrokeKind::Fill, value_key = "color";
  } else {
    return FailHere("kind must be \"ink\", \"picture\", \"stamp\" or \"fill\"");
  }
  const std::string what = "an entry of kind " + *e.kind;
  auto missing = [&](std::string_view name) {
    return FailHere(std::string(name) + " is missing (" + what + " has it)");
  };
  auto extra = [&](std::string_view name) {
    return FailHere(std::string(name) + " does not belong to " + what);
  };
  if (!e.value) return missing(value_key);
  if (e.value_key != value_key) return extra(e.value_key);
  const bool has_x = e.x_token.has_value(), has_y = e.y_token.has_value();
  if (kind == StrokeKind::Ink) {
    if (has_x || has_y) return extra(has_x ? "x" : "y");
  } else {
    if (!has_x || !has_y) return missing(has_x ? "y" : "x");
  }
  if (kind == StrokeKind::Stamp) {
    if (!e.width || !e.height) return missing(e.width ? "height" : "width");
  } else if (e.width || e.height) {
    return extra(e.width ? "width" : "height");
  }
  if (kind == StrokeKind::Ink) {
    if (!e.samples) return missing("samples");
  } else if (e.samples) {
    return extra("samples");
  }
  if (!image_key.empty()) {
    if (!e.image) return missing(image_key);
    if (e.image_key != image_key) return extra(e.image_key);
  } else if (e.image) {
    return extra(e.image_key);
  }
  std::int64_t px = 0, py = 0;
  float x = 0, y = 0;
  if (kind == StrokeKind::Picture) {
    if (!IntMember("x", *e.x_token, kInt32Min, kInt32Max, px) ||
        !IntMember("y", *e.y_token, kInt32Min, kInt32Max, py))
      return false;
  } else if (kind != StrokeKind::Ink) {
    if (!FloatMember("x", *e.x_token, -kFloatMax, kFloatMax, x) ||
        !FloatMember("y", *e.y_token, -kFloatMax, kFloatMax, y))
      return false;
  }
  if (!budget_.Take(kEntryBytes))
    return Fail(PathText() + ": " + std::string(gfx::kTooLargeText), StrokeJsonResult::kTooLarge);

  switch (kind) {
    case StrokeKind::Ink: {
      std::vector<StrokeSample>& s = *e.samples;
      // The document takes its own copy of every sample; the parsed ones are given back after.
      const std::uint64_t bytes = std::uint64_t(s.size()) * kSampleBytes;
      if (s.empty()) {
        path_.push_back({"samples", 0});
        return FailHere("a stroke needs at least one sample");
      }
      // A stroke still open would take this one's samples.
      if (d_.StrokeOpen()) return OpenStroke("an ink entry follows it");
      // Radius 0 closes a stroke, except on its first sample.
      for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i].radius == 0.0f) {
          path_.push_back({"samples", 0});
          path_.push_back({{}, i});
          path_.push_back({"radius", 0});
          return FailHere(
              "only the last sample of a stroke may have radius 0 (it closes the stroke)");
        }
      }
      if (!budget_.Take(bytes))
        return Fail(PathText() + ": " + std::string(gfx::kTooLargeText),
                    StrokeJsonResult::kTooLarge);
      d_.SetInkColor(std::uint32_t(*e.value));
      for (const StrokeSample& p : s) d_.AddSample(p.x, p.y, p.radius);
      s = {};
      budget_.Give(bytes);
      break;
    }
    case StrokeKind::Picture:
      d_.SetEntryAttribute(std::uint32_t(*e.value));
      d_.AddPicture(std::int32_t(px), std::int32_t(py), std::move(*e.image));
      break;
    case StrokeKind::Stamp:
      d_.SetEntryAttribute(std::uint32_t(*e.value));
      d_.AddStampEntry(std::move(*e.image), x, y, *e.width, *e.height);
      break;
    case StrokeKind::Fill:
      d_.AddFill(std::uint32_t(*e.value), x, y);
      break;
  }
  return true;
}

bool JsonReader::OpenStroke(std::string_view why) {
  const int last = d_.Count() - 1;
  const std::size_t n = d_.Entry(last)->samples.size();
  const std::string at = "entries[" + std::to_string(last) + "].samples";
  if (n < 2) {
    return Fail(at + ": a stroke of one sample is not closed and " + std::string(why) +
                " (give it a last sample of radius 0)");
  }
  return Fail(at + "[" + std::to_string(n - 1) +
              "].radius: must be 0, the pen-up sample that closes the stroke, as " +
              std::string(why));
}

bool JsonReader::ParseBackground() {
  std::optional<std::int64_t> a, b;
  std::unique_ptr<Bitmap24> image;
  bool has_image = false;
  const bool ok = ParseObject([&](std::string_view key) {
    if (key == "a" || key == "b") {
      std::optional<std::int64_t>& field = key == "a" ? a : b;
      std::int64_t v = 0;
      if (Duplicate(field.has_value()) || !ParseInt(kInt32Min, kInt32Max, v)) return false;
      field = v;
      return true;
    }
    if (key == "image") {
      if (Duplicate(has_image)) return false;
      has_image = true;
      return ParseImage(false, image);
    }
    return FailHere("is not a member of the background");
  });
  if (!ok) return false;
  if (!a || !b || !has_image)
    return FailHere(std::string(!a ? "a" : !b ? "b" : "image") + " is missing");
  d_.AdoptBackground(std::move(image), std::int32_t(*a), std::int32_t(*b));
  return true;
}

}  // namespace

std::string StrokeDocumentToJson(const ink::StrokeDocument& d) {
  std::string out;
  out += "{\n  \"format\": ";
  AppendString(out, kStrokeJsonFormat);
  out += ",\n  \"version\": ";
  AppendInt(out, kStrokeJsonVersion);
  out += ",\n  \"paper\": {\"width\": ";
  AppendInt(out, d.PaperWidth());
  IntField(out, "height", d.PaperHeight());
  out += "},\n  ";
  std::size_t n = 0;
  while (n < d.author.size() && d.author[n] != '\0') ++n;
  const std::string_view author(d.author.data(), n);
  // Text that is not UTF-8 (an old file's code page) is kept byte for byte.
  if (IsUtf8(author)) {
    out += "\"author\": ";
    AppendString(out, author);
  } else {
    out += "\"author_base64\": \"";
    AppendBase64(out, std::vector<std::uint8_t>(author.begin(), author.end()));
    out += '"';
  }
  out += ",\n  \"protection\": ";
  AppendInt(out, d.protection);
  out += ",\n  \"grid\": [";
  for (std::size_t i = 0; i < d.grid.size(); ++i) {
    if (i > 0) out += ", ";
    AppendInt(out, d.grid[i]);
  }
  out += "],\n  \"entries\": [";
  for (int i = 0; i < d.Count(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    AppendEntry(out, *d.Entry(i));
  }
  out += d.Count() == 0 ? "],\n" : "\n  ],\n";
  out += "  \"background\": ";
  if (const Bitmap24* b = d.Background()) {
    out += "{\"a\": ";
    AppendInt(out, d.BackgroundA());
    IntField(out, "b", d.BackgroundB());
    out += ", \"image\": ";
    AppendImage(out, b);
    out += '}';
  } else {
    out += "null";
  }
  out += "\n}\n";
  return out;
}

StrokeJsonResult StrokeDocumentFromJson(std::string_view text, ink::StrokeDocument& d,
                                        DocumentBudget& budget) {
  return JsonReader(text, d, budget).Run();
}

}  // namespace zevo::files
