#pragma once

#include <cstdint>

namespace pst::sim {

// The speeds the printer can run at, as selected by the speed-switch command.
unsigned baudForSpeedCode(std::uint32_t code);
bool isPrinterSpeed(unsigned baud);

}  // namespace pst::sim
