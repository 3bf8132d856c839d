#pragma once
// Replacing the printer's program: through the running printer (operation
// 4), as a plain stream to its loader (operation 25), and catching the
// loader with the boot handshake (operation 28).

namespace pst {

class TCommThread;

inline constexpr const char* kProgramFileErrorText = "程序文件错误";
inline constexpr const char* kBootReplyMarker = "151";

void RunProgramUpdate(TCommThread& worker);
void RunFirmwareUpdate(TCommThread& worker);
void RunBootHandshake(TCommThread& worker);

}  // namespace pst
