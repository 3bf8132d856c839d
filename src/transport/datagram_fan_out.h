#pragma once
// Asking many network addresses the same question at once: one datagram to
// each, a bounded number of them waiting for an answer at any time, every
// socket watched by one poll. A whole block of addresses is asked in about
// (addresses / in flight) x wait, however few of them answer.
//
// Each question has a socket of its own, not bound and not connected, as the
// network link's: an answer may come from any port of the address asked.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace pst {

struct DatagramPeer {
    std::uint32_t address = 0;  // IPv4, host byte order
    std::uint16_t port = 0;
};

struct FanOutLimits {
    std::size_t inFlight = 64;
    // How long each peer has to answer after its question went out.
    std::chrono::milliseconds wait{1000};
};

// Hears every datagram that comes back from peer `index`'s address; true
// when it is the answer, which ends that peer's wait.
using PeerAnswer = std::function<bool(std::size_t index, std::span<const std::uint8_t> datagram)>;
// `settled` of `all` peers have answered, been given up on or could not be asked.
using FanOutProgress = std::function<void(std::size_t settled, std::size_t all)>;

// Sends `question` to every peer and waits for the answers. A peer the
// datagram cannot be sent to (no route, a broadcast address) simply does not
// answer. Throws ESocketError when not even one socket can be had.
void askEveryPeer(std::span<const DatagramPeer> peers, std::span<const std::uint8_t> question,
                  const FanOutLimits& limits, const PeerAnswer& answer, const FanOutProgress& progress = {});

}  // namespace pst
