#pragma once

#include "printer_state.h"
#include "raw_command_decoder.h"

namespace pst::sim {

// What one raw command does to the printer: its settings, and what comes
// out of it on paper.
void applyRawCommand(PrinterState& state, const RawCommand& command);

}  // namespace pst::sim
