#pragma once
// Looking for printers on the network: the identify request to many
// addresses at once, each answer checked as the network link checks a reply.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "transport/datagram_fan_out.h"

namespace pst {

struct NetworkPrinter {
    DatagramPeer peer;
    std::string model;
};

// The peers that answered the identify request, in the order they were
// given. `limits` bound the sockets in flight and each peer's wait.
std::vector<NetworkPrinter> SearchNetwork(std::span<const DatagramPeer> peers, const FanOutLimits& limits = {},
                                          const FanOutProgress& progress = {});

}  // namespace pst
