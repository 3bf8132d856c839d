#pragma once

#include "fault_spec.h"
#include "received_frame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace pst::sim {

// Everything the printer knows about itself. One struct so that the state
// file always shows the whole picture and one lock guards it.
struct PrinterState {
    static constexpr std::size_t kFrameHistory = 1000;

    std::string model;
    std::string device;
    unsigned startSpeed = 9600;
    unsigned speed = 9600;
    std::uint64_t framesReceived = 0;
    std::uint64_t badFrames = 0;
    std::uint64_t ignoredBytes = 0;
    std::uint64_t skippedBytes = 0;
    std::uint64_t repliesSent = 0;
    FaultSpec fault;
    std::deque<ReceivedFrame> received;  // newest last, at most kFrameHistory

    void recordFrame(const ReceivedFrame& frame);
};

}  // namespace pst::sim
