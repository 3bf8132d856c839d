#include "reply_assembler.h"

#include "protocol/command_packet.h"
#include "protocol/reply_check.h"

namespace pst {

void ReplyAssembler::reset()
{
    position_ = 0;
    payloadLength_ = 0;
}

bool ReplyAssembler::feed(const std::uint8_t* bytes, std::size_t count)
{
    // Once a reply with a payload is accepted, later chunks of the same
    // write are not stored: the payload must stay as it was accepted.
    if (payloadLength_ == 0) {
        for (std::size_t i = 0; i < count; ++i) {
            if (position_ > kBufferSize - 1)
                position_ = 0;
            if (position_ != 0) {
                buffer_[position_++] = bytes[i];
            } else if (bytes[i] == kPacketStartByte) {
                buffer_[0] = kPacketStartByte;
                position_ = 1;
            }
        }
    }

    if (position_ < kPacketHeaderSize)
        return false;

    const std::uint32_t n = readU16(buffer_.data() + 12);
    if (n != 0 && position_ <= n + kPacketHeaderSize)
        return false;  // payload and check byte not all in yet
    // The checks the network link applies to a datagram, in the same code.
    const bool valid = replyHeaderIsValid(buffer_.data()) &&
                       (n == 0 || replyPayloadIsValid({buffer_.data() + kPacketHeaderSize, n + 1})) &&
                       (!expected_ || replyAnswers(buffer_.data(), *expected_));
    if (!valid) {
        position_ = 0;
        return false;
    }
    payloadLength_ = n;
    return true;
}

void ReplyAssembler::storeRaw(const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count && position_ < kBufferSize; ++i)
        buffer_[position_++] = bytes[i];
}

}  // namespace pst
