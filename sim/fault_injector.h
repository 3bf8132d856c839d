#pragma once

#include "fault_plan.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pst::sim {

// How one reply leaves the printer.
struct Transmission {
    bool send = true;
    int delayMs = 0;  // before the first byte
    int pauseMs = 0;  // between chunks
    std::vector<std::vector<std::uint8_t>> chunks;

    std::size_t totalBytes() const;
};

// Shapes an encoded reply according to `fault`, using up one of its counted
// replies; once the count runs out the fault switches itself off.
// The faults that pick their replies by command (DropSpeedReply,
// SilentAfter) leave it alone: see withholdsReplyTo.
Transmission shapeReply(FaultSpec& fault, std::vector<std::uint8_t> reply);

// Whether the reply to a request of `command` is withheld by a fault that
// picks its replies by command, using up what that fault counts.
bool withholdsReplyTo(FaultSpec& fault, std::uint16_t command);

// Whether the memory write now being stored is the one CorruptWrite spoils,
// using up what that fault counts.
bool corruptsThisWrite(FaultSpec& fault);

}  // namespace pst::sim
