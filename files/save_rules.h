#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ink/stroke_document.h"

namespace zevo::files {

// The name the save dialog proposes: "Untitled01.stk" in `folder`, with the smallest number
// from 1 up whose file does not exist yet; empty (the dialog proposes nothing) when every
// number up to kMaxSaveNumber is taken.
inline constexpr int kMaxSaveNumber = 99999;
std::string ProposedSaveName(const std::string& folder);

// The name a stroke file is saved under: the chosen name when its extension is ".stk" in any
// case ("b.Stk" stays), else the name with ".stk" added ("a.txt" becomes "a.txt.stk").
std::string WithStrokeExtension(const std::string& name);

// The 256-byte text field of a stroke file holding `text` (at most 255 bytes, zero-padded).
ink::StrokeDocument::Text TextField(std::string_view text);

// Whether a document was written by the given author with the given password: both fields
// equal over all 256 bytes.
bool SameAuthor(const ink::StrokeDocument& d, std::string_view author, std::string_view password);

// Protection flags of a stroke file.
inline constexpr std::uint32_t kOthersMayOpen = 1u << 0;
inline constexpr std::uint32_t kOthersMayEdit = 1u << 1;

// What opening another author's file allows.
enum class OpenAccess { kFull, kViewOnly, kRefused };
// kFull for the same author; else by the file's protection flags.
OpenAccess AccessTo(const ink::StrokeDocument& d, std::string_view author,
                    std::string_view password);

// The writing grid as a stroke file records it: six 16-bit values in three words.
struct FileGrid {
  int cell_width = 0, cell_height = 0;
  int left = 0, top = 0;
  int columns = 0, rows = 0;
  friend bool operator==(const FileGrid&, const FileGrid&) = default;
};
// Word 1 = (cell height << 16) | cell width, word 2 = (top << 16) | left, word 3 = (rows << 16)
// | columns; each value is kept to its low 16 bits.
std::array<std::int32_t, 3> GridWords(const FileGrid& grid);
FileGrid GridFromWords(const std::array<std::int32_t, 3>& words);
// A file records a grid when its word 1 is not 0.
inline bool RecordsGrid(const std::array<std::int32_t, 3>& words) {
  return words[0] != 0;
}
// A recorded grid made usable: a zero cell side takes the other side; zero columns or rows
// fill the page (1022 and 718 pixels) from the left and top lines. Both sides zero cannot be
// recorded (word 1 would be 0).
FileGrid CompletedGrid(FileGrid grid);

// The line of the main window's texts that tells a failed read, for a ReadResult code other
// than kReadOk; -1 when the code has no line of its own (kReadTooLarge).
int ReadFailureLine(int code);

}  // namespace zevo::files
