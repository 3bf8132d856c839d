#pragma once

#include "printer_state.h"
#include "received_frame.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pst::sim {

namespace command {
inline constexpr std::uint16_t kIdentify = 0x30;
inline constexpr std::uint16_t kSpeedSwitch = 0x31;
}  // namespace command

// What the printer does about one request. The reply echoes the request's
// command code (and a memory block's address, set by its handler);
// everything else about it is decided here.
struct CommandOutcome {
    bool reply = true;
    std::uint32_t replyArg1 = 0;
    std::uint32_t replyArg2 = 0;
    std::vector<std::uint8_t> replyPayload;
    // Applied only once the reply has left, because the host expects the
    // acknowledgement at the speed it asked on.
    std::optional<unsigned> speedAfterReply;
};

using CommandHandler = CommandOutcome (*)(PrinterState& state, const ReceivedFrame& frame);

// Looks the command up in the printer's table; unknown commands are
// acknowledged without a payload.
CommandOutcome handleCommand(PrinterState& state, const ReceivedFrame& frame);

}  // namespace pst::sim
