#pragma once

namespace zevo::ink {
class Stroke;
}
namespace zevo::app {
class TZevo3Win;
}

namespace zevo::history {

// Stepping through the live history. The player position is the number of entries shown and
// always equals the document's 1-based current position; only a stroke that replay has drawn
// in part is counted before it is shown whole (the partial-stroke flag).

// Draws one entry of any kind into the view and overview renderers and their page images.
// The views are repainted by the caller.
void DrawEntry(app::TZevo3Win& w, ink::Stroke& entry);
// The page without any entries: the grid page, else the trace model page, else the paper page
// when a background is set, else white; on both views.
void ShowBlankPage(app::TZevo3Win& w);
// Rebuilds both views from the blank page up to the current position (after a change of the
// pages: paper, trace model, grid, zoom).
void FullRedraw(app::TZevo3Win& w);

void GotoFirst(app::TZevo3Win& w);
void GotoPrev(app::TZevo3Win& w);
void GotoNext(app::TZevo3Win& w);
void GotoLast(app::TZevo3Win& w);
// To the position asked for by a click on the player track (win.target_position).
void GotoPoint(app::TZevo3Win& w);

// The player indicator on the play panel's canvas after a change of the player position.
void DrawPlayerIndicator(app::TZevo3Win& w);

// Shared with replay.
// Whether the current entry is a stroke that replay has drawn only in part. A flag left over
// from a history that has changed since (cleared, truncated by new writing) does not count.
bool PartialStrokeShown(const app::TZevo3Win& w);
// Player position and selection end, and the indicator.
void SetPlayerPosition(app::TZevo3Win& w, int position);

}  // namespace zevo::history
