#include "line_speeds.h"

#include <algorithm>
#include <array>

namespace pst::sim {
namespace {

// Indexed by the code the host sends; the order is the firmware's, not sorted.
constexpr std::array<unsigned, 9> kSpeedByCode{9600, 19200, 38400, 57600, 115200, 1200, 2400, 4800, 230400};

}  // namespace

unsigned baudForSpeedCode(std::uint32_t code)
{
    // The firmware falls back to its base speed for codes it does not know.
    return code < kSpeedByCode.size() ? kSpeedByCode[code] : kSpeedByCode[0];
}

bool isPrinterSpeed(unsigned baud)
{
    return std::find(kSpeedByCode.begin(), kSpeedByCode.end(), baud) != kSpeedByCode.end();
}

}  // namespace pst::sim
