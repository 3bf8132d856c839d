#pragma once
// The network as the worker's link: one UDP datagram a frame, each way. The
// UDP client belongs to whoever chose the network link; without one, every
// use fails with a clear text.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/link.h"
#include "protocol/reply_check.h"

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
    // Drops (and logs) whatever came before this request.
    void beforeWrite(std::span<const std::uint8_t> request) override;
    bool write(const std::uint8_t* bytes, std::size_t count) override;
    // The first datagram within the time that comes from the printer's
    // address (any of its ports), passes the serial line's checks and
    // answers the request written last. Every other one is logged as
    // dropped and the wait goes on: anyone may send to the port, and a late
    // reply must not be taken for the next request's.
    bool awaitReply(const ReplyTimeouts& timeouts) override;
    std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity) override;
    bool framesByDatagram() const override { return true; }
    std::string sendFailure() const override { return sendFailure_; }
    void forgetSendFailure() override { sendFailure_.clear(); }
    // The run holds the link even when aiming the client is refused.
    void openAndReach(const LinkTarget& target, LinkReach& worker) override;
    // Nothing is logged as opened or closed: no serial port is involved.
    bool logsClose() const override { return false; }

private:
    TUdpClient& client();
    // Drops what came before the request: an answer to an earlier one.
    void dropStaleDatagrams();
    void logDropped(std::string_view why, std::size_t received, std::uint32_t from, std::uint16_t port);

    static constexpr std::size_t kDatagramBufferSize = 2049;

    std::shared_ptr<TUdpClient> client_;
    TransferLog& log_;
    std::array<std::uint8_t, kDatagramBufferSize> datagram_{};
    std::uint32_t payloadLength_ = 0;
    std::optional<ReplyExpectation> expected_;
    // Why the last datagram could not be sent: the send's failure is dropped
    // and the exchange times out, but the cause is worth telling.
    std::string sendFailure_;
};

}  // namespace pst
