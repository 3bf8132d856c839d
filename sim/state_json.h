#pragma once

#include "printer_state.h"

#include <string>

namespace pst::sim {

std::string stateToJson(const PrinterState& state);

}  // namespace pst::sim
