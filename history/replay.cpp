#include "history/replay.h"

#include <algorithm>

#include "app/zevo3_win.h"
#include "gfx/canvas.h"
#include "history/entry_painter.h"
#include "history/navigation.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace zevo::history {

namespace {

int StoredRate(const app::TZevo3Win& w) {
  if (w.env.settings == nullptr) return kDefaultReplayRate;
  // A negative stored rate stalls the replay as 0 does.
  return std::max(
      settings::ReadSettingInt(*w.env.settings, settings::kReplayRate, kDefaultReplayRate),
      kMinReplayRate);
}

// The inverting circle around the brush tip, on the page image itself: the next segment's
// averaging covers it again.
void DrawTipMarker(gfx::Bitmap24& page, float x, float y, float r) {
  gfx::Canvas c(page);
  c.pen = {gfx::kBlack, 1, gfx::PenMode::NotXor};
  c.brush = {gfx::kWhite, gfx::BrushStyle::Clear};
  c.Ellipse(TruncCoord(x - r), TruncCoord(y - r), TruncCoord(x + r), TruncCoord(y + r));
}

// Draws up to n further samples of the replayed stroke; a tick that finds no sample left
// clears the flag.
void ContinueStroke(app::TZevo3Win& w, int n) {
  ink::Stroke& stroke = *w.replayed_stroke;
  const EntryPainter map(*w.view_renderer, *w.overview_renderer, w.view);
  for (int drawn = 0; drawn < n; ++drawn) {
    const ink::StrokeSample* s = stroke.NextSample();
    if (s == nullptr) {
      // A tick that has drawn the last samples leaves noticing the end to the next one, so
      // that every stroke ends with one tick of its own, whatever the rate.
      if (drawn == 0) {
        w.partial_stroke = false;
        w.replayed_stroke = nullptr;
      }
      return;
    }
    w.overview_renderer->LineTo(s->x * 0.25f, s->y * 0.25f, s->radius * 0.25f);
    float x, y, r;
    map.ToView(*s, x, y, r);
    w.view_renderer->LineTo(x, y, r);
    DrawTipMarker(w.ImgA.picture, x, y, r);
    w.repaint_pending = true;
  }
}

// Starts the next entry: a stroke is begun and drawn by the following ticks, anything else
// appears whole.
void StartNextEntry(app::TZevo3Win& w) {
  ink::StrokeDocument& doc = *w.doc;
  ink::Stroke* e =
      w.PlayerBar.position == 0 || doc.Position() == 0 ? doc.GotoHead() : doc.StepForward();
  if (e == nullptr) {
    DataStop(w);
    return;
  }
  SetPlayerPosition(w, doc.Position());
  if (e->kind == ink::StrokeKind::Ink) {
    w.partial_stroke = true;
    w.replayed_stroke = e;
    w.view_renderer->SetColor(e->value);
    w.overview_renderer->SetColor(e->value);
    if (const ink::StrokeSample* s = e->FirstSample()) {
      const EntryPainter map(*w.view_renderer, *w.overview_renderer, w.view);
      float x, y, r;
      map.ToView(*s, x, y, r);
      w.view_renderer->BeginAt(x, y, r);
      w.overview_renderer->BeginAt(s->x * 0.25f, s->y * 0.25f, s->radius * 0.25f);
    }
    return;
  }
  if (e->kind == ink::StrokeKind::Picture || e->kind == ink::StrokeKind::Stamp ||
      e->kind == ink::StrokeKind::Fill) {
    DrawEntry(w, *e);
    w.repaint_pending = true;
  }
}

}  // namespace

void DataPlay(app::TZevo3Win& w) {
  if (w.PlayerBar.position == w.PlayerBar.max) GotoFirst(w);
  w.samples_per_tick = StoredRate(w);
  w.replaying = true;
  w.timer2_enabled = true;
  w.ControlPanel.visible = false;
  w.ZoomPanel.visible = false;
  w.GridPanel.visible = false;
  w.MarkDirty(app::kDirtyLayout);
}

void DataStop(app::TZevo3Win& w) {
  w.timer2_enabled = false;
  w.replaying = false;
  w.samples_per_tick = StoredRate(w);
  if (!w.ControlPanel.visible) w.pen_input_enabled = true;
}

void ReplayTick(app::TZevo3Win& w) {
  if (w.partial_stroke && !PartialStrokeShown(w)) {
    // The history changed under a stopped replay: that stroke is not the current one any more.
    w.partial_stroke = false;
    w.replayed_stroke = nullptr;
  }
  if (w.partial_stroke)
    ContinueStroke(w, w.samples_per_tick);
  else
    StartNextEntry(w);
}

void ChangeReplayRate(app::TZevo3Win& w, int delta) {
  if (delta > 0 && w.samples_per_tick < kMaxReplayRate) ++w.samples_per_tick;
  if (delta < 0 && w.samples_per_tick > kMinReplayRate) --w.samples_per_tick;
}

}  // namespace zevo::history
