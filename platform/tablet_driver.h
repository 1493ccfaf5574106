#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zevo::platform {

// Context options and packet fields under the tablet interface's published names.
inline constexpr std::uint32_t CXO_SYSTEM = 0x0001;
inline constexpr std::uint32_t CXO_MESSAGES = 0x0004;
inline constexpr std::uint32_t PK_CONTEXT = 0x0001;
inline constexpr std::uint32_t PK_STATUS = 0x0002;
inline constexpr std::uint32_t PK_TIME = 0x0004;
inline constexpr std::uint32_t PK_CHANGED = 0x0008;
inline constexpr std::uint32_t PK_SERIAL_NUMBER = 0x0010;
inline constexpr std::uint32_t PK_CURSOR = 0x0020;
inline constexpr std::uint32_t PK_BUTTONS = 0x0040;
inline constexpr std::uint32_t PK_X = 0x0080;
inline constexpr std::uint32_t PK_Y = 0x0100;
inline constexpr std::uint32_t PK_Z = 0x0200;
inline constexpr std::uint32_t PK_NORMAL_PRESSURE = 0x0400;
// The packet message number at the default message base.
inline constexpr std::uint32_t WT_DEFBASE = 0x7FF0;
inline constexpr std::uint32_t WT_PACKET = WT_DEFBASE + 0;

// The fields of a tablet context description that the program reads or sets.
struct TabletContext {
  std::uint32_t options = 0;
  std::uint32_t packet_data = 0;  // which packet fields are reported
  std::uint32_t packet_mode = 0;  // which of them are relative
  std::uint32_t move_mask = 0;
  std::uint32_t button_down_mask = 0;
  std::uint32_t button_up_mask = 0;
  std::int32_t in_org_x = 0, in_org_y = 0, in_ext_x = 0, in_ext_y = 0;
  std::int32_t out_org_x = 0, out_org_y = 0, out_ext_x = 0, out_ext_y = 0;
  std::uint32_t message_base = WT_DEFBASE;
};

// One packet with the fields cursor, buttons, x, y, normal pressure. Positions are tablet
// counts with the origin at the lower left and y upwards.
struct TabletPacket {
  std::uint32_t cursor = 0;
  std::uint32_t buttons = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint32_t normal_pressure = 0;
  friend bool operator==(const TabletPacket&, const TabletPacket&) = default;
};

// The binding to a tablet driver. The platform queues packets and announces each with a
// packet message carrying its serial number; the handler reads it with ReadPacket.
class TabletDriver {
 public:
  virtual ~TabletDriver() = default;

  // False with error_text set when the driver is not there.
  virtual bool Load(std::string& error_text) = 0;
  virtual void Unload() = 0;
  // The driver's default context, to be adjusted and passed to Open.
  virtual TabletContext DefaultContext() = 0;
  virtual bool Open(const TabletContext& context) = 0;
  virtual void Close() = 0;
  // The packet announced with this serial number; it and every older packet leave the queue.
  // nullopt when there is no such packet (already read, or dropped from a full queue).
  virtual std::optional<TabletPacket> ReadPacket(std::uint32_t serial) = 0;
};

}  // namespace zevo::platform
