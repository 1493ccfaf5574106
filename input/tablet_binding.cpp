#include "input/tablet_binding.h"

#include <cstdlib>
#include <limits>

namespace zevo::input {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t d) {
  if (d == 0) return -1;
  const std::int64_t p = std::int64_t(a) * std::int64_t(b);
  const std::int64_t q = p / d, r = p % d;
  std::int64_t result = q;
  // Round halves away from zero.
  if (2 * std::llabs(r) >= std::llabs(std::int64_t(d))) result += ((p < 0) != (d < 0)) ? -1 : 1;
  if (result > std::numeric_limits<std::int32_t>::max() ||
      result < std::numeric_limits<std::int32_t>::min())
    return -1;
  return std::int32_t(result);
}

void TabletBinding::PrepareContext(const platform::TabletContext& defaults) {
  using namespace platform;
  context = defaults;
  context.options |= CXO_SYSTEM | CXO_MESSAGES;
  context.packet_data = PK_CURSOR | PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;
  context.packet_mode = PK_BUTTONS;
  context.move_mask = context.packet_data;
  context.button_up_mask = context.button_down_mask;
  context.out_org_x = context.out_org_y = 0;
  context.out_ext_x = context.in_ext_x;
  context.out_ext_y = context.in_ext_y;
  extent_x = context.out_ext_x;
  extent_y = context.out_ext_y;
}

void TabletBinding::UpdateArea(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  area.left = MulDiv(l, extent_x, screen_width);
  area.top = extent_y - MulDiv(t, extent_y, screen_height);
  area.right = MulDiv(r, extent_x, screen_width);
  area.bottom = extent_y - MulDiv(b, extent_y, screen_height);
}

float TabletBinding::ScreenX(std::int32_t x) const {
  return float(MulDiv(x - area.left, screen_width * 1024, extent_x)) * (1.0f / 1024.0f);
}

float TabletBinding::ScreenY(std::int32_t y) const {
  return float(MulDiv(area.top - y, screen_height * 1024, extent_y)) * (1.0f / 1024.0f);
}

void TabletBinding::FinishCalibration() {
  const std::int32_t cx = std::int32_t((std::int64_t(area.left) + area.right) / 2);
  const std::int32_t cy = std::int32_t((std::int64_t(area.top) + area.bottom) / 2);
  offset_x = cx - calibration_x;
  offset_y = cy - calibration_y;
  calibrating = false;
}

}  // namespace zevo::input
