#include "frame_builder.h"

#include "wire_format.h"

#include <algorithm>
#include <stdexcept>

namespace pst::sim {
namespace {

void putLe16(std::uint8_t* out, std::uint16_t value)
{
    out[0] = static_cast<std::uint8_t>(value & 0xFF);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

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
    putLe16(&frame[wire::kCommandOffset], command);
    putLe32(&frame[wire::kArg1Offset], arg1);
    putLe32(&frame[wire::kArg2Offset], arg2);
    putLe16(&frame[wire::kLengthOffset], static_cast<std::uint16_t>(payload.size()));
    frame[wire::kHeaderCheckOffset] =
        xorOf(std::span<const std::uint8_t>(frame).first(wire::kHeaderCheckedBytes));
    if (!payload.empty()) {
        std::copy(payload.begin(), payload.end(), frame.begin() + wire::kHeaderSize);
        frame.back() = xorOf(payload);
    }
    return frame;
}

}  // namespace pst::sim
