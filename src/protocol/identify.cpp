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

}  // namespace pst
