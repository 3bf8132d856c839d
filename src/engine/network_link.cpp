#include "engine/network_link.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string_view>

#include "engine/transfer_log.h"
#include "protocol/address_range.h"
#include "protocol/command_packet.h"
#include "protocol/group_address.h"
#include "transport/udp_client.h"

namespace pst {

NetworkLink::NetworkLink(std::shared_ptr<TUdpClient> client, TransferLog& log)
    : client_(std::move(client)), log_(log)
{
}

TUdpClient& NetworkLink::client()
{
    if (!client_)
        throw std::runtime_error("The network link is not available: no UDP client was given to the worker");
    return *client_;
}

void NetworkLink::open(const LinkTarget& target)
{
    TUdpClient& udp = client();
    // Refused before anything is sent: many devices would hear the request
    // and any of them could answer it. A name that cannot be looked up is
    // left to the first send, which tells why.
    std::uint32_t address = 0;
    try {
        address = resolveIPv4(target.host);
    } catch (const ESocketError&) {
    }
    if (isGroupAddress(address))
        throw std::runtime_error(std::string(kGroupAddressText) + " (" + target.host + ")");
    udp.setHost(target.host);
    udp.setPort(target.port);
    udp.setActive(true);
}

void NetworkLink::openAndReach(const LinkTarget& target, LinkReach& worker)
{
    worker.markOpen();
    open(target);
    worker.reachPrinter(std::nullopt);
}

void NetworkLink::close()
{
    if (client_)
        client_->setActive(false);
}

bool NetworkLink::isOpen() const
{
    return client_ && client_->Active();
}

bool NetworkLink::write(const std::uint8_t* bytes, std::size_t count)
{
    try {
        client().SendDatagram(bytes, count);
        sendFailure_.clear();
        return true;
    } catch (const std::exception& failure) {
        // The exchange ends by its time-out; the reason is kept for the
        // failure's cause, on one line.
        const std::string_view text = failure.what();
        std::string reason;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                reason.push_back(' ');
                ++i;
            } else {
                reason.push_back(text[i]);
            }
        }
        sendFailure_ = std::move(reason);
        return false;
    }
}

void NetworkLink::beforeWrite(std::span<const std::uint8_t> request)
{
    payloadLength_ = 0;
    expected_ = expectationOf(request);
    if (!client_ || !client_->Active())
        return;
    try {
        dropStaleDatagrams();
    } catch (const ESocketError&) {
        // The socket's failure shows again at the send, which tells it.
    }
}

void NetworkLink::dropStaleDatagrams()
{
    TUdpClient& udp = *client_;
    DatagramSender from;
    // Bounded: a sender that never stops must not hold the request back.
    for (std::size_t i = 0; i < 64; ++i) {
        const std::size_t received = udp.ReceiveDatagram(datagram_.data(), datagram_.size(), 0, from);
        if (received == 0)
            return;
        const bool printers = from.address == udp.destinationAddress();
        logDropped(printers ? "came before the request" : "not the printer's address", received, from.address,
                   from.port);
    }
}

void NetworkLink::logDropped(std::string_view why, std::size_t received, std::uint32_t from,
                             std::uint16_t port)
{
    log_.addLine("Dropped a datagram from " + dottedAddress(from) + ":" + std::to_string(port) + ": " +
                 std::string(why));
    log_.addTransfer("Dropped", datagram_.data(), std::min(received, datagram_.size()));
}

bool NetworkLink::awaitReply(const ReplyTimeouts& timeouts)
{
    using Clock = std::chrono::steady_clock;
    TUdpClient& udp = client();
    const Clock::time_point deadline = Clock::now() + timeouts.datagram;
    for (;;) {
        const auto leftMs = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        DatagramSender from;
        const int waitMs = static_cast<int>(std::max<long long>(leftMs, 0));
        const std::size_t received = udp.ReceiveDatagram(datagram_.data(), datagram_.size(), waitMs, from);
        if (received == 0)
            return false;
        // The printer may answer from another port than the one it listens
        // on, never from another address.
        if (from.address != udp.destinationAddress()) {
            logDropped("not the printer's address", received, from.address, from.port);
        } else if (received > datagram_.size()) {
            logDropped("longer than any reply", received, from.address, from.port);
        } else {
            const DatagramReply reply = checkReplyDatagram({datagram_.data(), received}, expected_);
            if (reply.verdict == DatagramVerdict::Reply) {
                log_.addTransfer("Receive", datagram_.data(), received);
                payloadLength_ = static_cast<std::uint32_t>(reply.payload.size());
                return true;
            }
            logDropped(datagramVerdictText(reply.verdict), received, from.address, from.port);
        }
        if (Clock::now() >= deadline)
            return false;
    }
}

std::uint32_t NetworkLink::takePayload(std::uint8_t* out, std::size_t capacity)
{
    std::copy_n(datagram_.begin() + kPacketHeaderSize, std::min<std::size_t>(payloadLength_, capacity), out);
    return payloadLength_;
}

}  // namespace pst
