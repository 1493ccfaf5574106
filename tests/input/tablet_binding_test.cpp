#include "input/tablet_binding.h"

#include <gtest/gtest.h>

namespace zevo::input {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroWithAWideProduct) {
  EXPECT_EQ(MulDiv(718, 15000, 768), 14023);  // 14023.4375
  EXPECT_EQ(MulDiv(1, 3, 2), 2);              // 1.5
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);
  EXPECT_EQ(MulDiv(1, -5, 4), -1);  // -1.25
  EXPECT_EQ(MulDiv(2000000, 1048576, 2000000), 1048576);
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TabletBinding Make(int ext_x, int ext_y) {
  TabletBinding b;
  platform::TabletContext c;
  c.in_ext_x = ext_x;
  c.in_ext_y = ext_y;
  b.PrepareContext(c);
  b.SetScreen(1024, 768);
  return b;
}

TEST(TabletBinding, ContextAsksForMessagesAndNativeCounts) {
  platform::TabletContext c;
  c.in_ext_x = 20000;
  c.in_ext_y = 15000;
  c.out_org_x = 7;
  c.button_down_mask = 0x55;
  TabletBinding b;
  b.PrepareContext(c);
  EXPECT_EQ(b.context.options & 0x5u, 0x5u);
  EXPECT_EQ(b.context.packet_data, 0x5E0u);
  EXPECT_EQ(b.context.move_mask, 0x5E0u);
  EXPECT_EQ(b.context.packet_mode, 0x40u);
  EXPECT_EQ(b.context.button_up_mask, 0x55u);
  EXPECT_EQ(b.context.out_org_x, 0);
  EXPECT_EQ(b.extent_x, 20000);
  EXPECT_EQ(b.extent_y, 15000);
}

TEST(TabletBinding, AreaOverTheWritingArea) {
  TabletBinding b = Make(20000, 15000);
  b.UpdateArea(0, 0, 1024, 718);
  EXPECT_EQ(b.area.left, 0);
  EXPECT_EQ(b.area.right, 20000);
  EXPECT_EQ(b.area.top, 15000);
  EXPECT_EQ(b.area.bottom, 15000 - 14023);
  EXPECT_TRUE(b.area.Contains(0, 15000));
  EXPECT_TRUE(b.area.Contains(20000, 977));
  EXPECT_FALSE(b.area.Contains(20001, 5000));
  EXPECT_FALSE(b.area.Contains(100, 976));
}

TEST(TabletBinding, ReversedTabletTurnsHalfway) {
  TabletBinding b = Make(20000, 15000);
  b.UpdateArea(0, 0, 1024, 718);
  b.reversed = true;
  // Turned halfway, the pad's lower-right corner is the one at the writer's upper left ...
  std::int32_t x = 20000, y = 0;
  b.Orient(x, y);
  EXPECT_EQ(b.ScreenX(x), 0.0f);
  EXPECT_EQ(b.ScreenY(y), 0.0f);
  // ... and its upper-right corner lands at the screen's lower left.
  x = 20000;
  y = 15000;
  b.Orient(x, y);
  EXPECT_EQ(b.ScreenX(x), 0.0f);
  EXPECT_EQ(b.ScreenY(y), 768.0f);
}

TEST(TabletBinding, ScreenPositionsKeepSubPixels) {
  TabletBinding b = Make(1024 * 1024, 768 * 1024);
  b.UpdateArea(0, 0, 1024, 718);
  EXPECT_FLOAT_EQ(b.ScreenX(512 * 1024 + 256), 512.25f);
  EXPECT_FLOAT_EQ(b.ScreenY((768 - 100) * 1024 - 512), 100.5f);
}

TEST(TabletBinding, CalibrationMovesTheTapOntoTheCentre) {
  TabletBinding b = Make(20000, 15000);
  b.UpdateArea(0, 0, 1024, 718);
  const std::int32_t cx = (b.area.left + b.area.right) / 2, cy = (b.area.top + b.area.bottom) / 2;
  b.calibrating = true;
  b.calibration_x = cx + 100;  // right of the centre
  b.calibration_y = cy - 50;   // below it: tablet y grows upwards
  b.FinishCalibration();
  EXPECT_FALSE(b.calibrating);
  EXPECT_EQ(b.offset_x, -100);
  EXPECT_EQ(b.offset_y, 50);
  EXPECT_EQ(b.StoredOffsetX(), -102400);
  EXPECT_EQ(b.StoredOffsetY(), 51200);
  b.SetOffsetsFromStored(-1000, -1536);
  EXPECT_EQ(b.offset_x, 0);
  EXPECT_EQ(b.offset_y, -1);
}

}  // namespace
}  // namespace zevo::input
