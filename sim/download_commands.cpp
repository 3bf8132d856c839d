#include "download_commands.h"

#include <algorithm>

#include "fault_injector.h"

namespace pst::sim {
namespace {

constexpr std::size_t kReadChunk = 256;
constexpr std::size_t kTagOffset = 0x3000;
constexpr std::size_t kTagSize = 8;
// A program larger than this is not one this printer could hold.
constexpr std::size_t kProgramLimit = 16 * 1024 * 1024;

CommandOutcome connect(PrinterState& state, const ReceivedFrame& /*frame*/)
{
    state.program.downloading = true;
    state.program.image.clear();
    // The printer acknowledges, then restarts into its download state and
    // hears nothing until it is there.
    state.silentUntil = Clock::now() + state.restartPause;
    return {};
}

// A memory block's reply names the block's address, as the printer's does,
// so that the host can tell it from the reply to the block before.
CommandOutcome blockReply(const ReceivedFrame& frame)
{
    CommandOutcome outcome;
    outcome.replyArg1 = frame.arg1;
    return outcome;
}

CommandOutcome programBlock(PrinterState& state, const ReceivedFrame& frame)
{
    if (!state.program.downloading)
        return blockReply(frame);
    const std::size_t end = static_cast<std::size_t>(frame.arg1) + frame.payload.size();
    if (end > kProgramLimit)
        return blockReply(frame);
    if (state.program.image.size() < end)
        state.program.image.resize(end, 0xFF);
    std::copy(frame.payload.begin(), frame.payload.end(),
              state.program.image.begin() + static_cast<std::ptrdiff_t>(frame.arg1));
    return blockReply(frame);
}

CommandOutcome programEnd(PrinterState& state, const ReceivedFrame& /*frame*/)
{
    CommandOutcome outcome;
    if (!state.program.downloading)
        return outcome;
    state.program.downloading = false;
    ++state.program.updates;
    const std::string tag = programModelTag(state.program.image);
    if (!tag.empty())
        state.model = tag;
    // The new program starts at the speed the printer keeps.
    outcome.speedAfterReply = state.settings.deviceSpeed;
    return outcome;
}

CommandOutcome readMemory(PrinterState& state, const ReceivedFrame& frame)
{
    CommandOutcome outcome = blockReply(frame);
    outcome.replyPayload = state.flash.read(frame.arg1, kReadChunk);
    return outcome;
}

CommandOutcome writeMemory(PrinterState& state, const ReceivedFrame& frame)
{
    if (!frame.payload.empty() && corruptsThisWrite(state.fault)) {
        // The middle byte, so the damage sits inside the block, not at an edge.
        std::vector<std::uint8_t> spoiled = frame.payload;
        spoiled[spoiled.size() / 2] ^= 0xFF;
        state.flash.write(frame.arg1, spoiled);
        return blockReply(frame);
    }
    state.flash.write(frame.arg1, frame.payload);
    return blockReply(frame);
}

}  // namespace

CommandHandler downloadCommandHandler(std::uint16_t code)
{
    switch (code) {
    case command::kProgramEnd:
        return &programEnd;
    case command::kConnect:
        return &connect;
    case command::kProgramBlock:
        return &programBlock;
    case command::kReadMemory:
        return &readMemory;
    case command::kWriteMemory:
        return &writeMemory;
    default:
        return nullptr;
    }
}

std::string programModelTag(const std::vector<std::uint8_t>& image)
{
    std::string tag;
    for (std::size_t i = kTagOffset; i < std::min(image.size(), kTagOffset + kTagSize) && image[i] != 0; ++i)
        tag.push_back(static_cast<char>(image[i]));
    return tag;
}

std::uint32_t programChecksum(const std::vector<std::uint8_t>& image)
{
    std::uint32_t sum = 0;
    for (const std::uint8_t b : image)
        sum += b;
    return sum;
}

}  // namespace pst::sim
