#pragma once
// Turns the chunks a link delivers into accepted reply packets.
//
// Bytes before a start byte 0x02 are dropped; from the start byte on they
// are collected until the header (and, when the header announces a payload,
// the payload and its check byte) are in. A packet whose header or payload
// check fails, or that answers another request than the one expected, is
// discarded and collection starts again with the next 0x02 of
// a later chunk. The buffer is fixed; nothing is allocated per byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "protocol/reply_check.h"

namespace pst {

class ReplyAssembler {
public:
    static constexpr std::size_t kBufferSize = 4096;

    // Forget everything collected: done before every write.
    void reset();
    // Only a reply that answers this request is accepted (any valid one
    // when there is none), until the next expect.
    void expect(const std::optional<ReplyExpectation>& request) { expected_ = request; }

    // Takes one chunk. Returns true when, after it, a reply is accepted.
    bool feed(const std::uint8_t* bytes, std::size_t count);

    // Raw receive mode: store bytes as they come, dropping what does not fit.
    void storeRaw(const std::uint8_t* bytes, std::size_t count);

    // N of the accepted reply; 0 for a plain acknowledgement or none yet.
    std::uint32_t payloadLength() const { return payloadLength_; }
    std::uint32_t position() const { return position_; }
    const std::uint8_t* payload() const { return buffer_.data() + 16; }
    const std::uint8_t* buffer() const { return buffer_.data(); }

private:
    std::array<std::uint8_t, kBufferSize> buffer_{};
    std::uint32_t position_ = 0;
    std::uint32_t payloadLength_ = 0;
    std::optional<ReplyExpectation> expected_;
};

}  // namespace pst
