#pragma once
// Replacing the printer's program: through the running printer (operation
// 4), as a plain stream to its loader (operation 25), and catching the
// loader with the boot handshake (operation 28).

namespace pst {

class OperationContext;

inline constexpr const char* kProgramFileErrorText = "程序文件错误";
inline constexpr const char* kBootReplyMarker = "151";

void RunProgramUpdate(OperationContext& context);
void RunFirmwareUpdate(OperationContext& context);
void RunBootHandshake(OperationContext& context);

}  // namespace pst
