#pragma once

#include "command_handlers.h"

namespace pst::sim {

namespace command {
inline constexpr std::uint16_t kSetIp = 0x20;
inline constexpr std::uint16_t kRestoreDefaults = 0x79;
inline constexpr std::uint16_t kCodePage = 0x80;
inline constexpr std::uint16_t kBaudRate = 0x81;
inline constexpr std::uint16_t kSwitchOptions = 0x82;
inline constexpr std::uint16_t kBluetooth = 0x83;
inline constexpr std::uint16_t kInfrared = 0x84;
inline constexpr std::uint16_t kProduct = 0x85;
inline constexpr std::uint16_t kSleepTimes = 0x86;
inline constexpr std::uint16_t kBluetoothControl = 0x87;
inline constexpr std::uint16_t kAllParameters = 0x88;
inline constexpr std::uint16_t kWifiAccessPoint = 0x89;
inline constexpr std::uint16_t kWifiStation = 0x8A;
inline constexpr std::uint16_t kCloseWifi = 0x8B;
inline constexpr std::uint16_t kRecyclingTime = 0x8C;
inline constexpr std::uint16_t kFlowControl = 0x8D;
}  // namespace command

// The handler of a settings command, or nullptr when `code` is none. Each
// decodes its payload into the printer's settings; a payload too short for
// its command is acknowledged and changes nothing.
CommandHandler settingsCommandHandler(std::uint16_t code);

}  // namespace pst::sim
