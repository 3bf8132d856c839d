#pragma once

#include "json_writer.h"
#include "printer_state.h"

namespace pst::sim {

// The parts of the state file that describe the printer's settings, what it
// printed and the raw commands it understood, with readable names and
// values.
void writeSettingsJson(JsonWriter& json, const PrinterSettings& settings);
void writePrintedJson(JsonWriter& json, const std::deque<PrintedItem>& printed);
void writeRawReceivedJson(JsonWriter& json, const std::deque<RawCommandRecord>& raw);

}  // namespace pst::sim
