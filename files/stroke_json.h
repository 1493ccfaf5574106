#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/document_budget.h"
#include "ink/stroke_document.h"

namespace zevo::files {

// The open JSON form of a stroke document (docs/stroke-json.md describes every field). It
// holds the paper, the author (never the password), the protection flags, the grid words,
// every entry with its samples, pictures and stamp masks, and the background.
inline constexpr int kStrokeJsonVersion = 1;
inline constexpr std::string_view kStrokeJsonFormat = "zevo3-strokes";

// The text is held while it is read, so it is taken from the budget before it is parsed: a
// text larger than the whole budget is refused at once. The parser follows the format's own
// shape (an image inside an entry inside the entries, four levels) and never nests deeper.
// At most this many entries, and this many samples in one stroke.
inline constexpr std::size_t kMaxStrokeJsonEntries = std::size_t(1) << 24;
inline constexpr std::size_t kMaxStrokeJsonSamples = std::size_t(1) << 26;

// The JSON text of d: every entry (not only those up to the current position), the header
// values and the background. Pretty enough to read: one entry, one sample per line.
std::string StrokeDocumentToJson(const ink::StrokeDocument& d);

// What reading a JSON text gave.
struct StrokeJsonResult {
  enum Code { kOk = 0, kInvalid = 1, kTooLarge = 2 };
  Code code = kOk;
  // For kInvalid and kTooLarge: where and what, "entries[3].samples[7].radius: must be a
  // number", or "line 4, column 9: expected ':'" for text that is not JSON at all.
  std::string message;
  explicit operator bool() const { return code == kOk; }
};

// Clears d and builds it from a JSON text. Every sample, entry and picture is taken from
// budget before its memory is; a text that would need more is refused with kTooLarge. After
// a refusal d holds no entries and no background. The entries end with the last one current.
StrokeJsonResult StrokeDocumentFromJson(std::string_view text, ink::StrokeDocument& d,
                                        DocumentBudget& budget);

}  // namespace zevo::files
