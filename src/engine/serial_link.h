#pragma once
// The serial port as the worker's link, over the serial component.

#include <memory>

#include "engine/link.h"
#include "engine/stream_reply.h"

namespace pst {

class TComm;

class SerialLink final : public Link {
public:
    // Receives directly from `comm`'s reader thread for as long as it lives.
    SerialLink(TComm& comm, StreamReply::Context context);
    ~SerialLink() override;

    LinkKind kind() const override { return LinkKind::Serial; }
    void open(const LinkTarget& target) override;
    void close() override;
    bool isOpen() const override;
    void write(const std::uint8_t* bytes, std::size_t count) override;
    bool awaitReply(const ReplyTimeouts& timeouts) override;
    std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity) override;
    std::uint32_t speed() const override;
    void setSpeed(std::uint32_t speed) override;
    int rawFirstByte() override { return reply_.rawFirstByte(); }
    void clearRawReceive() override { reply_.clearRaw(); }
    bool waitUntilSent(std::chrono::milliseconds limit) override;

    StreamReply& Reply() { return reply_; }

private:
    TComm& comm_;
    StreamReply reply_;
};

}  // namespace pst
