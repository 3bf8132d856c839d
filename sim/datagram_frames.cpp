#include "datagram_frames.h"

#include "wire_format.h"

namespace pst::sim {
namespace {

// The datagram is one frame without a payload check byte.
bool isUncheckedFrame(std::span<const std::uint8_t> d)
{
    if (d.size() <= wire::kHeaderSize || d[0] != wire::kStartByte)
        return false;
    const auto length = FrameParser::soundHeaderLength(d);
    return length && *length > 0 && d.size() == wire::kHeaderSize + *length;
}

}  // namespace

ParseResult parseDatagram(std::span<const std::uint8_t> datagram, Clock::time_point arrivedAt)
{
    ParseResult result;
    if (isUncheckedFrame(datagram)) {
        result.frames.push_back({FrameParser::decode(datagram), datagram.size(), arrivedAt});
        return result;
    }
    FrameParser parser;
    parser.feed(datagram, arrivedAt, result);
    if (parser.buffered() > 0)
        ++result.badFrames;
    return result;
}

}  // namespace pst::sim
