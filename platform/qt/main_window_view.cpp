#include "platform/qt/main_window_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
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

QColor ToQColor(gfx::Color c) {
  return QColor(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c));
}

QRect RectOf(const workspace::PanelControl& p) {
  return QRect(p.left, p.top, p.width, p.height);
}

// While work that can be stopped runs: holds back every input event of the program (none may
// start a command in the middle of it) and notes Esc, a click, a pen touch or a close as the
// writer asking to stop. Painting and timers go on.
class StopRequestFilter : public QObject {
 public:
  bool stop = false;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) stop = true;
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::TabletPress:
      case QEvent::Close:
        stop = true;
        return true;
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::ContextMenu:
        return true;
      default:
        return e->isInputEvent();
    }
  }
};

QRect RectOf(const gfx::Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
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
  win_.repaint_progress_now = [this] {
    repaint(OnWindow(win_.panels.PanelProgress.panel.Bounds()));
  };
  win_.poll_stop_request = [this] { return PollStopRequest(); };

  timer1_.setInterval(10);
  connect(&timer1_, &QTimer::timeout, this, [this] {
    if (win_.timer1_enabled && !in_work_) Guard([&] { win_.Timer1Timer(); });
  });
  timer1_.start();
  timer2_.setInterval(33);
  connect(&timer2_, &QTimer::timeout, this, [this] {
    if (win_.timer2_enabled && !in_work_) Guard([&] { win_.Timer2Timer(); });
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

bool MainWindowView::PollStopRequest() {
  if (in_work_) return false;
  StopRequestFilter filter;
  QCoreApplication::instance()->installEventFilter(&filter);
  in_work_ = true;
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  in_work_ = false;
  QCoreApplication::instance()->removeEventFilter(&filter);
  return filter.stop;
}

void MainWindowView::Sync() {
  const unsigned d = win_.TakeDirty();
  // The pen's new ink: its rectangles are painted as soon as the event loop is back, together
  // with whatever else waits.
  for (const gfx::Rect& r : win_.TakeDirtyRects()) update(OnWindow(r));
  if (d == 0) return;
  const workspace::Panels& p = win_.panels;
  if (d & (workspace::kDirtyLayout | workspace::kDirtyPalettes | workspace::kDirtyProgress |
           workspace::kDirtyImgTmp)) {
    update();
    UpdateCursor(mapFromGlobal(QCursor::pos()));
    return;
  }
  if (d & workspace::kDirtyImgStamp) update(OnWindow(p.TabletPanel.Bounds()));
  if (d & workspace::kDirtyImgA) {
    const int left = p.TabletPanel.left + p.ImgA.left, top = p.TabletPanel.top + p.ImgA.top;
    update(
        OnWindow({left, top, left + win_.views.Page().Width(), top + win_.views.Page().Height()}));
  }
  if (d & (workspace::kDirtyImgZoom | workspace::kDirtyZoomPanel))
    update(OnWindow(p.ZoomPanel.Bounds()));
  if (d & workspace::kDirtyControlPanel) update(OnWindow(p.ControlPanel.Bounds()));
  if (d & workspace::kDirtyPlayPanel) update(OnWindow(p.PlayPanel.Bounds()));
  if (d & workspace::kDirtyGridPanel) update(OnWindow(p.GridPanel.Bounds()));
}

QRect MainWindowView::OnWindow(const gfx::Rect& workspace_rect) const {
  return RectOf(win_.panels.ToWindow(workspace_rect));
}

void MainWindowView::paintEvent(QPaintEvent* event) {
  PaintWindow(event->rect());
  if (on_painted) on_painted(event->rect());
}

void MainWindowView::PaintWindow(const QRect& window_area) {
  QPainter p(this);
  const workspace::Panels& w = win_.panels;
  // The desk around the workspace, then the workspace in its own pixels: one translation by
  // its origin, and nothing of it drawn on the desk.
  for (const gfx::Rect& band : workspace::DeskArea(w))
    p.fillRect(RectOf(band).intersected(window_area), ToQColor(workspace::kDeskColor));
  const QRect shown = RectOf(w.Workspace()).intersected(window_area);
  if (shown.isEmpty()) return;
  p.setClipRect(shown);
  p.translate(w.origin.x, w.origin.y);
  const QRect area = shown.translated(-w.origin.x, -w.origin.y);
  p.fillRect(area, ToQColor(workspace::kPanelFace));
  // Only the part of a picture inside the area is drawn: a stroke's few pixels are not a page.
  auto draw = [&](const gfx::Bitmap24& bm, int x, int y) {
    if (bm.Empty()) return;
    const QRect part = QRect(x, y, bm.Width(), bm.Height()).intersected(area);
    if (!part.isEmpty()) p.drawImage(part.topLeft(), WrapBitmap(bm), part.translated(-x, -y));
  };
  auto meets = [&](const QRect& r) { return r.intersects(area); };
  const auto& tp = w.TabletPanel;
  if (meets(RectOf(tp))) {
    p.fillRect(RectOf(tp).intersected(area), Qt::white);
    if (w.ImgA.visible) draw(win_.views.Page(), tp.left + w.ImgA.left, tp.top + w.ImgA.top);
    if (w.ImgTmp.visible) draw(w.ImgTmp.picture, tp.left + w.ImgTmp.left, tp.top + w.ImgTmp.top);
  }
  if (w.ImgStamp.visible && !w.ImgStamp.picture.Empty() &&
      meets(QRect(tp.left + w.ImgStamp.left, tp.top + w.ImgStamp.top, w.ImgStamp.width,
                  w.ImgStamp.height))) {
    // Stretched to its placed size; its white is paper, as when it is pressed.
    const auto& s = w.ImgStamp;
    QImage seal =
        WrapBitmap(s.picture).scaled(s.width, s.height).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < seal.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(seal.scanLine(y));
      for (int x = 0; x < seal.width(); ++x)
        if ((line[x] & 0xFFFFFFu) == 0xFFFFFFu) line[x] = 0;
    }
    p.drawImage(QPoint(tp.left + s.left, tp.top + s.top), seal);
  }
  if (w.PlayPanel.visible) draw(w.play_panel_canvas, w.PlayPanel.left, w.PlayPanel.top);
  if (w.ControlPanel.visible && meets(RectOf(w.ControlPanel)))
    draw(w.control_panel_canvas, w.ControlPanel.left, w.ControlPanel.top);
  for (std::size_t row = 0; row < w.palette_panels.size(); ++row) {
    const auto& panel = w.palette_panels[row];
    if (!panel.visible) continue;
    for (const auto& sw : w.palette_swatches[row])
      draw(sw.picture, panel.left + sw.left, panel.top + sw.top);
    // A frame round the palette and a line between swatches, so that a pale swatch (white)
    // stands out from the page under it.
    p.setPen(QColor(0x60, 0x5C, 0x55));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(panel.left - 1, panel.top - 1, panel.width + 1, panel.height + 1));
    for (const auto& sw : w.palette_swatches[row])
      if (sw.left > 0)
        p.drawLine(panel.left + sw.left, panel.top, panel.left + sw.left,
                   panel.top + panel.height - 1);
  }
  if (w.PenWPanel.visible) {
    const int left = w.PenWPanel.left + w.ImagePW.left, top = w.PenWPanel.top + w.ImagePW.top;
    draw(w.ImagePW.picture, left, top);
    p.setPen(QColor(0x60, 0x5C, 0x55));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(left - 1, top - 1, w.ImagePW.Width() + 1, w.ImagePW.Height() + 1));
  }
  if (w.ZoomPanel.visible && meets(RectOf(w.ZoomPanel))) {
    const auto& zp = w.ZoomPanel;
    p.save();
    p.setClipRect(RectOf(zp).intersected(area));
    draw(w.zoom_panel_canvas, zp.left, zp.top);
    if (win_.zoom.zoom_panel_expanded) {
      draw(win_.views.Overview(), zp.left + w.ImgZoom.left, zp.top + w.ImgZoom.top);
      const gfx::Rect& f = win_.zoom.shape;
      p.setPen(QPen(Qt::red, 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRect(zp.left + w.ImgZoom.left + f.left, zp.top + w.ImgZoom.top + f.top, f.Width(),
                       f.Height()));
    }
    p.restore();
  }
  if (w.GridPanel.visible) {
    const auto& gp = w.GridPanel;
    draw(w.grid_panel_canvas, gp.left, gp.top);
    for (const auto* image : {&w.ImgGridSelect, &w.ImgGrid})
      if (image->visible) draw(image->picture, gp.left + image->left, gp.top + image->top);
  }
  if (w.PanelProgress.panel.visible && meets(RectOf(w.PanelProgress.panel))) {
    const QRect r = RectOf(w.PanelProgress.panel);
    p.setPen(QColor(0x60, 0x5C, 0x55));
    p.setBrush(QColor(0xF7, 0xF4, 0xEC));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(r.adjusted(12, 8, -12, -40), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(w.PanelProgress.text));
    const QRect bar = r.adjusted(12, 44, -12, -14);
    p.setBrush(Qt::white);
    p.drawRect(bar);
    const int max = std::max(w.PanelProgress.max, 1);
    const int fill = bar.width() * std::clamp(w.PanelProgress.position, 0, max) / max;
    p.fillRect(QRect(bar.left() + 1, bar.top() + 1, fill, bar.height() - 1),
               QColor(0xB0, 0x3A, 0x2E));
  }
}

bool MainWindowView::OnPage(QPoint p) const {
  const workspace::Surface s = win_.HitTest(p.x(), p.y()).surface;
  return s == workspace::Surface::kWritingArea || s == workspace::Surface::kCalibrationTarget;
}

void MainWindowView::UpdateCursor(QPoint p) {
  if (OnPage(p))
    setCursor(ProgramCursor(win_.panels.tablet_panel_cursor));
  else
    setCursor(Qt::ArrowCursor);
}

void MainWindowView::tabletEvent(QTabletEvent* event) {
  // Left unaccepted: the window system also makes mouse events of it, which drive clicks.
  if (auto* source = tablet_.Source()) source->HandleTabletEvent(event, this);
  event->ignore();
}

void MainWindowView::mousePressEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  const workspace::Hit h = win_.HitTest(pt.x(), pt.y());
  if (event->button() != Qt::LeftButton) return;
  if (OnPage(pt)) {
    // The mouse writes (and taps the calibration target) through the tablet's packet path.
    if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
    if (h.surface == workspace::Surface::kWritingArea) return;
  }
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  Guard([&] { win_.MouseDown(pt.x(), pt.y(), shift); });
}

void MainWindowView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  UpdateCursor(pt);
  if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  Guard([&] { win_.MouseMove(pt.x(), pt.y(), shift); });
}

void MainWindowView::mouseReleaseEvent(QMouseEvent* event) {
  if (auto* source = tablet_.Source()) source->HandleMouseEvent(event, this);
  if (event->button() != Qt::LeftButton) return;
  const QPoint pt = event->position().toPoint();
  Guard([&] { win_.MouseUp(pt.x(), pt.y()); });
}

void MainWindowView::resizeEvent(QResizeEvent*) {
  Guard([&] { win_.FormResize(width(), height()); });
}

void MainWindowView::moveEvent(QMoveEvent*) {
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  const QPointF screen = QtTabletSource::ToScreen(QPointF(origin));
  win_.panels.window_left = int(screen.x());
  win_.panels.window_top = int(screen.y());
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
