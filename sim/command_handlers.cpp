#include "command_handlers.h"

#include "download_commands.h"
#include "line_speeds.h"
#include "settings_commands.h"

#include <algorithm>
#include <array>

namespace pst::sim {
namespace {

constexpr std::size_t kModelFieldSize = 8;

CommandOutcome acknowledge(PrinterState& /*state*/, const ReceivedFrame& /*frame*/)
{
    return {};
}

CommandOutcome identify(PrinterState& state, const ReceivedFrame& /*frame*/)
{
    CommandOutcome outcome;
    outcome.replyPayload.assign(kModelFieldSize, 0);
    const std::size_t used = std::min(state.model.size(), kModelFieldSize);
    std::copy_n(state.model.begin(), used, outcome.replyPayload.begin());
    return outcome;
}

CommandOutcome switchSpeed(PrinterState& state, const ReceivedFrame& frame)
{
    CommandOutcome outcome;
    const unsigned requested = baudForSpeedCode(frame.arg1);
    // Switching back to the base speed ends the conversation: a stored speed
    // that changed during it applies from here on.
    if (state.speedChangePendingUntilReturnTo && requested == *state.speedChangePendingUntilReturnTo) {
        outcome.speedAfterReply = state.settings.deviceSpeed;
        state.speedChangePendingUntilReturnTo.reset();
    } else {
        outcome.speedAfterReply = requested;
    }
    return outcome;
}

struct CommandEntry {
    std::uint16_t code;
    CommandHandler handler;
};

constexpr std::array<CommandEntry, 2> kCommandTable{{
    {command::kIdentify, &identify},
    {command::kSpeedSwitch, &switchSpeed},
}};

}  // namespace

CommandOutcome handleCommand(PrinterState& state, const ReceivedFrame& frame)
{
    for (const auto& entry : kCommandTable) {
        if (entry.code == frame.command) {
            return entry.handler(state, frame);
        }
    }
    if (const CommandHandler download = downloadCommandHandler(frame.command))
        return download(state, frame);
    if (const CommandHandler settings = settingsCommandHandler(frame.command))
        return settings(state, frame);
    return acknowledge(state, frame);
}

}  // namespace pst::sim
