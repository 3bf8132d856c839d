#pragma once
// The one-byte code by which the printer knows a serial speed, used by the
// speed switch and by the baud-rate setting.

#include <array>
#include <cstdint>

namespace pst {

// The speed of each code, by code.
inline constexpr std::array<std::uint32_t, 9> kSpeedByCode{9600, 19200, 38400, 57600, 115200,
                                                           1200, 2400,  4800,  230400};

// A speed the printer has no code for is sent as 0 (9600).
constexpr std::uint8_t SpeedCode(std::uint32_t speed)
{
    for (std::size_t code = 0; code < kSpeedByCode.size(); ++code)
        if (kSpeedByCode[code] == speed)
            return static_cast<std::uint8_t>(code);
    return 0;
}

}  // namespace pst
