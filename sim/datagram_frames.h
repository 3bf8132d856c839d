#pragma once

#include "frame_parser.h"

#include <span>

namespace pst::sim {

// Frames of one datagram, parsed on its own: nothing is carried over from
// the datagram before, and a frame cut off at its end counts as a bad one.
// Besides the serial shapes, a datagram that is exactly a header and the
// payload it announces is one frame: the network link's confirmed send
// leaves the payload's check byte out, the datagram's length says where the
// payload ends.
ParseResult parseDatagram(std::span<const std::uint8_t> datagram, Clock::time_point arrivedAt);

}  // namespace pst::sim
