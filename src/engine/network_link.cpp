#include "engine/network_link.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "engine/transfer_log.h"
#include "protocol/command_packet.h"
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
    udp.SetHost(target.host);
    udp.SetPort(target.port);
    udp.SetActive(true);
}

void NetworkLink::close()
{
    if (client_)
        client_->SetActive(false);
}

bool NetworkLink::isOpen() const
{
    return client_ && client_->Active();
}

bool NetworkLink::write(const std::uint8_t* bytes, std::size_t count)
{
    payloadLength_ = 0;
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

bool NetworkLink::awaitReply(const ReplyTimeouts& timeouts)
{
    const std::size_t received = client().ReceiveDatagram(datagram_.data(), datagram_.size(),
                                                          static_cast<int>(timeouts.datagram.count()));
    if (received == 0)
        return false;
    log_.addTransfer("Receive", datagram_.data(), received);
    if (received < kPacketHeaderSize || datagram_[0] != kPacketStartByte || datagram_[1] != 0x00)
        return false;
    const std::uint32_t length = readU16(datagram_.data() + 12);
    if (received < kPacketHeaderSize + length)
        return false;
    payloadLength_ = length;
    return true;
}

std::uint32_t NetworkLink::takePayload(std::uint8_t* out, std::size_t capacity)
{
    std::copy_n(datagram_.begin() + kPacketHeaderSize, std::min<std::size_t>(payloadLength_, capacity), out);
    return payloadLength_;
}

}  // namespace pst
