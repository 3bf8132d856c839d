#include "frame_builder.h"

#include "wire_format.h"

#include <algorithm>
#include <stdexcept>

namespace pst::sim {
std::uint8_t xorOf(std::span<const std::uint8_t> bytes)
{
    std::uint8_t acc = 0;
    for (std::uint8_t b : bytes) {
        acc ^= b;
    }
    return acc;
}

std::vector<std::uint8_t> buildFrame(std::uint16_t command, std::uint32_t arg1, std::uint32_t arg2,
                                     std::span<const std::uint8_t> payload)
{
    if (payload.size() > 0xFFFF) {
        throw std::invalid_argument("reply payload does not fit the 16-bit length field");
    }
    std::vector<std::uint8_t> frame(wire::frameLength(payload.size()), 0);
    frame[0] = wire::kStartByte;
    wire::putLe(&frame[wire::kCommandOffset], command, 2);
    wire::putLe(&frame[wire::kArg1Offset], arg1, 4);
    wire::putLe(&frame[wire::kArg2Offset], arg2, 4);
    wire::putLe(&frame[wire::kLengthOffset], static_cast<std::uint32_t>(payload.size()), 2);
    frame[wire::kHeaderCheckOffset] =
        xorOf(std::span<const std::uint8_t>(frame).first(wire::kHeaderCheckedBytes));
    if (!payload.empty()) {
        std::copy(payload.begin(), payload.end(), frame.begin() + wire::kHeaderSize);
        frame.back() = xorOf(payload);
    }
    return frame;
}

}  // namespace pst::sim
