#include "platform/qt/qt_tablet_driver.h"

#include <QGuiApplication>

namespace zevo::platform::qt {

QtTabletDriver::QtTabletDriver() : geometry_(1024, 768) {}

QtTabletDriver::QtTabletDriver(VirtualTabletGeometry geometry)
    : geometry_(geometry), fixed_geometry_(true) {}

QtTabletDriver::~QtTabletDriver() = default;

bool QtTabletDriver::Load(std::string& error_text) {
  error_text.clear();
  if (!QGuiApplication::instance()) {
    error_text = "No window system: the tablet cannot be read.";
    return false;
  }
  if (!fixed_geometry_) geometry_ = QtTabletSource::PrimaryScreenGeometry();
  source_ = std::make_unique<QtTabletSource>([this](const TabletPacket& p) { Post(p); }, geometry_);
  return true;
}

void QtTabletDriver::Unload() {
  Close();
  source_.reset();
}

TabletContext QtTabletDriver::DefaultContext() {
  return geometry_.DefaultContext();
}

bool QtTabletDriver::Open(const TabletContext& context) {
  if (!source_) return false;
  context_ = context;
  queue_.Clear();
  return true;
}

void QtTabletDriver::Close() {
  context_.reset();
  queue_.Clear();
}

std::optional<TabletPacket> QtTabletDriver::ReadPacket(std::uint32_t serial) {
  return queue_.Read(serial);
}

void QtTabletDriver::Post(const TabletPacket& native) {
  if (!context_) return;
  const std::uint32_t serial = queue_.Push(ScaleToContext(native, *context_));
  if (on_message_) on_message_(context_->message_base + (WT_PACKET - WT_DEFBASE), serial);
}

}  // namespace zevo::platform::qt
