#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zevo::settings {

// Number texts that are the same under every locale: the decimal point is always '.'.

// "%.Nf": `decimals` digits after the point, rounded as printf rounds.
std::string FormatFixed(double value, int decimals);
// "%.2f %": the extension ratio shown in the options dialog ("0.40 %").
std::string FormatPercent(double value);
// "%d.%02d": a stroke file's format version (1, 4 gives "1.04").
std::string FormatVersion(int major, int minor);
// The size text of a byte count: "1024Byte", "1KB", "2.9MB", "1.50GB".
std::string FormatByteSize(double bytes);

// Fills the "%s" of a format taken from a skin's text file with `args` in order; "%%" is a
// single "%"; a "%s" without an argument left becomes empty, and any other "%" sequence stays
// as it is written. The format is never handed to printf, so a skin cannot make it read
// arguments that do not exist.
std::string FillFormat(std::string_view format, std::initializer_list<std::string_view> args);

// A decimal integer ("-12", "+7", "300"): no spaces, no other characters, within 32 bits.
std::optional<std::int32_t> ParseDecimalInt(std::string_view text);

// A number the program's command expected and did not get; shown at the command boundary.
class ConversionError : public std::invalid_argument {
 public:
  explicit ConversionError(std::string_view text);
};

// ParseDecimalInt, throwing ConversionError when the text is not an integer.
std::int32_t StrToInt(std::string_view text);

}  // namespace zevo::settings
