#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/result.h"
#include "gfx/bitmap24.h"
#include "output/sheet_layers.h"

namespace zevo::output {

// The history being written, drawn as the replay draws it: entries in turn, a stroke sample by
// sample, samples_per_frame samples each tick, over the sheet picture's paper, background, grid
// and tracing model. Every tick is one frame time of 1 / fps seconds; a tick that changes no
// pixel lengthens the frame before it.
struct AnimationOptions {
  int width = 0;
  int height = 0;
  int samples_per_frame = 3;  // 1 or more
  int fps = 25;               // 1 or more
  int pause_ms = 2000;        // how long the last frame is held
  int from = 0;               // entries shown on the first frame
  int to = 0;                 // entries shown on the last frame, from..Count()
  bool tip = false;           // the replay's brush-tip circle
};

// Where the frames go, as they are drawn: nothing keeps them all.
class AnimationSink {
 public:
  virtual ~AnimationSink() = default;
  // A frame shown from at_ms on: picture is the whole frame; changed holds every pixel that
  // differs from the frame before (the whole picture for the first). Empty text on success,
  // else why the frame could not be written.
  virtual std::string Frame(const gfx::Bitmap24& picture, const gfx::Rect& changed,
                            std::int64_t at_ms) = 0;
  // The last frame is shown until end_ms. Empty text on success.
  virtual std::string End(std::int64_t end_ms) = 0;
};

// What a rendered animation held.
struct AnimationTotals {
  int ticks = 0;   // replay ticks after the first frame
  int frames = 0;  // frames given to the sink, the first included
  std::int64_t duration_ms = 0;
};

// The replay ticks entries [from, to) of doc take at samples_per_frame: a stroke of n samples
// one to begin it, one for each samples_per_frame of the n - 1 after the first and one more
// that finds it ended; any other entry one.
std::int64_t ReplayTicks(const ink::StrokeDocument& doc, int from, int to, int samples_per_frame);

// The time tick k starts at, in milliseconds.
inline std::int64_t TickTimeMs(std::int64_t tick, int fps) {
  return (tick * 1000 + fps / 2) / fps;
}

// Called after each entry drawn with the number done and the number in all; false stops the
// animation (it is then refused with "cancelled").
using AnimationProgress = std::function<bool(int done, int count)>;

// Draws the animation of in.live (required) into sink. The last frame equals the sheet picture
// of the same inputs at position `to` pixel for pixel. The live document's position is
// unchanged. Refused with a message for options out of range, a size the sheet picture
// refuses, a history that asks for more drawing than Zevo 3 does, or the sink's failure.
Result<AnimationTotals> RenderAnimation(const SheetInputs& in, const AnimationOptions& options,
                                        AnimationSink& sink,
                                        const AnimationProgress& progress = {});

inline constexpr const char* kAnimationCancelled = "cancelled";

}  // namespace zevo::output
