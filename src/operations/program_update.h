#pragma once
// Replacing the printer's program: through the running printer (operation
// 4), as a plain stream to its loader (operation 25), and catching the
// loader with the boot handshake (operation 28).

namespace pst {

class OperationContext;

// Message-table keys: the refusal of a file for another model, and the
// wait while the printer restarts (a format with %d for the seconds).
inline constexpr const char* kProgramFileErrorKey = "sMsg23";
inline constexpr const char* kWaitTextKey = "sWaitSecondsMsg";
inline constexpr const char* kBootReplyMarker = "151";

void RunProgramUpdate(OperationContext& context);
void RunFirmwareUpdate(OperationContext& context);
void RunBootHandshake(OperationContext& context);

}  // namespace pst
