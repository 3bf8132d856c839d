#pragma once
// The two exchanges built on command packets: the confirmed send (a request
// the printer acknowledges) and the read request (a request whose reply
// carries data).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/link.h"

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

// A short exchange on the serial line takes the time its bytes, request and
// reply together, need at `speed` (ten bits a byte), and a margin for the
// printer's turn-around and a USB-serial adapter's latency: waiting longer
// only delays telling that nobody listens at that speed.
inline constexpr std::chrono::milliseconds kLineReplyMargin{100};
ReplyTimeouts ShortExchangeTimeouts(std::uint32_t speed, std::size_t bytesBothWays);

// As above, sent once, the reply waited for as long as `timeouts` say.
std::uint32_t ConfirmedSendWithin(TCommThread& worker, const ReplyTimeouts& timeouts, std::uint16_t command,
                                  std::uint32_t argument1, std::span<const std::uint8_t> payload);
std::uint32_t ReadRequestWithin(TCommThread& worker, const ReplyTimeouts& timeouts, std::uint16_t command,
                                std::uint32_t argument1, std::span<const std::uint8_t> payload,
                                std::span<std::uint8_t> out);

}  // namespace pst
