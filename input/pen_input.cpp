#include "input/pen_input.h"

#include <algorithm>
#include <cmath>

namespace zevo::input {

namespace {

ink::ViewPoint ToView(const PenTarget& t, float sx, float sy, float r) {
  return {sx - float(t.page_origin.x), sy - float(t.page_origin.y), r};
}

// Draws and records one sample of the open stroke (radius in view pixels).
void StrokeTo(PenTarget& t, float sx, float sy, float r) {
  const ink::StrokeSample s = t.views.ContinueStroke(ToView(t, sx, sy, r), t.settings.contour);
  t.player.Document().AddSample(s.x, s.y, s.radius);
}

}  // namespace

void HandlePacket(PenInput& pen, PenTarget t, const platform::TabletPacket& packet) {
  if (!pen.enabled) return;
  TabletBinding& tablet = pen.tablet;
  std::int32_t x = packet.x, y = packet.y;
  tablet.Orient(x, y);
  const std::int32_t raw =
      std::int32_t(std::min<std::uint32_t>(packet.normal_pressure, 0x7FFFFFFF));
  const float m = t.settings.pressure_curve.Mapped(raw);
  const bool contact = std::int32_t(m) != 0;
  if (tablet.calibrating) {
    tablet.calibration_x = x;
    tablet.calibration_y = y;
    return;
  }
  if (t.player.replaying) return;
  x += tablet.offset_x;
  y += tablet.offset_y;
  PenState& st = pen.state;
  const float sx = tablet.ScreenX(x), sy = tablet.ScreenY(y);
  const float P = m * (1.0f / 1023.0f);
  ink::StrokeDocument& doc = t.player.Document();

  if (!st.down) {
    if (!contact || !tablet.area.Contains(x, y)) return;
    // Another author's protected history may be viewed, not continued; the same holds for the
    // mirrored tablet. At position 0 the writer starts a fresh sheet of their own.
    if (t.player.view_only) {
      if (t.player.bar.position != 0) return;
      t.player.view_only = false;
    }
    st.down = true;
    st.gain.Reset();
    doc.SetInkColor(pen.ink_color);
    if (pen.tool_mode == kToolBrush) {
      const float r = ink::PenDownRadius(P, pen.brush_size);
      const ink::StrokeSample s =
          t.views.BeginStroke(ToView(t, sx, sy, r), pen.ink_color, t.settings.contour);
      doc.AddSample(s.x, s.y, s.radius);
    }
    st.sx = st.bsx = sx;
    st.sy = st.bsy = sy;
    st.p = st.bp = P;
    return;
  }

  if (contact) {
    // Pressure falling while the pen stays put gives no sample.
    if (P < st.p && std::fabs(sx - st.sx) + std::fabs(sy - st.sy) < 0.5f) return;
    const ink::BrushExtension ext = t.settings.Extension();
    st.gain.Update(P, st.p, sx, sy, st.sx, st.sy, ext);
    const float r = ink::MovingRadius(P, pen.brush_size, st.gain, ext);
    if (pen.tool_mode == kToolBrush) StrokeTo(t, sx, sy, r);
  } else {
    // Pen-up: the brush runs on past the last contact in the direction of travel, further the
    // more pressure was left, and tapers to a point. The mirrored tablet ends where it lifted.
    float ex = sx, ey = sy;
    if (!tablet.reversed) {
      float k = 1.0f;
      if (st.bp > st.p) k = std::min(st.p / (st.bp - st.p), 2.0f);
      ex = st.sx + (st.sx - st.bsx) * k;
      ey = st.sy + (st.sy - st.bsy) * k;
    }
    st.down = false;
    if (pen.tool_mode == kToolBrush) {
      StrokeTo(t, ex, ey, 0.0f);
    } else {
      const ink::ViewPoint v = ToView(t, ex, ey, 0);
      float px, py;
      t.views.ToPaper(v.x, v.y, px, py);
      t.views.FillAt(px, py, pen.ink_color);
      doc.AddFill(pen.ink_color, px, py);
    }
    t.player.ShowWhole();
  }
  st.bsx = st.sx;
  st.bsy = st.sy;
  st.bp = st.p;
  st.sx = sx;
  st.sy = sy;
  st.p = P;
}

void WriteClear(history::HistoryPlayer& player, ink::PageViews& views, seals::SheetPages& sheet) {
  sheet.background.Release();
  player.Document().Reset(ink::kPageWidth, ink::kPageHeight);
  player.ShowWhole();
  const seals::BlankPage blank = sheet.Blank();
  views.ShowBlank(blank.page, blank.overview);
}

}  // namespace zevo::input
