#include "platform/qt/qt_tablet_source.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTabletEvent>
#include <QWidget>

namespace zevo::platform::qt {

QtTabletSource::QtTabletSource(PacketCallback on_packet,
                               std::optional<VirtualTabletGeometry> geometry)
    : on_packet_(std::move(on_packet)), source_(geometry ? *geometry : PrimaryScreenGeometry()) {
  DisableEventCompression();
}

void QtTabletSource::DisableEventCompression() {
  QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
  QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
}

VirtualTabletGeometry QtTabletSource::PrimaryScreenGeometry() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return VirtualTabletGeometry(1024, 768);
  const QRect r = screen->geometry();
  return VirtualTabletGeometry(r.width(), r.height());
}

QPointF QtTabletSource::ToScreen(const QPointF& global) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? global - QPointF(screen->geometry().topLeft()) : global;
}

void QtTabletSource::Watch(QWidget* widget) {
  if (widget) widget->installEventFilter(this);
}

bool QtTabletSource::eventFilter(QObject* watched, QEvent* event) {
  HandleEvent(event, qobject_cast<QWidget*>(watched));
  return QObject::eventFilter(watched, event);
}

// The copy a parent receives has the same kind, place and pressure and goes to an ancestor of
// the widget that had the original; a new event of the gesture goes to the same widget.
bool QtTabletSource::TravelledOn(const Seen& s) {
  const bool copy = last_ && s.receiver && last_->receiver && last_->type == s.type &&
                    last_->global == s.global && last_->pressure == s.pressure &&
                    s.receiver->isAncestorOf(last_->receiver);
  if (!copy) last_ = s;
  return copy;
}

bool QtTabletSource::Deliver(const std::optional<TabletPacket>& p) {
  if (p && on_packet_) on_packet_(*p);
  return p.has_value();
}

// Each packet goes out on its own, in order, as the driver queues and announces them.
bool QtTabletSource::Deliver(const std::vector<TabletPacket>& packets) {
  if (on_packet_)
    for (const TabletPacket& p : packets) on_packet_(p);
  return !packets.empty();
}

bool QtTabletSource::HandleEvent(QEvent* event, QWidget* receiver) {
  switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      return HandleTabletEvent(static_cast<QTabletEvent*>(event), receiver);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
      return HandleMouseEvent(static_cast<QMouseEvent*>(event), receiver);
    case QEvent::TabletLeaveProximity:
      source_.OnPenLeftProximity();
      return false;
    default:
      return false;
  }
}

bool QtTabletSource::HandleTabletEvent(QTabletEvent* event, QWidget* receiver) {
  if (TravelledOn({int(event->type()), event->globalPosition(), event->pressure(), receiver}))
    return false;
  PenInput in;
  in.phase = event->type() == QEvent::TabletPress     ? PointerPhase::Press
             : event->type() == QEvent::TabletRelease ? PointerPhase::Release
                                                      : PointerPhase::Move;
  const QPointF screen = ToScreen(event->globalPosition());
  in.screen_x = screen.x();
  in.screen_y = screen.y();
  in.pressure = event->pressure();
  in.eraser = event->pointerType() == QPointingDevice::PointerType::Eraser;
  in.timestamp_ms = std::int64_t(event->timestamp());
  // Left unaccepted: the mouse events made from it move and click as the pen does.
  event->ignore();
  return Deliver(source_.OnPen(in));
}

bool QtTabletSource::HandleMouseEvent(QMouseEvent* event, QWidget* receiver) {
  if (TravelledOn({int(event->type()), event->globalPosition(), -1.0, receiver})) return false;
  MouseInput in;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // the second press of a double click writes too
      in.phase = PointerPhase::Press;
      in.left_button = event->button() == Qt::LeftButton;
      break;
    case QEvent::MouseButtonRelease:
      in.phase = PointerPhase::Release;
      in.left_button = event->button() == Qt::LeftButton;
      break;
    default:
      in.phase = PointerPhase::Move;
      in.left_button = (event->buttons() & Qt::LeftButton) != 0;
      break;
  }
  const QPointF screen = ToScreen(event->globalPosition());
  in.screen_x = screen.x();
  in.screen_y = screen.y();
  in.synthesized = event->source() != Qt::MouseEventNotSynthesized;
  in.timestamp_ms = std::int64_t(event->timestamp());
  return Deliver(source_.OnMouse(in));
}

}  // namespace zevo::platform::qt
