#pragma once

// What the JSON fuzz target does with one input, shared with the test that replays its corpus:
// a text that imports writes a stroke file that reads back, exports again and imports to the
// same file, and what it holds is rendered as a sheet. A broken promise traps.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "files/stroke_file.h"
#include "files/stroke_json.h"
#include "fuzz/render/harness.h"

namespace zevo::fuzz {

// True when the text imported.
inline bool ImportJson(std::span<const std::uint8_t> data) {
  const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  ink::StrokeDocument d(1024, 718);
  files::DocumentBudget budget;
  if (!files::StrokeDocumentFromJson(text, d, budget)) {
    // A refused text leaves nothing behind.
    if (d.Count() != 0 || d.Background() != nullptr) __builtin_trap();
    return false;
  }
  if (d.StrokeOpen() || d.Position() != d.Count()) __builtin_trap();
  const std::vector<std::uint8_t> layout = files::BuildStrokeLayout(d, 1);

  ink::StrokeDocument read(1024, 718);
  if (files::ReadStrokeData(read, layout, nullptr) != files::kReadOk) __builtin_trap();
  if (read.Count() != d.Count()) __builtin_trap();
  ink::StrokeDocument again(1024, 718);
  files::DocumentBudget budget2;
  if (!files::StrokeDocumentFromJson(files::StrokeDocumentToJson(read), again, budget2))
    __builtin_trap();
  if (files::BuildStrokeLayout(again, 1) != layout) __builtin_trap();

  RenderSheet(layout);
  return true;
}

}  // namespace zevo::fuzz
