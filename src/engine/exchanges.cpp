#include "engine/exchanges.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>

#include "engine/comm_thread.h"
#include "protocol/command_packet.h"
#include "protocol/errors.h"

namespace pst {

namespace {

constexpr std::chrono::milliseconds kConfirmedReplyTimeout{3000};
constexpr std::chrono::milliseconds kReadReplyTimeout{600};

// The network link waits for one datagram per attempt instead.
constexpr int kConfirmedDatagramTimeoutMs = 1000;
constexpr int kReadDatagramTimeoutMs = 3000;
constexpr std::size_t kDatagramBufferSize = 2049;

void refuseOverlongPayload(std::size_t size)
{
    if (size > kMaxConfirmedPayload)
        throw ECommunicationException("The data to send is too long (" + std::to_string(size) +
                                      " bytes; at most " + std::to_string(kMaxConfirmedPayload) + ")");
}

// One datagram received within the time, logged when anything came. Returns
// the reply's payload length when the datagram is one: it holds at least a
// header, begins 02 00, and holds the whole payload its header announces
// (a shorter one would hand on bytes that never arrived). No check byte is
// tested on this link.
std::optional<std::uint32_t> receiveReplyDatagram(TCommThread& worker, std::span<std::uint8_t> datagram,
                                                  int timeoutMs)
{
    const std::size_t received = worker.ReceiveDatagram(datagram.data(), datagram.size(), timeoutMs);
    if (received == 0)
        return std::nullopt;
    worker.LogTransfer("Receive", datagram.data(), received);
    if (received < kPacketHeaderSize || datagram[0] != kPacketStartByte || datagram[1] != 0x00)
        return std::nullopt;
    const std::uint32_t length = readU16(datagram.data() + 12);
    if (received < kPacketHeaderSize + length)
        return std::nullopt;
    return length;
}

std::uint32_t copyDatagramPayload(std::span<const std::uint8_t> datagram, std::uint32_t length,
                                  std::span<std::uint8_t> out)
{
    std::copy_n(datagram.begin() + kPacketHeaderSize, std::min<std::size_t>(length, out.size()), out.begin());
    return length;
}

// Sends `packet` up to `attempts` times until a reply comes; returns its
// payload length (the payload copied to `out`). When none comes the exchange
// fails with `failureText`, except while the boot loader is being polled.
std::uint32_t exchange(TCommThread& worker, const std::vector<std::uint8_t>& packet, int attempts,
                       std::chrono::milliseconds replyTimeout, int datagramTimeoutMs,
                       std::span<std::uint8_t> out, const char* failureText)
{
    const bool network = worker.Run().network;
    std::array<std::uint8_t, kDatagramBufferSize> datagram;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        worker.WriteBytes(packet.data(), packet.size());
        if (network) {
            if (auto length = receiveReplyDatagram(worker, datagram, datagramTimeoutMs))
                return copyDatagramPayload(datagram, *length, out);
            continue;
        }
        const WaitResult result = worker.WaitForReply(replyTimeout);
        if (result == WaitResult::Signalled)
            return worker.TakeReplyPayload(out.data(), out.size());
        if (result != WaitResult::TimedOut)
            break;
    }
    if (!worker.BootPollMode())
        throw ECommunicationException(failureText);
    return 0;
}

}  // namespace

std::uint32_t ConfirmedSend(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                            std::span<const std::uint8_t> payload, std::uint32_t argument2,
                            std::span<std::uint8_t> reply)
{
    refuseOverlongPayload(payload.size());
    // On the network the datagram is the frame: its length tells where the
    // payload ends, so the check byte is left out.
    const auto packet = buildCommandPacket(command, argument1, argument2, payload,
                                           worker.Run().network ? PayloadCheck::Omit : PayloadCheck::Append);
    return exchange(worker, packet, attempts, kConfirmedReplyTimeout, kConfirmedDatagramTimeoutMs, reply,
                    "Download Data Failed");
}

std::uint32_t ReadRequest(TCommThread& worker, std::uint16_t command, std::uint32_t argument1, int attempts,
                          std::span<const std::uint8_t> payload, std::span<std::uint8_t> out)
{
    const auto packet = buildCommandPacket(command, argument1, 0, payload);
    return exchange(worker, packet, attempts, kReadReplyTimeout, kReadDatagramTimeoutMs, out,
                    "Received Failed");
}

}  // namespace pst
