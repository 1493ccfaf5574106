#pragma once

#include "history/navigation.h"

namespace zevo::history {

// Timed replay of the live history from the player position: entries appear in turn, strokes
// sample by sample at samples_per_tick per tick of Timer2, with a circle at the brush tip.

// The hot keys may take the rate this far, whatever the stored setting.
inline constexpr int kMinReplayRate = 0;
inline constexpr int kMaxReplayRate = 20;
inline constexpr int kDefaultReplayRate = 3;

// Starts the replay at the stored rate; at the end of the history it starts again from the
// blank page.
void DataPlay(Navigator& n, int stored_rate);
// Stops it; a stroke stopped half way is resumed by the next DataPlay.
void DataStop(HistoryPlayer& player, int stored_rate);
// Takes the brush-tip circle a stopped replay left on the page away: its pixels are averaged
// again from the work bitmap.
void ClearTipMarker(Navigator& n);
// One tick of Timer2; true when the history has run out and the replay must stop.
bool ReplayTick(Navigator& n);
// The rate hot keys: one step (delta -1 or +1) within kMinReplayRate..kMaxReplayRate, for
// this replay only.
void ChangeReplayRate(HistoryPlayer& player, int delta);

}  // namespace zevo::history
