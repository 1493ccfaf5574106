#include "workspace/skin_layout.h"

#include <algorithm>

namespace zevo::workspace {

const Region* RegionAt(Panel panel, int x, int y) {
  for (const Region& r : kRegions)
    if (r.panel == panel && r.rect.Contains(x, y)) return &r;
  return nullptr;
}

const Region* RegionNamed(std::string_view name) {
  for (const Region& r : kRegions)
    if (r.name == name) return &r;
  return nullptr;
}

}  // namespace zevo::workspace
