#include "settings/text_format.h"

#include <charconv>
#include <system_error>

namespace zevo::settings {

std::string FormatFixed(double value, int decimals) {
  char buf[400];  // enough for any double in fixed notation with a few decimals
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return {};
  return std::string(buf, end);
}

std::string FormatPercent(double value) {
  return FormatFixed(value, 2) + " %";
}

std::string FormatVersion(int major, int minor) {
  char buf[32];
  auto r1 = std::to_chars(buf, buf + 12, major);
  std::string out(buf, r1.ptr);
  auto r2 = std::to_chars(buf, buf + 12, minor);
  std::string m(buf, r2.ptr);
  if (m.size() < 2) m.insert(0, 2 - m.size(), '0');
  return out + "." + m;
}

std::string FormatByteSize(double v) {
  int divided = 0;
  while (v > 1024 && divided < 3) {
    v /= 1024;
    ++divided;
  }
  switch (divided) {
    case 0:
      return FormatFixed(v, 0) + "Byte";
    case 1:
      return FormatFixed(v, 0) + "KB";
    case 2:
      return FormatFixed(v, 1) + "MB";
    default:
      return FormatFixed(v, 2) + "GB";
  }
}

std::string FillFormat(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == 's') {
        if (next != args.end()) out += *next++;
        ++i;
        continue;
      }
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::optional<std::int32_t> ParseDecimalInt(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

ConversionError::ConversionError(std::string_view text)
    : std::invalid_argument(
          std::string("'").append(text).append("' is not a valid integer value")) {}

std::int32_t StrToInt(std::string_view text) {
  auto v = ParseDecimalInt(text);
  if (!v) throw ConversionError(text);
  return *v;
}

}  // namespace zevo::settings
