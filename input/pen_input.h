#pragma once

#include "platform/tablet_driver.h"

namespace zevo::app {
class TZevo3Win;
}

namespace zevo::input {

// The writing loop: one tablet packet classified as pen-down, pen-move or pen-up, drawn at
// once on the page view and the overview and recorded in the live history.
void HandlePacket(app::TZevo3Win& w, const platform::TabletPacket& packet);

// The page "Clear" command; while calibrating it restarts the calibration instead.
void WriteClear(app::TZevo3Win& w);
// "Center Check": shows the target and waits for the pen's tap on it.
void WriteCenterCheck(app::TZevo3Win& w);
// The tap on the calibration target.
void CalibrationTap(app::TZevo3Win& w);
// Mouse over the page: moving back up from the panels returns to writing.
void MouseOverPage(app::TZevo3Win& w, int x, int y);
// The panels that writing hides.
void HideWorkPanels(app::TZevo3Win& w);

}  // namespace zevo::input
