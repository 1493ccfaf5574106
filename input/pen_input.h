#pragma once

#include "history/history_player.h"
#include "ink/page_views.h"
#include "ink/pressure_curve.h"
#include "input/tablet_binding.h"
#include "platform/tablet_driver.h"
#include "seals/sheet_pages.h"
#include "settings/app_settings.h"

namespace zevo::input {

// The pen state of the packet handler: lives as long as the process.
struct PenState {
  bool down = false;
  float sx = 0, sy = 0, p = 0;     // previous accepted packet
  float bsx = 0, bsy = 0, bp = 0;  // the one before it
  ink::BrushGain gain;
};

// The brush and tool the pen writes with.
inline constexpr int kToolBrush = 0;
inline constexpr int kToolFill = 1;

// Pen input: the tablet binding, the packet handler's state and what the pen writes with.
struct PenInput {
  TabletBinding tablet;
  PenState state;
  bool enabled = true;  // packets are taken (writing, not over the panels)
  float brush_size = 10.0f;
  gfx::Color ink_color = 0;
  int tool_mode = kToolBrush;
};

// What one packet may change besides the pen's own state.
struct PenTarget {
  history::HistoryPlayer& player;
  ink::PageViews& views;
  const settings::AppSettings& settings;
  gfx::Point page_origin;  // the page image's top-left corner in the writing area
};

// The writing loop: one tablet packet classified as pen-down, pen-move or pen-up, drawn at
// once on the page view and the overview and recorded in the live history.
void HandlePacket(PenInput& pen, PenTarget target, const platform::TabletPacket& packet);

// The page "Clear" command: an empty history on the blank page without a background.
void WriteClear(history::HistoryPlayer& player, ink::PageViews& views, seals::SheetPages& sheet);

}  // namespace zevo::input
