#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace zevo::settings {

// Splits text into lines at CR LF, a lone CR or a lone LF. A final line end makes no extra
// empty line; the text ends at its first zero byte; lines keep every space they have.
std::vector<std::string> SplitTextLines(std::string_view text);

// Reads a text file whole and splits it; an error when it cannot be read or is larger than
// kMaxTextFileSize.
inline constexpr std::size_t kMaxTextFileSize = 4 << 20;
Result<std::vector<std::string>> ReadTextFile(const std::string& path);

// A text looked up by a line number its list does not have (a skin's text file that is too
// short). Thrown by MessageTexts and DialogTexts lookups; the command boundary catches it,
// shows what() and abandons the command, as with any platform error.
class TextIndexError : public std::out_of_range {
 public:
  TextIndexError(int line, int count);
  int Line() const { return line_; }

 private:
  int line_;
};

}  // namespace zevo::settings
