#pragma once

#include <memory>
#include <optional>

#include "history/redraw_cache.h"
#include "ink/stroke_document.h"

namespace zevo::history {

// The hidden track bar that holds the history positions.
struct PlayerBar {
  int min = 0;
  int max = 0;
  int position = 0;
  int sel_end = 0;
  friend bool operator==(const PlayerBar&, const PlayerBar&) = default;
};

// The live history and where the player stands in it. The player position is the number of
// entries shown and equals the document's 1-based current position; only a stroke that replay
// has drawn in part is counted before it is shown whole.
class HistoryPlayer {
 public:
  HistoryPlayer(int paper_width, int paper_height)
      : doc_(std::make_unique<ink::StrokeDocument>(paper_width, paper_height)) {}

  ink::StrokeDocument& Document() { return *doc_; }
  const ink::StrokeDocument& Document() const { return *doc_; }

  PlayerBar bar;
  // Player position and selection end together.
  void SetPosition(int position) { bar.position = bar.sel_end = position; }
  // After new writing or a cleared sheet: everything there is, is shown.
  void ShowWhole() { bar.max = bar.position = bar.sel_end = doc_->Count(); }

  // The stroke replay has drawn only in part, while it is still the current entry: a stroke
  // left over from a history that has changed since (cleared, truncated by new writing) is not.
  ink::Stroke* PartialStroke() const {
    return partial_ != nullptr && partial_ == doc_->Current() ? partial_ : nullptr;
  }
  void SetPartialStroke(ink::Stroke* s) { partial_ = s; }
  void ClearPartialStroke() { partial_ = nullptr; }

  bool replaying = false;
  // Where the replay's brush-tip circle was last drawn on the page image (view pixels).
  std::optional<gfx::Rect> tip_marker;
  int samples_per_tick = 3;
  // Another author's protected history: viewed, not continued.
  bool view_only = false;

  // Whether long redraws may draw the view's rows in two parts on two threads (the same
  // pixels; off on a machine of one processor, and for measuring against the plain path).
  bool split_redraws = true;

  // Navigation's copy of the renderers part way through the history.
  RedrawCache& Cache() { return cache_; }

 private:
  std::unique_ptr<ink::StrokeDocument> doc_;
  ink::Stroke* partial_ = nullptr;
  RedrawCache cache_;
};

}  // namespace zevo::history
