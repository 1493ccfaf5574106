#include "platform/qt/main_window_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTabletEvent>

#include <exception>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/cursors.h"
#include "platform/qt/qt_tablet_driver.h"
#include "platform/ui.h"

namespace zevo::platform::qt {

namespace {

// The two buttons the control panel carries besides its skin: the tool toggle and "Clear".
constexpr QRect kToolButton(118, 28, 56, 22);
constexpr QRect kClearButton(118, 56, 56, 22);

QRect RectOf(const app::PanelControl& p) {
  return QRect(p.left, p.top, p.width, p.height);
}

}  // namespace

MainWindowView::MainWindowView(app::TZevo3Win& win, QtTabletDriver& tablet)
    : win_(win), tablet_(tablet) {
  setWindowTitle(QString::fromUtf8("Zevo 題字系統"));
  setWindowFlag(Qt::FramelessWindowHint);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_TabletTracking);
  setFocusPolicy(Qt::StrongFocus);

  tablet_.SetMessageHandler([this](std::uint32_t message, std::uint32_t serial) {
    Guard([&] { win_.TabletPanelMessage(message, serial, 0); });
  });
  win_.request_close = [this] {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
  };
  win_.center_pointer = [this] {
    if (QScreen* s = screen()) QCursor::setPos(s->geometry().center());
  };
  win_.repaint_progress_now = [this] { repaint(RectOf(win_.PanelProgress.panel)); };

  timer1_.setInterval(10);
  connect(&timer1_, &QTimer::timeout, this, [this] {
    if (win_.timer1_enabled) Guard([&] { win_.Timer1Timer(); });
  });
  timer1_.start();
  timer2_.setInterval(33);
  connect(&timer2_, &QTimer::timeout, this, [this] {
    if (win_.timer2_enabled) Guard([&] { win_.Timer2Timer(); });
  });
  timer2_.start();
}

template <class F>
void MainWindowView::Guard(F&& f) {
  try {
    f();
  } catch (const std::exception& e) {
    if (win_.env.ui) win_.env.ui->ShowError(e.what());
  }
  Sync();
}

void MainWindowView::Sync() {
  const unsigned d = win_.TakeDirty();
  if (d == 0) return;
  if (d & (app::kDirtyLayout | app::kDirtyPalettes | app::kDirtyProgress) ||
      (d & app::kDirtyImgTmp)) {
    update();
    UpdateCursor(mapFromGlobal(QCursor::pos()));
    return;
  }
  if (d & app::kDirtyImgA)
    update(QRect(win_.TabletPanel.left + win_.ImgA.left, win_.TabletPanel.top + win_.ImgA.top,
                 win_.ImgA.Width(), win_.ImgA.Height()));
  if (d & (app::kDirtyImgZoom | app::kDirtyZoomPanel)) update(RectOf(win_.ZoomPanel));
  if (d & app::kDirtyControlPanel) update(RectOf(win_.ControlPanel));
  if (d & app::kDirtyPlayPanel) update(RectOf(win_.PlayPanel));
  if (d & app::kDirtyGridPanel) update(RectOf(win_.GridPanel));
}

void MainWindowView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0xE8, 0xE6, 0xE1));
  auto draw = [&](const gfx::Bitmap24& bm, int x, int y) {
    if (!bm.Empty()) p.drawImage(QPoint(x, y), WrapBitmap(bm));
  };
  const auto& tp = win_.TabletPanel;
  p.fillRect(RectOf(tp), Qt::white);
  if (win_.ImgA.visible) draw(win_.ImgA.picture, tp.left + win_.ImgA.left, tp.top + win_.ImgA.top);
  if (win_.ImgTmp.visible)
    draw(win_.ImgTmp.picture, tp.left + win_.ImgTmp.left, tp.top + win_.ImgTmp.top);
  if (win_.PlayPanel.visible) draw(win_.play_panel_canvas, win_.PlayPanel.left, win_.PlayPanel.top);
  if (win_.ControlPanel.visible) {
    const auto& cp = win_.ControlPanel;
    draw(win_.control_panel_canvas, cp.left, cp.top);
    QFont f = font();
    f.setPixelSize(14);
    p.setFont(f);
    for (const auto& [r, text] :
         {std::pair{kToolButton, QString::fromStdString(win_.button1_caption)},
          std::pair{kClearButton, QStringLiteral("Clear")}}) {
      const QRect b = r.translated(cp.left, cp.top);
      p.setPen(QColor(0x60, 0x5C, 0x55));
      p.setBrush(QColor(0xF7, 0xF4, 0xEC));
      p.drawRoundedRect(b.adjusted(0, 0, -1, -1), 4, 4);
      p.setPen(Qt::black);
      p.drawText(b, Qt::AlignCenter, text);
    }
  }
  for (std::size_t row = 0; row < win_.palette_panels.size(); ++row) {
    const auto& panel = win_.palette_panels[row];
    if (!panel.visible) continue;
    for (const auto& sw : win_.palette_swatches[row])
      draw(sw.picture, panel.left + sw.left, panel.top + sw.top);
  }
  if (win_.PenWPanel.visible)
    draw(win_.ImagePW.picture, win_.PenWPanel.left + win_.ImagePW.left,
         win_.PenWPanel.top + win_.ImagePW.top);
  if (win_.ZoomPanel.visible) {
    const auto& zp = win_.ZoomPanel;
    p.setClipRect(RectOf(zp));
    draw(win_.zoom_panel_canvas, zp.left, zp.top);
    if (win_.zoom_panel_expanded) {
      draw(win_.ImgZoom.picture, zp.left + win_.ImgZoom.left, zp.top + win_.ImgZoom.top);
      const gfx::Rect& f = win_.zoom_frame;
      p.setPen(QPen(Qt::red, 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRect(zp.left + win_.ImgZoom.left + f.left, zp.top + win_.ImgZoom.top + f.top,
                       f.Width(), f.Height()));
    }
    p.setClipping(false);
  }
  if (win_.GridPanel.visible) draw(win_.grid_panel_canvas, win_.GridPanel.left, win_.GridPanel.top);
  if (win_.PanelProgress.panel.visible) {
    const QRect r = RectOf(win_.PanelProgress.panel);
    p.setPen(QColor(0x60, 0x5C, 0x55));
    p.setBrush(QColor(0xF7, 0xF4, 0xEC));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(r.adjusted(12, 8, -12, -40), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(win_.PanelProgress.text));
    const QRect bar = r.adjusted(12, 44, -12, -14);
    p.setBrush(Qt::white);
    p.drawRect(bar);
    const int max = std::max(win_.PanelProgress.max, 1);
    const int fill = bar.width() * std::clamp(win_.PanelProgress.position, 0, max) / max;
    p.fillRect(QRect(bar.left() + 1, bar.top() + 1, fill, bar.height() - 1),
               QColor(0xB0, 0x3A, 0x2E));
  }
}

MainWindowView::HitResult MainWindowView::HitTest(QPoint pt) const {
  auto in = [&](const app::PanelControl& c) { return c.visible && RectOf(c).contains(pt); };
  if (in(win_.PanelProgress.panel)) return {Hit::Progress};
  if (in(win_.GridPanel))
    return {Hit::GridPanel, pt.x() - win_.GridPanel.left, pt.y() - win_.GridPanel.top};
  if (in(win_.ZoomPanel))
    return {Hit::ZoomPanel, pt.x() - win_.ZoomPanel.left, pt.y() - win_.ZoomPanel.top};
  if (win_.PenWPanel.visible) {
    const QRect r(win_.PenWPanel.left + win_.ImagePW.left, win_.PenWPanel.top + win_.ImagePW.top,
                  win_.ImagePW.Width(), win_.ImagePW.Height());
    if (r.contains(pt)) return {Hit::BrushPicker, pt.x() - r.left(), pt.y() - r.top()};
  }
  for (std::size_t row = 0; row < win_.palette_panels.size(); ++row) {
    const auto& panel = win_.palette_panels[row];
    if (in(panel)) return {Hit::Palette, pt.x() - panel.left, pt.y() - panel.top, int(row)};
  }
  if (in(win_.ControlPanel)) {
    const QPoint local = pt - QPoint(win_.ControlPanel.left, win_.ControlPanel.top);
    if (kToolButton.contains(local)) return {Hit::ToolButton};
    if (kClearButton.contains(local)) return {Hit::ClearButton};
    return {Hit::ControlPanel, local.x(), local.y()};
  }
  if (in(win_.PlayPanel))
    return {Hit::PlayPanel, pt.x() - win_.PlayPanel.left, pt.y() - win_.PlayPanel.top};
  if (in(win_.TabletPanel)) {
    const int x = pt.x() - win_.TabletPanel.left, y = pt.y() - win_.TabletPanel.top;
    const auto& t = win_.ImgTmp;
    if (t.visible && QRect(t.left, t.top, t.Width(), t.Height()).contains(x, y))
      return {Hit::CalibrationTarget, x - t.left, y - t.top};
    return {Hit::WritingArea, x - win_.ImgA.left, y - win_.ImgA.top};
  }
  return {};
}

void MainWindowView::UpdateCursor(QPoint p) {
  const HitResult h = HitTest(p);
  if (h.hit == Hit::WritingArea || h.hit == Hit::CalibrationTarget)
    setCursor(ProgramCursor(win_.tablet_panel_cursor));
  else
    setCursor(Qt::ArrowCursor);
}

void MainWindowView::tabletEvent(QTabletEvent* event) {
  // Left unaccepted: the window system also makes mouse events of it, which drive clicks.
  if (auto* source = tablet_.Source()) source->HandleTabletEvent(event, this);
  event->ignore();
}

void MainWindowView::mousePressEvent(QMouseEvent* event) {
  const HitResult h = HitTest(event->position().toPoint());
  if ((h.hit == Hit::WritingArea || h.hit == Hit::CalibrationTarget) &&
      event->button() == Qt::LeftButton) {
    // The mouse writes (and taps the calibration target) through the tablet's packet path.
    if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
    if (h.hit == Hit::WritingArea) return;
  }
  if (event->button() != Qt::LeftButton) return;
  Guard([&] {
    switch (h.hit) {
      case Hit::CalibrationTarget:
        win_.ImgTmpClick();
        break;
      case Hit::PlayPanel:
        win_.PlayPanelMouseDown(h.x, h.y);
        break;
      case Hit::ControlPanel:
        win_.ControlPanelMouseDown(h.x, h.y);
        break;
      case Hit::ToolButton:
        win_.Button1Click();
        break;
      case Hit::ClearButton:
        win_.WriteClearExecute();
        break;
      case Hit::Palette:
        win_.PaletteSwatchClick(h.index, h.x / 45);
        break;
      case Hit::BrushPicker:
        win_.ImagePWMouseDown(h.x, h.y);
        break;
      default:
        break;
    }
  });
}

void MainWindowView::mouseMoveEvent(QMouseEvent* event) {
  const HitResult h = HitTest(event->position().toPoint());
  UpdateCursor(event->position().toPoint());
  if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
  if (h.hit == Hit::WritingArea) Guard([&] { win_.ImgAMouseMove(h.x, h.y); });
}

void MainWindowView::mouseReleaseEvent(QMouseEvent* event) {
  if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
}

void MainWindowView::resizeEvent(QResizeEvent*) {
  Guard([&] { win_.FormResize(width(), height()); });
}

void MainWindowView::moveEvent(QMoveEvent*) {
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  const QPointF screen = QtTabletSource::ToScreen(QPointF(origin));
  win_.window_left = int(screen.x());
  win_.window_top = int(screen.y());
  Guard([&] { win_.FormResize(width(), height()); });
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  // The close is never refused and asks nothing.
  Guard([&] { win_.FormCloseQuery(); });
  event->accept();
}

bool MainWindowView::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && !activated_) {
    // The window is activated once; its modal dialogs do not deactivate it.
    activated_ = true;
    Guard([&] { win_.FormActivate(); });
  }
  return QWidget::event(e);
}

}  // namespace zevo::platform::qt
