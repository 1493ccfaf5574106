#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "platform/virtual_tablet.h"

class QEvent;
class QMouseEvent;
class QTabletEvent;

namespace zevo::platform::qt {

// Turns a widget's tablet and mouse events into virtual-tablet packets. Tablet events are
// left unaccepted, so the window system still makes mouse events of them (the pen drives the
// pointer: clicks and moves reach the widgets); those mouse events give no packets. When the
// pen is not in use the mouse writes as a soft brush, which may make several packets of one
// mouse event (each handed to the callback in turn) or none yet.
class QtTabletSource : public QObject {
 public:
  using PacketCallback = std::function<void(const TabletPacket&)>;

  // Without a geometry, the primary screen's.
  explicit QtTabletSource(PacketCallback on_packet,
                          std::optional<VirtualTabletGeometry> geometry = std::nullopt);

  // Qt merges tablet and mouse moves by default, which makes written lines jagged.
  static void DisableEventCompression();
  static VirtualTabletGeometry PrimaryScreenGeometry();
  // Global (desktop) position → pixels from the primary screen's top-left corner.
  static QPointF ToScreen(const QPointF& global);

  // Watches the widget's events (as an event filter; the widget still gets all of them).
  // Install it on every widget of the writing area that receives pointer events; an event
  // that travels on to a watched parent gives one packet, not two.
  void Watch(QWidget* widget);

  // For a widget's own handlers: true when the event gave at least one packet. With the receiving
  // widget given, the copy an unaccepted event sends on to a parent that also feeds this source is
  // recognised and gives no second packet.
  bool HandleTabletEvent(QTabletEvent* event, QWidget* receiver = nullptr);
  bool HandleMouseEvent(QMouseEvent* event, QWidget* receiver = nullptr);
  // Any event; false for kinds that are not pointer events.
  bool HandleEvent(QEvent* event, QWidget* receiver = nullptr);

  const PointerPacketSource& State() const { return source_; }
  void SetGeometry(VirtualTabletGeometry g) { source_.SetGeometry(g); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // An unaccepted event travels on to the parent widgets as a copy of itself.
  struct Seen {
    int type = 0;
    QPointF global;
    double pressure = 0;
    QPointer<QWidget> receiver;
  };
  bool TravelledOn(const Seen& s);
  bool Deliver(const std::optional<TabletPacket>& p);
  bool Deliver(const std::vector<TabletPacket>& packets);

  PacketCallback on_packet_;
  PointerPacketSource source_;
  std::optional<Seen> last_;
};

}  // namespace zevo::platform::qt
