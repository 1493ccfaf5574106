#pragma once

namespace zevo::app {
class TZevo3Win;
}

namespace zevo::history {

// Timed replay of the live history from the player position: entries appear in turn, strokes
// sample by sample at samples_per_tick per tick of Timer2, with a circle at the brush tip.

// The hot keys may take the rate this far, whatever the stored setting.
inline constexpr int kMinReplayRate = 0;
inline constexpr int kMaxReplayRate = 20;
inline constexpr int kDefaultReplayRate = 3;

// Starts the replay timer; at the end of the history it starts again from the blank page.
void DataPlay(app::TZevo3Win& w);
// Stops it; a stroke stopped half way is resumed by the next DataPlay.
void DataStop(app::TZevo3Win& w);
// One tick of Timer2.
void ReplayTick(app::TZevo3Win& w);
// The rate hot keys: one step (delta -1 or +1) within kMinReplayRate..kMaxReplayRate, for
// this replay only.
void ChangeReplayRate(app::TZevo3Win& w, int delta);

}  // namespace zevo::history
