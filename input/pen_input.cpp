#include "input/pen_input.h"

#include <algorithm>
#include <cmath>

#include "app/zevo3_win.h"
#include "history/navigation.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"
#include "workspace/control_panel.h"

namespace zevo::input {

namespace {

struct PagePoint {
  float vx, vy;  // page view
  float px, py;  // paper
};

PagePoint ToPage(const app::TZevo3Win& w, float sx, float sy) {
  PagePoint p;
  p.vx = sx - float(w.ImgA.left);
  p.vy = sy - float(w.ImgA.top);
  if (w.view.z == 1.0f) {
    p.px = p.vx;
    p.py = p.vy;
  } else {
    p.px = p.vx / w.view.z + w.view.ox;
    p.py = p.vy / w.view.z + w.view.oy;
  }
  return p;
}

// Draws and records one sample of the open stroke (radius in view pixels).
void StrokeTo(app::TZevo3Win& w, const PagePoint& p, float r) {
  const float paper_r = r / w.view.z;
  if (w.app_settings.contour)
    w.view_renderer->LineToWithContour(p.vx, p.vy, r);
  else
    w.view_renderer->LineTo(p.vx, p.vy, r);
  w.doc->AddSample(p.px, p.py, paper_r);
  w.overview_renderer->LineTo(p.px * 0.25f, p.py * 0.25f, paper_r * 0.25f);
  w.repaint_pending = true;
}

int Trunc(float v) {
  if (!(v == v)) return 0;
  return int(std::clamp(v, -1e9f, 1e9f));
}

void FillAt(app::TZevo3Win& w, const PagePoint& p) {
  w.overview_renderer->WorkCanvas().FloodFill(Trunc(p.px), Trunc(p.py));
  w.overview_renderer->DownsampleAll();
  w.view_renderer->WorkCanvas().FloodFill(Trunc(p.vx * 4), Trunc(p.vy * 4));
  w.view_renderer->DownsampleAll();
  w.doc->AddFill(w.ink_color, p.px, p.py);
  w.repaint_pending = true;
}

}  // namespace

void HandlePacket(app::TZevo3Win& w, const platform::TabletPacket& packet) {
  if (!w.pen_input_enabled) return;
  TabletBinding& t = w.tablet;
  std::int32_t x = packet.x, y = packet.y;
  t.Orient(x, y);
  const std::int32_t raw =
      std::int32_t(std::min<std::uint32_t>(packet.normal_pressure, 0x7FFFFFFF));
  const float m = w.app_settings.pressure_curve.Mapped(raw);
  const bool contact = std::int32_t(m) != 0;
  if (t.calibrating) {
    t.calibration_x = x;
    t.calibration_y = y;
    return;
  }
  if (w.replaying) return;
  x += t.offset_x;
  y += t.offset_y;
  app::PenState& pen = w.pen;
  const float sx = t.ScreenX(x), sy = t.ScreenY(y);
  const float P = m * (1.0f / 1023.0f);

  if (!pen.down) {
    if (!contact || !t.area.Contains(x, y)) return;
    // Another author's protected history may be viewed, not continued; the same holds for the
    // mirrored tablet. At position 0 the writer starts a fresh sheet of their own.
    if (w.view_only) {
      if (w.PlayerBar.position != 0) return;
      w.view_only = false;
    }
    pen.down = true;
    pen.gain.Reset();
    const PagePoint p = ToPage(w, sx, sy);
    const float r = ink::PenDownRadius(P, w.brush_size);
    w.view_renderer->SetColor(w.ink_color);
    w.overview_renderer->SetColor(w.ink_color);
    w.doc->SetInkColor(w.ink_color);
    if (w.tool_mode == 0) {
      if (w.app_settings.contour)
        w.view_renderer->BeginAtWithContour(p.vx, p.vy, r);
      else
        w.view_renderer->BeginAt(p.vx, p.vy, r);
      const float paper_r = r / w.view.z;
      w.doc->AddSample(p.px, p.py, paper_r);
      w.overview_renderer->BeginAt(p.px * 0.25f, p.py * 0.25f, paper_r * 0.25f);
    }
    pen.sx = pen.bsx = sx;
    pen.sy = pen.bsy = sy;
    pen.p = pen.bp = P;
    return;
  }

  if (contact) {
    // Pressure falling while the pen stays put gives no sample.
    if (P < pen.p && std::fabs(sx - pen.sx) + std::fabs(sy - pen.sy) < 0.5f) return;
    const ink::BrushExtension ext = w.app_settings.Extension();
    pen.gain.Update(P, pen.p, sx, sy, pen.sx, pen.sy, ext);
    const float r = ink::MovingRadius(P, w.brush_size, pen.gain, ext);
    if (w.tool_mode == 0) StrokeTo(w, ToPage(w, sx, sy), r);
  } else {
    // Pen-up: the brush runs on past the last contact in the direction of travel, further the
    // more pressure was left, and tapers to a point. The mirrored tablet ends where it lifted.
    float ex = sx, ey = sy;
    if (!t.reversed) {
      float k = 1.0f;
      if (pen.bp > pen.p) k = std::min(pen.p / (pen.bp - pen.p), 2.0f);
      ex = pen.sx + (pen.sx - pen.bsx) * k;
      ey = pen.sy + (pen.sy - pen.bsy) * k;
    }
    pen.down = false;
    const PagePoint end = ToPage(w, ex, ey);
    if (w.tool_mode == 0)
      StrokeTo(w, end, 0.0f);
    else
      FillAt(w, end);
    w.PlayerBar.max = w.PlayerBar.position = w.PlayerBar.sel_end = w.doc->Count();
    history::DrawPlayerIndicator(w);
  }
  pen.bsx = pen.sx;
  pen.bsy = pen.sy;
  pen.bp = pen.p;
  pen.sx = sx;
  pen.sy = sy;
  pen.p = P;
}

void HideWorkPanels(app::TZevo3Win& w) {
  w.ControlPanel.visible = false;
  w.ZoomPanel.visible = false;
  for (auto& p : w.palette_panels) p.visible = false;
  w.PenWPanel.visible = false;
  w.GridPanel.visible = false;
  w.MarkDirty(app::kDirtyLayout);
}

void WriteCenterCheck(app::TZevo3Win& w) {
  w.ImgA.visible = false;
  w.ImgTmp.left = w.TabletPanel.width / 2 - 128;
  w.ImgTmp.top = w.TabletPanel.height / 2 - 128;
  w.ImgTmp.visible = true;
  const gfx::Rect a = w.WritingAreaOnScreen();
  w.tablet.UpdateArea(a.left, a.top, a.right, a.bottom);
  HideWorkPanels(w);
  w.pen_input_enabled = true;
  w.tablet.calibrating = true;
  w.MarkDirty(app::kDirtyLayout | app::kDirtyImgTmp);
}

void CalibrationTap(app::TZevo3Win& w) {
  if (!w.tablet.calibrating) return;
  w.tablet.FinishCalibration();
  settings::WriteSettingInt(*w.env.settings, settings::kTabletOffsetX, w.tablet.StoredOffsetX());
  settings::WriteSettingInt(*w.env.settings, settings::kTabletOffsetY, w.tablet.StoredOffsetY());
  w.ImgTmp.visible = false;
  w.ImgA.visible = true;
  w.MarkDirty(app::kDirtyLayout | app::kDirtyImgA);
}

void WriteClear(app::TZevo3Win& w) {
  if (w.tablet.calibrating) {
    WriteCenterCheck(w);
    return;
  }
  w.background.Release();
  w.doc->Reset(w.ImgA.Width(), w.ImgA.Height());
  w.PlayerBar.max = w.PlayerBar.position = w.PlayerBar.sel_end = 0;
  history::DrawPlayerIndicator(w);
  if (w.view.z != 1.0f && w.commands.zoom_to_100) {
    w.commands.zoom_to_100();
  } else if (w.trace_shown || w.grid_shown) {
    const bool trace = w.trace_shown;
    w.ImgA.picture = trace ? w.trace_page : w.grid_page;
    w.ImgZoom.picture = trace ? w.trace_overview : w.grid_overview;
    w.view_renderer->LoadFromTarget();
    w.overview_renderer->LoadFromTarget();
  } else {
    w.view_renderer->ClearWhite();
    w.overview_renderer->ClearWhite();
  }
  w.MarkDirty(app::kDirtyImgA | app::kDirtyImgZoom);
}

void MouseOverPage(app::TZevo3Win& w, int x, int y) {
  (void)x;
  if (w.stamp_dragging) {
    if (w.commands.stamp_move) w.commands.stamp_move(x, y);
    return;
  }
  if (!w.pen_input_enabled && y < 400) {
    HideWorkPanels(w);
    if (!w.replaying) w.pen_input_enabled = true;
  }
}

}  // namespace zevo::input
