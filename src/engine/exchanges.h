#pragma once
// The two exchanges built on command packets: the confirmed send (a request
// the printer acknowledges) and the read request (a request whose reply
// carries data).

#include <cstdint>
#include <span>

namespace pst {

class TCommThread;

inline constexpr int kConfirmedSendAttempts = 3;

// Sends the packet up to `attempts` times until a reply is accepted.
// Throws ECommunicationException("Download Data Failed") when none is,
// except in boot-poll mode. Returns the reply's payload length, copying up
// to reply.size() payload bytes there.
std::uint32_t ConfirmedSend(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                            std::span<const std::uint8_t> payload, std::uint32_t argument2 = 0,
                            std::span<std::uint8_t> reply = {});

// Sends the request up to `attempts` times until a reply is accepted and
// copies its payload to `out`. Throws ECommunicationException("Received
// Failed") when none is, except in boot-poll mode. Returns the payload
// length the reply announced.
std::uint32_t ReadRequest(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                          std::span<const std::uint8_t> payload, std::span<std::uint8_t> out);

}  // namespace pst
