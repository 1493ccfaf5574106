#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "files/document_budget.h"
#include "ink/stroke_document.h"

namespace zevo::files {

// Result codes of ReadStrokeFile and of the layout reader.
enum ReadResult : int {
  kReadOk = 0,
  kReadCannotOpen = 1,
  kReadSizeMismatch = 2,  // the stored size does not match, or a record is damaged (NaN
                          // and infinite coordinates included)
  kReadUnknown = 3,       // too short or unknown magic
  kReadCannotDecode = 4,
  kReadMajorVersion = 5,  // major version not 1
  kReadNewerMinor = 6,
  kReadTooLarge = 7,  // too large for Zevo 3: needs more memory than kMaxDocumentBytes, or
                      // than there is
};

inline constexpr std::size_t kHeaderSize1 = 20;   // "Zvrn"
inline constexpr std::size_t kHeaderSize2 = 544;  // "Zvr2"
inline constexpr std::size_t kHeaderSize3 = 556;  // "Zvr3"
inline constexpr int kMinStep = 1;
inline constexpr int kMaxStep = 4;

// What a read found that the document does not keep.
struct StrokeFileDetails {
  // The sampling step as stored (1 for generation 1 files).
  std::int32_t step = 1;
};

// True when sample i of a stroke of n samples is kept with sampling step s: every s-th and
// the last one.
inline bool KeepsSample(std::size_t i, std::size_t n, int s) {
  return i % std::size_t(s) == 0 || i + 1 == n;
}

// The plain "Zvr3" layout of d with sampling step s (1..4): the header, the entries from the
// first through the current one, and the background. Sets d's signature to "Zvr3", its format
// version and its byte size; d's author and password go into the header as they are.
std::vector<std::uint8_t> BuildStrokeLayout(ink::StrokeDocument& d, int s);

// Reads a plain layout of any generation into d, which the caller has cleared. Every record is
// checked against the bytes that remain; a damaged one clears d again and gives
// kReadSizeMismatch. What each record will take in memory is taken from budget before it is
// allocated; a record that needs more than remains clears d and gives kReadTooLarge. A stroke
// still open after the last record is closed with a pen-up sample.
int ReadStrokeLayout(ink::StrokeDocument& d, std::span<const std::uint8_t> plain,
                     StrokeFileDetails* details, DocumentBudget& budget);

// The plain size the writer would produce with step s (clamped to 1..4), counting pictures and
// the background as raw 24-bit pixels; also stored as d's byte size (saturated to 32 bits).
std::int64_t EstimateStrokeFileSize(ink::StrokeDocument& d, int s);

}  // namespace zevo::files
