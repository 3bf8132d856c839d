#pragma once
// The hand-over blocks of the settings commands, built from what the user
// chose: list positions (kNoSelection for none), texts and flags. Each
// function returns the block; its size is the length to send. Input that a
// window refuses makes them throw EInvalidInput (or EConvertError for a
// strict conversion) naming the text the user is shown (InputRefusalText
// turns it into that text).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/value_mappings.h"

namespace pst {

using ParamBlock = std::vector<std::uint8_t>;

// Field widths in the printer's code page.
inline constexpr std::size_t kBluetoothNameBytes = 20;
inline constexpr std::size_t kBluetoothPasswordBytes = 13;
inline constexpr std::size_t kWifiTextBytes = 32;
inline constexpr std::size_t kProductFieldBytes = 20;

// Switch options (ops 9 and 20): option flags byte, paper-feed byte.
ParamBlock SwitchOptionsBlock(int densityPosition, int fontPosition, bool cutter, bool buzzer,
                              int paperFeedPosition);

struct AllParameters {
    int codePagePosition = kNoSelection;
    int baudRatePosition = kNoSelection;
    int densityPosition = kNoSelection;
    int fontPosition = kNoSelection;
    bool cutter = false;
    bool buzzer = false;
    int paperFeedPosition = kNoSelection;
    std::int32_t sleepSeconds = 1000;
    std::int32_t powerOffSeconds = 3000;
};

// All basic parameters (op 19), 12 bytes.
ParamBlock AllParametersBlock(const AllParameters& parameters);

struct BluetoothParameters {
    int modePosition = 1;  // rg_lyMode
    std::string name;      // edt_lyName
    std::string password;  // edt_lyPsw
    std::string dualModeName;
    int passwordCheckPosition = 0;  // rg_lyPswcheck
    std::string moduleTypeText = "1";
};

// Bluetooth block (op 11), 56 bytes. Refuses both names empty (the window
// starts nothing then); the module type must be a whole number (its range
// is the request's to check).
ParamBlock BluetoothBlock(const BluetoothParameters& parameters);

enum class WifiAddressing { Dynamic, Static, NotChosen };

struct WifiStationParameters {
    std::string ssid;
    std::string password;
    WifiAddressing addressing = WifiAddressing::Static;
    std::string ipAddress = "192.168.1.87";
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.1.1";
    std::string portText = "9100";
};

// WiFi station block (op 12). The port is converted strictly first; with
// static addressing every address must be a whole dotted address the
// window's check accepts.
ParamBlock WifiStationBlock(const WifiStationParameters& parameters);

// WiFi access-point block (op 21); empty texts are allowed.
ParamBlock WifiAccessPointBlock(std::string_view broadcastName, std::string_view password);

// Infrared block (op 14): speed position, on/off, protocol position; both
// lists need a selection.
ParamBlock InfraredBlock(int speedPosition, bool enabled, int protocolPosition);

// Product block (op 15), 40 bytes. Refuses an empty name with sMsg1.
ParamBlock ProductBlock(std::string_view name, std::string_view serialNumber);

// The Bluetooth control text (op 22), without a terminator. Refuses an
// empty text and one longer than a packet's payload.
ParamBlock BluetoothControlTextBlock(std::string_view text);

// The work-mode control text: "AT+HSM=2" (high speed) or "AT+HSM=0" (normal).
ParamBlock BluetoothWorkModeBlock(int workModePosition);

}  // namespace pst
