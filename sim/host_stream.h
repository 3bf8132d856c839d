#pragma once

#include "frame_parser.h"
#include "raw_command_decoder.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pst::sim {

struct StreamResult {
    ParseResult frames;
    std::vector<RawCommand> rawCommands;
};

// Splits what the host sends into frames and the printer-language commands
// written between them. A start byte hands the stream to the frame parser
// until it has finished with the candidate; any other byte is read as a raw
// command, whose arguments may hold a start byte without starting a frame.
class HostStream {
public:
    void feed(std::span<const std::uint8_t> bytes, Clock::time_point arrivedAt, StreamResult& out);

    // Forgets any partial frame or command.
    void reset();

private:
    FrameParser frames_;
    std::vector<std::uint8_t> pending_;  // bytes of an unfinished raw command
};

}  // namespace pst::sim
