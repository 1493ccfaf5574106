#include <cstdint>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "history/navigation.h"
#include "workspace/control_panel.h"
#include "workspace/skin.h"

namespace zevo::workspace {

namespace {

// The panel's own colour under the skin.
constexpr gfx::Color kPanelFace = 0x00E1E6E8;
// The player track: x from 36 to 453 over 417 steps of the history.
constexpr int kTrackFirstX = 36;
constexpr int kTrackLastX = 453;
constexpr int kTrackSteps = 417;

}  // namespace

void PaintPlayPanel(app::TZevo3Win& w) {
  gfx::Bitmap24& c = w.play_panel_canvas;
  if (c.Empty()) return;
  c.Fill(kPanelFace);
  const gfx::Bitmap24& background = w.skin[kSkinPlayPanel];
  if (!background.Empty()) gfx::Canvas(c).Draw(0, 0, background);
  history::DrawPlayerIndicator(w);
  w.MarkDirty(app::kDirtyPlayPanel);
}

void PlayPanelMouseDown(app::TZevo3Win& w, int x, int y) {
  if (x >= kTrackFirstX && x <= kTrackLastX && y > 17) {
    w.target_position = int(std::int64_t(x - kTrackFirstX) * w.doc->Count() / kTrackSteps);
    w.GotoPointExecute();
  }
  if (x >= 463 && x < 592) {
    if (x > 526)
      w.DataStopExecute();
    else
      w.DataPlayExecute();
  } else if (x >= 598 && x <= 832 && y > 14) {
    if (x <= 654)
      w.GotoFirstExecute();
    else if (x <= 713)
      w.GotoPrevExecute();
    else if (x <= 774)
      w.GotoNextExecute();
    else
      w.GotoLastExecute();
  } else if (x >= 864) {
    w.ShowControlExecute();
  }
  history::DrawPlayerIndicator(w);
}

}  // namespace zevo::workspace
