#pragma once

// Stroke histories as a hostile file could hold them, each small on disk: what the renderer,
// navigation and replay must take without crashing, hanging or running out of memory.

#include <memory>
#include <string>
#include <vector>

#include "ink/stroke_document.h"

namespace zevo::test {

struct HostileDocument {
  std::string name;
  std::unique_ptr<ink::StrokeDocument> doc;
};

// One radius of 3e8 and a negative one; ten and a thousand segments at x = +-1e9; ten thousand
// fills alternating colours at one seed; fills alternating between two regions; seals and
// pictures placed far off and stretched absurdly; strokes of NaN-free but extreme values.
std::vector<HostileDocument> HostileDocuments();

}  // namespace zevo::test
