#pragma once
// The rest of the program names serial ports the way users know them from the
// printer's manual ("COM1"); on Linux the device behind such a name is a
// ttyS node, on Windows the port's device path.

#include <string>
#include <string_view>

namespace pst {

// "COMn" (any letter case, n a decimal number from 1 without leading zeros)
// gives /dev/ttyS(n-1) on Linux and \\.\COMn on Windows; every other name is
// taken as a device path unchanged.
std::string serialDevicePath(std::string_view name);

}  // namespace pst
