#pragma once

#include <optional>
#include <termios.h>

namespace pst::sim {

// Baud rate for a termios speed constant; 0 for speeds the printer never
// uses, so they can never match its own speed.
unsigned baudFromSpeedT(speed_t speed);
std::optional<speed_t> speedTFromBaud(unsigned baud);

}  // namespace pst::sim
