#pragma once
// The settings sent as one answered packet of the handed-over block: which
// command carries each, the block's size, and the text shown once the
// printer has confirmed. One handler runs them all (RunConfirmedSetting).

#include <array>
#include <cstddef>
#include <cstdint>

#include "operations/operation.h"
#include "protocol/command_packet.h"

namespace pst {

struct ConfirmedSetting {
    Operation operation;
    std::uint16_t command;
    // The block's size; a block of another size was not handed over.
    std::size_t minBytes;
    std::size_t maxBytes;
    const char* what;        // for the refusal of a block not handed over
    const char* successKey;  // the message shown once confirmed
};

inline constexpr std::array kConfirmedSettings{
    ConfirmedSetting{Operation::SetSwitchOptionsAlone, 0x82, 2, 2, "switch options", "sMsg12"},
    ConfirmedSetting{Operation::SetSwitchOptions, 0x82, 2, 2, "switch options", "sMsg12"},
    ConfirmedSetting{Operation::RestoreDefaults, 0x79, 0, 0, "", "sMsg16"},
    ConfirmedSetting{Operation::SetBluetooth, 0x83, 56, 56, "Bluetooth parameters", "sMsg13"},
    // Two counted texts of at most 32 bytes, then the addresses.
    ConfirmedSetting{Operation::SetWifiStation, 0x8A, 2, 2 + 2 * 32 + 15, "WiFi station parameters", "sMsg7"},
    ConfirmedSetting{Operation::SetInfrared, 0x84, 3, 3, "infrared parameters", "sMsg8"},
    ConfirmedSetting{Operation::SetProduct, 0x85, 40, 40, "product parameters", "sMsg9"},
    ConfirmedSetting{Operation::SetSleepTimes, 0x86, 8, 8, "sleep and power-off times", "sMsg10"},
    ConfirmedSetting{Operation::SetWifiAccessPoint, 0x89, 2, 2 + 2 * 32, "WiFi access-point parameters", "sMsg6"},
    ConfirmedSetting{Operation::SendBluetoothControl, 0x87, 1, kMaxConfirmedPayload, "Bluetooth control text",
                     "sMsg14"},
    ConfirmedSetting{Operation::SetRecyclingTime, 0x8C, 1, 1, "receipt recycling time", "sMsg22"},
};

}  // namespace pst
