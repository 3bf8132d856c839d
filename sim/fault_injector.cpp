#include "fault_injector.h"

#include "command_handlers.h"
#include "download_commands.h"
#include "wire_format.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pst::sim {
namespace {

// Deliberately free of start bytes: the host has to skip it, not resync on it.
constexpr std::array<std::uint8_t, 5> kLineNoise{0x00, 0xFF, 0x55, 0xAA, 0x13};

// Where a split reply is cut: a piece shorter than the header, then the rest
// of the header, then the payload.
constexpr std::array<std::size_t, 2> kSplitPoints{5, 16};

void spoilHeaderCheck(std::vector<std::uint8_t>& reply)
{
    reply[wire::kHeaderCheckOffset] ^= 0x5A;
}

std::vector<std::vector<std::uint8_t>> splitAtPoints(const std::vector<std::uint8_t>& reply)
{
    std::vector<std::vector<std::uint8_t>> chunks;
    std::size_t from = 0;
    for (std::size_t cut : kSplitPoints) {
        if (cut > from && cut < reply.size()) {
            chunks.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(from),
                                reply.begin() + static_cast<std::ptrdiff_t>(cut));
            from = cut;
        }
    }
    chunks.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(from), reply.end());
    return chunks;
}

}  // namespace

std::size_t Transmission::totalBytes() const
{
    std::size_t total = 0;
    for (const auto& chunk : chunks) {
        total += chunk.size();
    }
    return total;
}

bool withholdsReplyTo(FaultSpec& fault, std::uint16_t command)
{
    switch (fault.mode) {
    case FaultMode::DropSpeedReply:
        if (command != command::kSpeedSwitch || fault.count == 0)
            return false;
        if (fault.count > 0 && --fault.count == 0)
            fault.mode = FaultMode::None;
        return true;
    case FaultMode::SilentAfter:
        if (fault.count == 0)
            return true;
        if (command == command::kWriteMemory || command == command::kProgramBlock)
            --fault.count;
        return false;
    default:
        return false;
    }
}

bool corruptsThisWrite(FaultSpec& fault)
{
    if (fault.mode != FaultMode::CorruptWrite || fault.count <= 0)
        return false;
    if (--fault.count > 0)
        return false;
    fault.mode = FaultMode::None;
    return true;
}

Transmission shapeReply(FaultSpec& fault, std::vector<std::uint8_t> reply)
{
    Transmission out;
    if (fault.mode == FaultMode::DropSpeedReply || fault.mode == FaultMode::SilentAfter ||
        fault.mode == FaultMode::CorruptWrite) {
        out.chunks.push_back(std::move(reply));
        return out;
    }
    if (fault.after > 0) {
        --fault.after;
        out.chunks.push_back(std::move(reply));
        return out;
    }
    const FaultMode mode = fault.count == 0 ? FaultMode::None : fault.mode;
    if (fault.count > 0 && --fault.count == 0) {
        fault.mode = FaultMode::None;
    }

    switch (mode) {
    case FaultMode::None:
    case FaultMode::DropSpeedReply:
    case FaultMode::SilentAfter:
    case FaultMode::CorruptWrite:
        break;
    case FaultMode::Silent:
        out.send = false;
        break;
    case FaultMode::BadHeader:
        spoilHeaderCheck(reply);
        break;
    case FaultMode::BadPayload:
        // An empty reply has no payload check, so the header takes the hit.
        if (reply.size() > wire::kHeaderSize) {
            reply.back() ^= 0x5A;
        } else {
            spoilHeaderCheck(reply);
        }
        break;
    case FaultMode::Noise:
        reply.insert(reply.begin(), kLineNoise.begin(), kLineNoise.end());
        break;
    case FaultMode::Split:
        out.pauseMs = std::max(0, fault.splitPauseMs);
        out.chunks = splitAtPoints(reply);
        return out;
    case FaultMode::Late:
        out.delayMs = std::max(0, fault.lateMs);
        break;
    }
    out.chunks.push_back(std::move(reply));
    return out;
}

}  // namespace pst::sim
