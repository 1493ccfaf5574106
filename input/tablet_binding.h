#pragma once

#include <cstdint>
#include <string>

#include "platform/tablet_driver.h"

namespace zevo::input {

// a × b / d with a 64-bit product, rounded to the nearest integer, halves away from zero;
// -1 for a zero divisor, as the platform's own does.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t d);

// A rectangle in tablet counts; top > bottom because tablet y grows upwards.
struct TabletArea {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(std::int32_t x, std::int32_t y) const {
    return left <= x && x <= right && bottom <= y && y <= top;
  }
};

// How packet positions become positions on the screen and the page: the tablet area over the
// writing area, the half turn, the calibration offset and the centre calibration.
class TabletBinding {
 public:
  platform::TabletContext context;
  std::int32_t extent_x = 0, extent_y = 0;
  std::int32_t screen_width = 1024, screen_height = 768;
  TabletArea area;
  std::int32_t offset_x = 0, offset_y = 0;
  bool reversed = false;
  bool calibrating = false;
  std::int32_t calibration_x = 0, calibration_y = 0;  // the last packet while calibrating

  void SetScreen(std::int32_t width, std::int32_t height) {
    screen_width = width;
    screen_height = height;
  }
  // Takes the driver's default context and sets what the program asks for: system cursor,
  // packet messages, cursor/buttons/x/y/pressure, native counts with the origin lower left.
  void PrepareContext(const platform::TabletContext& defaults);
  // The tablet area over the writing area's screen rectangle (L, T, R, B).
  void UpdateArea(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b);
  // Step 1 of the mapping: the half turn when reversed.
  void Orient(std::int32_t& x, std::int32_t& y) const {
    if (reversed) {
      x = extent_x - x;
      y = extent_y - y;
    }
  }
  // Screen pixels from the writing area's top-left corner (1/1024-pixel precision) of an
  // oriented position that already carries the calibration offset.
  float ScreenX(std::int32_t x) const;
  float ScreenY(std::int32_t y) const;
  // The tap on the calibration target: the offset that moves the last calibration position
  // onto the centre of the tablet area. Ends calibrating.
  void FinishCalibration();
  // Calibration offsets as stored (× 1024) and as read back (÷ 1024, truncated toward zero).
  std::int32_t StoredOffsetX() const { return offset_x * 1024; }
  std::int32_t StoredOffsetY() const { return offset_y * 1024; }
  void SetOffsetsFromStored(std::int32_t stored_x, std::int32_t stored_y) {
    offset_x = stored_x / 1024;
    offset_y = stored_y / 1024;
  }
};

}  // namespace zevo::input
