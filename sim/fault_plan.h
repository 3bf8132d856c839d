#pragma once

#include <optional>
#include <string_view>

namespace pst::sim {

enum class FaultMode {
    None,
    Silent,
    BadHeader,
    BadPayload,
    Noise,
    Split,
    Late,
    // Withholds the replies to the speed switch only (0x31); the printer
    // still moves to the speed asked for.
    DropSpeedReply,
    // Confirms `count` download blocks, then withholds every reply while
    // still acting on what it hears.
    SilentAfter,
    // Stores the `count`-th memory write (0x35) with one byte flipped, and
    // confirms it like any other: only reading the memory back shows it.
    CorruptWrite,
};

struct FaultSpec {
    FaultMode mode = FaultMode::None;
    // Replies still to be spoiled; -1 = every reply. For SilentAfter: the
    // download blocks still to be confirmed before the silence.
    int count = -1;
    // Replies sent untouched before the spoiling starts (the replies the
    // two faults of their own above ignore this).
    int after = 0;
    int splitPauseMs = 5;
    int lateMs = 4000;
};

std::string_view faultModeName(FaultMode mode);
std::optional<FaultMode> parseFaultMode(std::string_view name);

}  // namespace pst::sim
