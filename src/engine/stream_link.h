#pragma once
// What the serial port and the USB device have in common as links: a byte
// stream whose replies their component's reader thread hands straight to a
// StreamReply, and a log that keeps the bytes in the order of the line.

#include "engine/link.h"
#include "engine/stream_reply.h"

namespace pst {

class StreamLink : public Link {
public:
    explicit StreamLink(StreamReply::Context context) : reply_(std::move(context)) { }

    void beforeWrite(std::span<const std::uint8_t> request) override { reply_.beforeWrite(request); }
    bool awaitReply(const ReplyTimeouts& timeouts) override { return reply_.await(timeouts.stream); }
    std::uint32_t takePayload(std::uint8_t* out, std::size_t capacity) override
    {
        return reply_.takePayload(out, capacity);
    }
    int rawFirstByte() override { return reply_.rawFirstByte(); }
    void clearRawReceive() override { reply_.clearRaw(); }

protected:
    // Reader thread: the bytes of one read.
    void received(const std::uint8_t* bytes, std::size_t count) { reply_.received(bytes, count); }

private:
    StreamReply reply_;
};

}  // namespace pst
