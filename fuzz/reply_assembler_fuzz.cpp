// Reply assembly on the reader thread: whatever the link delivers, in
// whatever chunks, the assembler stays inside its buffer, and a reply it
// accepts starts with the start byte and has valid header and payload checks.

#include <cstddef>
#include <cstdint>

#include "engine/reply_assembler.h"
#include "fuzz_check.h"
#include "protocol/command_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the chunk sizes, so one input tries one way
    // of splitting the stream into reads.
    const std::size_t chunk = 1 + data[0] % 64;
    ++data;
    --size;

    pst::ReplyAssembler assembler;
    for (std::size_t at = 0; at < size; at += chunk) {
        const std::size_t count = size - at < chunk ? size - at : chunk;
        const bool accepted = assembler.feed(data + at, count);
        PST_FUZZ_CHECK(assembler.position() <= pst::ReplyAssembler::kBufferSize);
        if (!accepted)
            continue;
        const std::uint8_t* reply = assembler.buffer();
        PST_FUZZ_CHECK(reply[0] == pst::kPacketStartByte);
        PST_FUZZ_CHECK(pst::replyHeaderIsValid(reply));
        const std::uint32_t n = assembler.payloadLength();
        PST_FUZZ_CHECK(n == pst::readU16(reply + 12));
        if (n > 0) {
            PST_FUZZ_CHECK(pst::kPacketHeaderSize + n + 1 <= assembler.position());
            PST_FUZZ_CHECK(pst::xorOf({assembler.payload(), n + 1}) == 0);
        }
        // A new write starts a new reply.
        assembler.reset();
    }

    // Raw receive mode keeps what fits and never more.
    assembler.reset();
    assembler.storeRaw(data, size);
    PST_FUZZ_CHECK(assembler.position() == (size < pst::ReplyAssembler::kBufferSize ? size : pst::ReplyAssembler::kBufferSize));
    return 0;
}
