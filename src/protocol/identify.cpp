#include "protocol/identify.h"

#include <cctype>

#include "protocol/command_packet.h"

namespace pst {

std::vector<std::uint8_t> identifyPacket()
{
    return buildCommandPacket(kCommandIdentify, 0, 0, kIdentifyProbe);
}

std::string modelFromIdentifyPayload(std::span<const std::uint8_t> payload)
{
    std::string model;
    for (std::size_t i = 0; i < payload.size() && i < kModelNameBytes && payload[i] != 0; ++i)
        model.push_back(static_cast<char>(std::toupper(payload[i])));
    return model;
}

std::optional<std::span<const std::uint8_t>> replyDatagramPayload(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < kPacketHeaderSize || datagram[0] != kPacketStartByte || datagram[1] != 0x00 ||
        !replyHeaderIsValid(datagram.data()))
        return std::nullopt;
    const std::size_t length = readU16(datagram.data() + 12);
    if (datagram.size() < kPacketHeaderSize + length)
        return std::nullopt;
    return datagram.subspan(kPacketHeaderSize, length);
}

}  // namespace pst
