// How long a network search of a whole /24 takes when one printer answers.
//
// A report, never a pass/fail test: the virtual printer answers on
// 127.0.0.7, every other address of 127.0.0.0/24 stays silent, and the
// search asks them all the way `pennafor-cli find --udp-range` does. The
// time is printed in seconds, with the floor it is bound by: the addresses
// in waves of the sockets in flight, each wave one reply wait long.

#include <chrono>
#include <cstdio>
#include <exception>

#include "engine/network_search.h"
#include "protocol/address_range.h"
#include "virtual_printer.h"

using namespace pst;
using Clock = std::chrono::steady_clock;

int main()
{
    try {
        sim::VirtualPrinter printer({.servePty = false, .udpAddress = "127.0.0.7:0"});
        printer.start();
        const auto block = parseAddressRange("127.0.0.0/24:" + std::to_string(printer.udpPort()), 5100);
        std::vector<DatagramPeer> peers;
        for (const std::uint32_t address : block.range->addresses())
            peers.push_back({address, block.range->port});

        const FanOutLimits limits;
        const auto start = Clock::now();
        const std::vector<NetworkPrinter> found = SearchNetwork(peers, limits);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

        const std::size_t waves = (peers.size() + limits.inFlight - 1) / limits.inFlight;
        const double floor = static_cast<double>(waves) * std::chrono::duration<double>(limits.wait).count();
        std::printf("search of 127.0.0.0/24 (%zu addresses, %zu in flight): %.2f s, %zu printer(s) found\n",
                    peers.size(), limits.inFlight, seconds, found.size());
        std::printf("search time / (waves x reply wait = %.2f s): %.2f\n", floor, seconds / floor);
        return found.size() == 1 ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pst-bench-search: %s\n", failure.what());
        return 1;
    }
}
