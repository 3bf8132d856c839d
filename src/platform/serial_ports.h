#pragma once
// The serial ports this machine has, in place of the Windows registry's list
// of COM ports. Linux names every tty in /sys/class/tty; only those with a
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

}  // namespace pst
