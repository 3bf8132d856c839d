#include "command_packet.h"

namespace pst {

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

}  // namespace pst
