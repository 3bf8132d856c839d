#pragma once
// The packets that surround every packet operation: the speed switch, the
// identify exchange and the connect request of a program download.

#include <cstdint>

#include "protocol/identify.h"

namespace pst {

class TCommThread;

inline constexpr std::uint16_t kCommandSwitchSpeed = 0x31;
inline constexpr std::uint16_t kCommandConnect = 0x32;

// Moves the printer and the serial port to `speed`; sends nothing when the
// port is already set to it, or when the run's link is not the serial port.
// Tells the worker what came of it (TCommThread::noteSpeedSwitch). Throws ESetBaudRateException("Set Baudrate
// Failed") when the printer does not confirm.
void SwitchLinkSpeed(TCommThread& worker, std::uint32_t speed);

// Reads the printer's model into DeviceModel and sets the device type.
void Identify(TCommThread& worker);

// Asks the printer to enter program download. Throws
// ESetBaudRateException("Connecting Failed") on any failure.
void Connect(TCommThread& worker);

}  // namespace pst
