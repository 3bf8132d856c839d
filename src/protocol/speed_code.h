#pragma once
// The one-byte code by which the printer knows a serial speed, used by the
// speed switch and by the baud-rate setting.

#include <cstdint>

namespace pst {

constexpr std::uint8_t SpeedCode(std::uint32_t speed)
{
    switch (speed) {
    case 9600:
        return 0;
    case 19200:
        return 1;
    case 38400:
        return 2;
    case 57600:
        return 3;
    case 115200:
        return 4;
    case 1200:
        return 5;
    case 2400:
        return 6;
    case 4800:
        return 7;
    case 230400:
        return 8;
    default:
        return 0;
    }
}

}  // namespace pst
