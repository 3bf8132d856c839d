#include "command_packet.h"

namespace pst {

namespace {

void putU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::uint8_t xorOf(std::span<const std::uint8_t> bytes)
{
    std::uint8_t x = 0;
    for (auto b : bytes)
        x ^= b;
    return x;
}

std::vector<std::uint8_t> buildCommandPacket(std::uint16_t command, std::uint32_t argument1,
                                             std::uint32_t argument2, std::span<const std::uint8_t> payload,
                                             PayloadCheck check)
{
    const bool withCheck = !payload.empty() && check == PayloadCheck::Append;
    std::vector<std::uint8_t> packet(kPacketHeaderSize + payload.size() + (withCheck ? 1 : 0));
    std::uint8_t* p = packet.data();
    p[0] = kPacketStartByte;
    p[1] = 0x00;
    putU16(p + 2, command);
    putU32(p + 4, argument1);
    putU32(p + 8, argument2);
    putU16(p + 12, static_cast<std::uint16_t>(payload.size()));
    p[14] = xorOf({p, 14});
    p[15] = 0x00;
    std::copy(payload.begin(), payload.end(), p + kPacketHeaderSize);
    if (withCheck)
        packet.back() = xorOf(payload);
    return packet;
}

bool replyHeaderIsValid(const std::uint8_t* header)
{
    return xorOf({header, kPacketHeaderSize}) == 0;
}

std::uint16_t readU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t readU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace pst
