#pragma once
// The serial ports this machine has. Windows lists its COM ports in the
// registry (serial_ports_windows.cpp; the folder arguments mean nothing
// there). Linux names every tty in /sys/class/tty; only those with a
// device behind them are ports a printer can hang on. The 8250 driver
// registers ttyS0..ttyS31 whether or not a UART exists, so those count only
// when the kernel found hardware (their "type" is not 0).

#include <string>
#include <string_view>
#include <vector>

namespace pst {

inline constexpr std::string_view kSysClassTty = "/sys/class/tty";

// Device paths ("/dev/ttyS0", "/dev/ttyUSB0", ...) in natural order
// (ttyS2 before ttyS10). `sysfsTtyFolder` is the folder that lists the ttys;
// a missing or unreadable folder gives an empty list.
std::vector<std::string> listSerialPorts(const std::string& sysfsTtyFolder = std::string(kSysClassTty),
                                         const std::string& deviceFolder = "/dev");

// What stands behind a serial port, as far as the system tells: enough for a
// technician to pick the adapter the printer hangs on. Empty fields are
// unknown (a built-in UART has no USB maker).
struct SerialPortDetails {
    std::string path;            // "/dev/ttyUSB0"
    std::string driver;          // "ftdi_sio", "cdc_acm", "serial8250"
    std::string usbId;           // "0403:6001"
    std::string maker;           // the USB device's manufacturer text
    std::string product;         // the USB device's product text
    std::vector<std::string> stableNames;  // links in <dev>/serial/by-id to the port
};

// The ports listSerialPorts finds under `sysfsRoot`/class/tty and
// `devRoot`, each with its driver, the USB device above it in the device
// tree (when there is one) and its /dev/serial/by-id names.
std::vector<SerialPortDetails> describeSerialPorts(const std::string& sysfsRoot = "/sys",
                                                   const std::string& devRoot = "/dev");

}  // namespace pst
