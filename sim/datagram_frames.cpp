#include "datagram_frames.h"

#include "frame_builder.h"
#include "wire_format.h"

namespace pst::sim {
namespace {

std::uint32_t littleEndian(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

// The datagram is one frame without a payload check byte.
bool isUncheckedFrame(std::span<const std::uint8_t> d)
{
    if (d.size() <= wire::kHeaderSize || d[0] != wire::kStartByte || d[1] != 0 ||
        d[wire::kHeaderSize - 1] != 0)
        return false;
    const std::size_t length = littleEndian(d, wire::kLengthOffset, 2);
    return length > 0 && length <= wire::kMaxPayload && d.size() == wire::kHeaderSize + length &&
        xorOf(d.first(wire::kHeaderCheckedBytes)) == d[wire::kHeaderCheckOffset];
}

}  // namespace

ParseResult parseDatagram(std::span<const std::uint8_t> datagram, Clock::time_point arrivedAt)
{
    ParseResult result;
    if (isUncheckedFrame(datagram)) {
        ReceivedFrame frame;
        frame.command = static_cast<std::uint16_t>(littleEndian(datagram, wire::kCommandOffset, 2));
        frame.arg1 = littleEndian(datagram, wire::kArg1Offset, 4);
        frame.arg2 = littleEndian(datagram, wire::kArg2Offset, 4);
        const auto payload = datagram.subspan(wire::kHeaderSize);
        frame.payload.assign(payload.begin(), payload.end());
        result.frames.push_back({std::move(frame), datagram.size(), arrivedAt});
        return result;
    }
    FrameParser parser;
    parser.feed(datagram, arrivedAt, result);
    if (parser.buffered() > 0)
        ++result.badFrames;
    return result;
}

}  // namespace pst::sim
