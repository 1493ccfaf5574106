#include "history/replay.h"

#include <algorithm>

#include "base/truncate.h"
#include "gfx/canvas.h"

namespace zevo::history {

namespace {

// A negative stored rate stalls the replay as 0 does.
int RateOf(int stored_rate) {
  return std::max(stored_rate, kMinReplayRate);
}

// The inverting circle around the brush tip, on the page image itself: the next segment's
// averaging covers it again.
gfx::Rect DrawTipMarker(gfx::Bitmap24& page, ink::ViewPoint p) {
  gfx::Canvas c(page);
  c.pen = {gfx::kBlack, 1, gfx::PenMode::NotXor};
  c.brush = {gfx::kWhite, gfx::BrushStyle::Clear};
  const gfx::Rect box{base::TruncToInt(p.x - p.radius), base::TruncToInt(p.y - p.radius),
                      base::TruncToInt(p.x + p.radius), base::TruncToInt(p.y + p.radius)};
  c.Ellipse(box.left, box.top, box.right, box.bottom);
  return box;
}

// Draws up to `count` further samples of the replayed stroke; a tick that finds no sample
// left ends the partial state.
void ContinueStroke(Navigator& n, ink::Stroke& stroke, int count) {
  for (int drawn = 0; drawn < count; ++drawn) {
    const ink::StrokeSample* s = stroke.NextSample();
    if (s == nullptr) {
      // A tick that has drawn the last samples leaves noticing the end to the next one, so
      // that every stroke ends with one tick of its own, whatever the rate.
      if (drawn == 0) n.player.ClearPartialStroke();
      return;
    }
    n.player.tip_marker = DrawTipMarker(n.views.Page(), n.views.ContinueSample(*s));
  }
}

// Starts the next entry: a stroke is begun and drawn by the following ticks, anything else
// appears whole. False at the end of the history.
bool StartNextEntry(Navigator& n) {
  ink::StrokeDocument& doc = n.player.Document();
  ink::Stroke* e =
      n.player.bar.position == 0 || doc.Position() == 0 ? doc.GotoHead() : doc.StepForward();
  if (e == nullptr) return false;
  n.player.SetPosition(doc.Position());
  if (e->kind == ink::StrokeKind::Ink) {
    n.player.SetPartialStroke(e);
    if (const ink::StrokeSample* s = e->FirstSample()) n.views.BeginSample(*s, e->value);
    return true;
  }
  n.views.DrawEntry(*e);
  n.views.MarkPending();
  return true;
}

}  // namespace

void DataPlay(Navigator& n, int stored_rate) {
  if (n.player.bar.position == n.player.bar.max) GotoFirst(n);
  n.player.samples_per_tick = RateOf(stored_rate);
  n.player.replaying = true;
}

void DataStop(HistoryPlayer& player, int stored_rate) {
  player.replaying = false;
  player.samples_per_tick = RateOf(stored_rate);
}

void ClearTipMarker(Navigator& n) {
  if (!n.player.tip_marker) return;
  gfx::Rect r = *n.player.tip_marker;
  n.player.tip_marker.reset();
  // The box as drawn, its corners in either order.
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
  n.views.ViewRenderer().DownsampleRect(r.left, r.top, r.right + 1, r.bottom + 1);
  n.views.MarkPending();
}

bool ReplayTick(Navigator& n) {
  if (ink::Stroke* partial = n.player.PartialStroke()) {
    ContinueStroke(n, *partial, n.player.samples_per_tick);
    return false;
  }
  return !StartNextEntry(n);
}

void ChangeReplayRate(HistoryPlayer& player, int delta) {
  if (delta > 0 && player.samples_per_tick < kMaxReplayRate) ++player.samples_per_tick;
  if (delta < 0 && player.samples_per_tick > kMinReplayRate) --player.samples_per_tick;
}

}  // namespace zevo::history
