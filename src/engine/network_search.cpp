#include "engine/network_search.h"

#include <optional>

#include "protocol/identify.h"
#include "protocol/reply_check.h"

namespace pst {

std::vector<NetworkPrinter> SearchNetwork(std::span<const DatagramPeer> peers, const FanOutLimits& limits,
                                          const FanOutProgress& progress)
{
    std::vector<std::optional<std::string>> models(peers.size());
    const std::vector<std::uint8_t> question = identifyPacket();
    const auto expected = expectationOf(question);
    // The fan-out hears only the address asked; the reply is checked as the
    // network link checks one.
    const auto answer = [&](std::size_t index, std::span<const std::uint8_t> datagram) {
        const DatagramReply reply = checkReplyDatagram(datagram, expected);
        if (reply.verdict != DatagramVerdict::Reply)
            return false;
        models[index] = modelFromIdentifyPayload(reply.payload);
        return true;
    };
    askEveryPeer(peers, question, limits, answer, progress);

    std::vector<NetworkPrinter> found;
    for (std::size_t i = 0; i < peers.size(); ++i)
        if (models[i])
            found.push_back({peers[i], *models[i]});
    return found;
}

}  // namespace pst
