#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pst::sim {

// Text fields hold the bytes as the printer stored them (the host sends them
// in GBK); the state file shows them decoded.
struct BluetoothSettings {
    std::uint8_t mode = 1;  // 0 none fitted, 1 single-mode, 3 dual-mode
    std::string name = "Printer";
    std::string password = "0000";
    std::string dualModeName = "Printer";
    std::uint8_t passwordCheck = 1;  // 1 required, 2 required (masked), 0 none
    std::uint8_t moduleType = 1;
    bool hidden = false;
    std::string workMode = "normal";       // set by the control texts AT+HSM=2 / AT+HSM=0
    std::deque<std::string> controlTexts;  // newest last
};

struct WifiStation {
    std::string ssid;
    std::string password;
    std::string addressing = "dynamic";  // "dynamic", "static" or "not given"
    std::array<std::uint8_t, 4> ip{};
    std::array<std::uint8_t, 4> mask{};
    std::array<std::uint8_t, 4> gateway{};
    std::uint16_t port = 9100;
};

struct WifiSettings {
    bool enabled = true;
    std::string mode = "station";  // the mode last set: "station" or "access point"
    WifiStation station;
    std::string accessPointName;
    std::string accessPointPassword;
};

struct InfraredSettings {
    bool enabled = true;
    unsigned speed = 9600;
    std::uint8_t protocol = 0;  // 0 raw infrared, 1 IrDA
};

struct EthernetSettings {
    std::array<std::uint8_t, 4> ip{192, 168, 1, 87};
    std::array<std::uint8_t, 4> mask{255, 255, 255, 0};
    std::array<std::uint8_t, 4> gateway{192, 168, 1, 1};
    std::array<std::uint8_t, 4> macTail{0x65, 0x66, 0x67, 0x68};
    std::uint16_t port = 9100;
};

struct BlackMarkSettings {
    bool enabled = false;
    std::uint16_t searchDistanceMm = 400;
    std::uint16_t widthMm = 40;
    std::uint16_t feedAfterMarkMm = 40;
};

// What the printer keeps in its settings store.
struct PrinterSettings {
    unsigned deviceSpeed = 9600;  // the speed it listens at when a conversation starts
    std::uint8_t codePage = 0;
    std::uint8_t optionFlags = 0xEC;  // density, font, cutter, buzzer
    std::uint8_t lineFeed = 0;        // 0 = 0x0A, 1 = 0x0D
    std::int32_t sleepSeconds = 600;
    std::int32_t powerOffSeconds = 7200;
    std::uint8_t recyclingSeconds = 30;
    std::uint8_t flowControl = 1;  // 0 software, 1 hardware
    std::optional<std::uint8_t> pair8D;
    std::uint8_t usbType = 1;        // 0 virtual serial port, 1 printer port
    std::uint8_t paperType = 1;      // 0 receipt, 1 label
    std::uint8_t printOrder = 0xF0;  // F1 reverse, F0 normal
    BluetoothSettings bluetooth;
    WifiSettings wifi;
    InfraredSettings infrared;
    std::string productName;
    std::string productSerial;
    EthernetSettings ethernet;
    BlackMarkSettings blackMark;
    std::optional<std::array<std::uint32_t, 2>> setIpArguments;
    std::uint64_t defaultsRestored = 0;
};

// One thing that came out of the printer.
struct PrintedItem {
    enum class Kind { Text, Logo, QrCode, FormFeed, Cut };
    Kind kind = Kind::Text;
    std::string text;     // UTF-8: a printed line, or the QR code's data
    unsigned number = 0;  // logo number
};

// A raw command as the printer understood it.
struct RawCommandRecord {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

}  // namespace pst::sim
