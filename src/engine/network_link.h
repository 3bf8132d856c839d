#pragma once
// The network as the worker's link: one UDP datagram a frame, each way. The
// UDP client belongs to whoever chose the network link; without one, every
// use fails with a clear text.

#include <array>
#include <memory>
#include <string>

#include "engine/link.h"

namespace pst {

class TUdpClient;
class TransferLog;

class NetworkLink final : public Link {
public:
    NetworkLink(std::shared_ptr<TUdpClient> client, TransferLog& log);

    LinkKind kind() const override { return LinkKind::Network; }
    void open(const LinkTarget& target) override;
    void close() override;
    bool isOpen() const override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    // One datagram within the time, logged when anything came; a reply when
    // it holds at least a header, begins 02 00 and holds the whole payload
    // its header announces (a shorter one would hand on bytes that never
    // arrived). No check byte is tested on this link.
    bool awaitReply(const ReplyTimeouts& timeouts) override;
    std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity) override;
    bool framesByDatagram() const override { return true; }
    std::string sendFailure() const override { return sendFailure_; }
    void forgetSendFailure() override { sendFailure_.clear(); }

private:
    TUdpClient& client();

    static constexpr std::size_t kDatagramBufferSize = 2049;

    std::shared_ptr<TUdpClient> client_;
    TransferLog& log_;
    std::array<std::uint8_t, kDatagramBufferSize> datagram_{};
    std::uint32_t payloadLength_ = 0;
    // Why the last datagram could not be sent: the send's failure is dropped
    // and the exchange times out, but the cause is worth telling.
    std::string sendFailure_;
};

}  // namespace pst
