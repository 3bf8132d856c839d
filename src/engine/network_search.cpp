#include "engine/network_search.h"

#include <optional>

#include "protocol/identify.h"

namespace pst {

std::vector<NetworkPrinter> SearchNetwork(std::span<const DatagramPeer> peers, const FanOutLimits& limits,
                                          const FanOutProgress& progress)
{
    std::vector<std::optional<std::string>> models(peers.size());
    const auto answer = [&](std::size_t index, std::span<const std::uint8_t> datagram) {
        const auto payload = replyDatagramPayload(datagram);
        if (!payload)
            return false;
        models[index] = modelFromIdentifyPayload(*payload);
        return true;
    };
    askEveryPeer(peers, identifyPacket(), limits, answer, progress);

    std::vector<NetworkPrinter> found;
    for (std::size_t i = 0; i < peers.size(); ++i)
        if (models[i])
            found.push_back({peers[i], *models[i]});
    return found;
}

}  // namespace pst
