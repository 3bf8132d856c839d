#include "termios_speed.h"

#include <array>
#include <utility>

namespace pst::sim {
namespace {

constexpr std::array<std::pair<speed_t, unsigned>, 9> kSpeeds{{
    {B1200, 1200},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
    {B230400, 230400},
}};

}  // namespace

unsigned baudFromSpeedT(speed_t speed)
{
    for (const auto& [constant, baud] : kSpeeds) {
        if (constant == speed) {
            return baud;
        }
    }
    return 0;
}

std::optional<speed_t> speedTFromBaud(unsigned baud)
{
    for (const auto& [constant, value] : kSpeeds) {
        if (value == baud) {
            return constant;
        }
    }
    return std::nullopt;
}

}  // namespace pst::sim
