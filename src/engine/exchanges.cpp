#include "engine/exchanges.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/comm_thread.h"
#include "protocol/command_packet.h"
#include "protocol/errors.h"

namespace pst {

namespace {

// A stream link waits for the whole reply; the network link for one
// datagram per attempt instead.
constexpr ReplyTimeouts kConfirmedReplyTimeouts{std::chrono::milliseconds(3000),
                                                std::chrono::milliseconds(1000)};
constexpr ReplyTimeouts kReadReplyTimeouts{std::chrono::milliseconds(600), std::chrono::milliseconds(3000)};

void refuseOverlongPayload(std::size_t size)
{
    if (size > kMaxConfirmedPayload)
        throw ECommunicationException("The data to send is too long (" + std::to_string(size) +
                                      " bytes; at most " + std::to_string(kMaxConfirmedPayload) + ")");
}

// Sends `packet` up to `attempts` times until a reply comes; returns its
// payload length (the payload copied to `out`). When none comes the exchange
// fails with `failureText`, except while the boot loader is being polled.
std::uint32_t exchange(TCommThread& worker, const std::vector<std::uint8_t>& packet, int attempts,
                       const ReplyTimeouts& timeouts, std::span<std::uint8_t> out, const char* failureText)
{
    Link* link = worker.activeLink();
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // A run asked to stop sends no frame again: its unanswered one has
        // failed, and a silent printer would hold the stop for every retry.
        if (attempt > 0 && worker.cancelled())
            break;
        worker.WriteBytes(packet.data(), packet.size());
        const bool answered = link && link->awaitReply(timeouts);
        worker.noteAnswer(answered);
        if (answered)
            return link->takePayload(out.data(), out.size());
        // No link to answer (the parallel port): the wait still takes its time.
        if (!link)
            std::this_thread::sleep_for(timeouts.stream);
    }
    if (!worker.bootPollMode())
        throw ECommunicationException(failureText);
    return 0;
}

bool framesByDatagram(TCommThread& worker)
{
    const Link* link = worker.activeLink();
    return link && link->framesByDatagram();
}

std::uint32_t confirmedSend(TCommThread& worker, const ReplyTimeouts& timeouts, std::uint16_t command,
                            std::uint32_t argument1, int attempts, std::span<const std::uint8_t> payload,
                            std::uint32_t argument2, std::span<std::uint8_t> reply)
{
    refuseOverlongPayload(payload.size());
    // On the network the datagram is the frame: its length tells where the
    // payload ends, so the check byte is left out.
    const auto packet =
        buildCommandPacket(command, argument1, argument2, payload,
                           framesByDatagram(worker) ? PayloadCheck::Omit : PayloadCheck::Append);
    return exchange(worker, packet, attempts, timeouts, reply, "Download Data Failed");
}

}  // namespace

ReplyTimeouts ShortExchangeTimeouts(std::uint32_t speed, std::size_t bytesBothWays)
{
    const auto lineTime = speed == 0 ? std::chrono::milliseconds(0)
                                     : std::chrono::milliseconds((bytesBothWays * 10'000 + speed - 1) / speed);
    return {lineTime + kLineReplyMargin, kReadReplyTimeouts.datagram};
}

std::uint32_t ConfirmedSend(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                            std::span<const std::uint8_t> payload, std::uint32_t argument2,
                            std::span<std::uint8_t> reply)
{
    return confirmedSend(worker, kConfirmedReplyTimeouts, command, argument1, attempts, payload, argument2, reply);
}

std::uint32_t ConfirmedSendWithin(TCommThread& worker, const ReplyTimeouts& timeouts, std::uint16_t command,
                                  std::uint32_t argument1, std::span<const std::uint8_t> payload)
{
    return confirmedSend(worker, timeouts, command, argument1, 1, payload, 0, {});
}

std::uint32_t ReadRequest(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                          std::span<const std::uint8_t> payload, std::span<std::uint8_t> out)
{
    const auto packet = buildCommandPacket(command, argument1, 0, payload);
    return exchange(worker, packet, attempts, kReadReplyTimeouts, out, "Received Failed");
}

std::uint32_t ReadRequestWithin(TCommThread& worker, const ReplyTimeouts& timeouts, std::uint16_t command,
                                std::uint32_t argument1, std::span<const std::uint8_t> payload,
                                std::span<std::uint8_t> out)
{
    const auto packet = buildCommandPacket(command, argument1, 0, payload);
    return exchange(worker, packet, 1, timeouts, out, "Received Failed");
}

}  // namespace pst
