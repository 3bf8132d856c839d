#include "printer_core.h"

#include "command_handlers.h"
#include "datagram_frames.h"
#include "frame_builder.h"
#include "raw_command_effects.h"
#include "state_json.h"
#include "wire_format.h"

#include <utility>

namespace pst::sim {

std::chrono::microseconds wireTime(std::size_t bytes, unsigned baud)
{
    if (baud == 0) {
        return std::chrono::microseconds::zero();
    }
    // Start bit, eight data bits, stop bit.
    constexpr unsigned long long kBitsPerByte = 10;
    return std::chrono::microseconds(bytes * kBitsPerByte * 1'000'000ULL / baud);
}

PrinterCore::PrinterCore(PrinterState initial) : state_(std::move(initial))
{
    state_.settings.deviceSpeed = state_.startSpeed;
}

PrinterCore::Intake PrinterCore::ingest(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt,
                                        std::optional<unsigned> hostSpeed)
{
    Intake intake;
    std::lock_guard lock(mutex_);
    if (hostSpeed && *hostSpeed != state_.speed) {
        state_.ignoredBytes += bytes.size();
        // Whatever partial frame was pending has just been garbled as well.
        stream_.reset();
        intake.countersChanged = true;
    } else if (arrivedAt < state_.silentUntil) {
        // Restarting: nothing is heard, and no partial frame survives it.
        state_.ignoredBytes += bytes.size();
        stream_.reset();
        intake.countersChanged = true;
    } else if (state_.loader.active) {
        intake.loaderAnswer = state_.loader.take(bytes, arrivedAt);
        intake.countersChanged = true;
    } else {
        StreamResult parsed;
        stream_.feed(bytes, arrivedAt, parsed);
        state_.badFrames += parsed.frames.badFrames;
        state_.skippedBytes += parsed.frames.skippedBytes;
        for (const RawCommand& command : parsed.rawCommands)
            applyRawCommand(state_, command);
        intake.countersChanged =
            parsed.frames.badFrames != 0 || parsed.frames.skippedBytes != 0 || !parsed.rawCommands.empty();
        intake.frames = std::move(parsed.frames.frames);
    }
    changed_.notify_all();
    return intake;
}

PrinterCore::Intake PrinterCore::ingestDatagram(std::span<const std::uint8_t> datagram,
                                                Clock::time_point arrivedAt)
{
    Intake intake;
    // A datagram that does not start a frame carries printer-language
    // commands, as the raw writes on this link do.
    StreamResult raw;
    ParseResult parsed;
    if (!datagram.empty() && datagram[0] != wire::kStartByte)
        HostStream().feed(datagram, arrivedAt, raw);
    else
        parsed = parseDatagram(datagram, arrivedAt);
    std::lock_guard lock(mutex_);
    for (const RawCommand& command : raw.rawCommands)
        applyRawCommand(state_, command);
    parsed.skippedBytes += raw.frames.skippedBytes;
    state_.badFrames += parsed.badFrames;
    state_.skippedBytes += parsed.skippedBytes;
    intake.countersChanged = parsed.badFrames != 0 || parsed.skippedBytes != 0 || !raw.rawCommands.empty();
    intake.frames = std::move(parsed.frames);
    changed_.notify_all();
    return intake;
}

ReplyPlan PrinterCore::handle(const ParsedFrame& request)
{
    std::lock_guard lock(mutex_);
    state_.recordFrame(request.frame);
    const CommandOutcome outcome = handleCommand(state_, request.frame);

    ReplyPlan plan;
    plan.lineSpeed = state_.speed;
    plan.requestCompleteAt = request.firstByteAt + wireTime(request.wireLength, state_.speed);
    plan.speedAfterReply = outcome.speedAfterReply;
    if (outcome.reply && withholdsReplyTo(state_.fault, request.frame.command)) {
        plan.transmission.send = false;
    } else if (outcome.reply) {
        plan.transmission = shapeReply(
            state_.fault,
            buildFrame(request.frame.command, outcome.replyArg1, outcome.replyArg2, outcome.replyPayload));
    } else {
        plan.transmission.send = false;
    }
    changed_.notify_all();
    return plan;
}

void PrinterCore::finish(const ReplyPlan& plan, bool sent)
{
    std::lock_guard lock(mutex_);
    if (sent) {
        ++state_.repliesSent;
    }
    // A withheld reply does not undo the command: the printer acted on it.
    if (plan.speedAfterReply) {
        state_.speed = *plan.speedAfterReply;
    }
    changed_.notify_all();
}

void PrinterCore::setFault(const FaultSpec& fault)
{
    std::lock_guard lock(mutex_);
    state_.fault = fault;
}

void PrinterCore::setDevice(const std::string& device)
{
    std::lock_guard lock(mutex_);
    state_.device = device;
}

std::string PrinterCore::json() const
{
    std::lock_guard lock(mutex_);
    return stateToJson(state_);
}

unsigned PrinterCore::speed() const
{
    std::lock_guard lock(mutex_);
    return state_.speed;
}

bool PrinterCore::waitUntil(const std::function<bool(const PrinterState&)>& ready,
                            std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return ready(state_); });
}

}  // namespace pst::sim
