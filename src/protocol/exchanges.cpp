#include "protocol/exchanges.h"

#include <algorithm>
#include <chrono>

#include "engine/comm_thread.h"
#include "protocol/command_packet.h"
#include "protocol/errors.h"

namespace pst {

namespace {

constexpr std::chrono::milliseconds kConfirmedReplyTimeout{3000};
constexpr std::chrono::milliseconds kReadReplyTimeout{600};

void refuseOverlongPayload(std::size_t size)
{
    if (size > kMaxConfirmedPayload)
        throw ECommunicationException("The data to send is too long (" + std::to_string(size) +
                                      " bytes; at most " + std::to_string(kMaxConfirmedPayload) + ")");
}

void requireLinkWithReplies(const TCommThread& worker)
{
    if (worker.Run().network)
        throw ECommunicationException("The network link is not available in this version");
}

}  // namespace

std::uint32_t ConfirmedSend(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                            std::span<const std::uint8_t> payload, std::uint32_t argument2,
                            std::span<std::uint8_t> reply)
{
    refuseOverlongPayload(payload.size());
    requireLinkWithReplies(worker);
    const auto packet = buildCommandPacket(command, argument1, argument2, payload);

    for (int attempt = 0; attempt < attempts; ++attempt) {
        worker.WriteBytes(packet.data(), packet.size());
        const WaitResult result = worker.WaitForReply(kConfirmedReplyTimeout);
        if (result == WaitResult::Signalled)
            return worker.TakeReplyPayload(reply.data(), reply.size());
        if (result != WaitResult::TimedOut)
            break;
    }
    if (!worker.BootPollMode())
        throw ECommunicationException("Download Data Failed");
    return 0;
}

std::uint32_t ReadRequest(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                          std::span<const std::uint8_t> payload, std::span<std::uint8_t> out)
{
    requireLinkWithReplies(worker);
    const auto packet = buildCommandPacket(command, argument1, 0, payload);

    for (int attempt = 0; attempt < attempts; ++attempt) {
        worker.WriteBytes(packet.data(), packet.size());
        const WaitResult result = worker.WaitForReply(kReadReplyTimeout);
        if (result == WaitResult::Signalled)
            return worker.TakeReplyPayload(out.data(), out.size());
        if (result != WaitResult::TimedOut)
            break;
    }
    if (!worker.BootPollMode())
        throw ECommunicationException("Received Failed");
    return 0;
}

}  // namespace pst
