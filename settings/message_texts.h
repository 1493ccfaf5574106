#pragma once

#include <string>
#include <vector>

#include "settings/text_file.h"

namespace zevo::settings {

inline constexpr char kMessagesFile[] = "Messages.txt";
// The lines the main window uses (0..19); it cannot start with fewer than kMessageLinesToStart.
inline constexpr int kMessageLines = 20;
inline constexpr int kMessageLinesToStart = 11;

// The main window's texts, addressed by 0-based line number; the skin supplies all of them.
class MessageTexts {
 public:
  MessageTexts() = default;
  explicit MessageTexts(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  // The lines of "Messages.txt" in `skin_folder` when it exists and can be read, else none.
  static MessageTexts Load(const std::string& skin_folder);

  int Count() const { return int(lines_.size()); }
  bool Has(int line) const { return line >= 0 && line < Count(); }
  // The line as stored; throws TextIndexError when the list has no such line.
  const std::string& At(int line) const;
  const std::string& operator[](int line) const { return At(line); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace zevo::settings
