#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zevo::settings {

inline constexpr char kStartupFileName[] = "Zevo3.ini";
inline constexpr char kStartupSection[] = "[Zevo3 Option]";
// Lines are read in pieces of at most this many characters, the line end included.
inline constexpr std::size_t kStartupPieceSize = 98;

// The folders the start-up file sets.
struct StartupOptions {
  std::optional<std::string> stamp_folder;  // key "Path_Stamp"
  std::optional<std::string> skin_folder;   // key "Path_Skin"
  friend bool operator==(const StartupOptions&, const StartupOptions&) = default;
};

// Parses the start-up file. The first line must be exactly "[Zevo3 Option]", else nothing is
// taken. In each further line the first word (ended by a space, tab or the line end) is the
// key and the rest after the one character that ends it is the value; unknown keys, keys
// without a value and lines without a word are skipped; of a key given twice the last wins.
// A line that does not fit into one piece is skipped as a whole: cutting it would store a
// shortened folder name.
StartupOptions ParseStartupFile(std::string_view content);

// Reads and parses "Zevo3.ini" in `program_folder`; no options when it is missing or
// cannot be read.
StartupOptions ReadStartupFile(const std::string& program_folder);

}  // namespace zevo::settings
