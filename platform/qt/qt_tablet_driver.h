#pragma once

#include <functional>
#include <memory>

#include "platform/qt/qt_tablet_source.h"
#include "platform/tablet_driver.h"
#include "platform/virtual_tablet.h"

namespace zevo::platform::qt {

// The tablet driver of this platform: Qt's tablet events (and the mouse, when no pen is in
// use) on a virtual tablet covering the primary screen. Each packet is queued and announced
// at once through the message handler with the packet message number and its serial.
class QtTabletDriver : public TabletDriver {
 public:
  using MessageHandler = std::function<void(std::uint32_t message, std::uint32_t serial)>;

  QtTabletDriver();
  // Tests: a fixed screen instead of the primary one.
  explicit QtTabletDriver(VirtualTabletGeometry geometry);
  ~QtTabletDriver() override;

  void SetMessageHandler(MessageHandler handler) { on_message_ = std::move(handler); }

  bool Load(std::string& error_text) override;
  void Unload() override;
  TabletContext DefaultContext() override;
  bool Open(const TabletContext& context) override;
  void Close() override;
  std::optional<TabletPacket> ReadPacket(std::uint32_t serial) override;

  // The event source to feed or install on the writing area's widgets; exists after Load.
  QtTabletSource* Source() { return source_.get(); }
  const VirtualTabletGeometry& Geometry() const { return geometry_; }

  // Queues a packet of native counts for the open context and announces it. Ignored while no
  // context is open.
  void Post(const TabletPacket& native);

 private:
  VirtualTabletGeometry geometry_;
  bool fixed_geometry_ = false;
  std::unique_ptr<QtTabletSource> source_;
  std::optional<TabletContext> context_;
  PacketQueue queue_;
  MessageHandler on_message_;
};

}  // namespace zevo::platform::qt
