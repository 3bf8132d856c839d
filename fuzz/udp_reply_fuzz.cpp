// The network link's reply check: whatever datagram comes, a reply it takes
// has valid checks, lies inside the datagram and answers the request; and it
// takes exactly what the serial reply assembly takes from the same bytes.
//
// Input: one byte choosing the request, four bytes of its address, then the
// datagram.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/reply_assembler.h"
#include "fuzz_check.h"
#include "protocol/command_packet.h"
#include "protocol/reply_check.h"

namespace {

// Identify, the memory blocks, a setting, and raw data (no request to match).
constexpr std::array<std::uint16_t, 6> kCommands{0x30, 0x33, 0x34, 0x35, 0x80, 0};
constexpr std::size_t kLargestDatagram = 2049;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const std::uint16_t command = kCommands[data[0] % kCommands.size()];
    const std::uint32_t address = pst::readU32(data + 1);
    const std::span<const std::uint8_t> datagram(data + 5,
                                                 size - 5 < kLargestDatagram ? size - 5 : kLargestDatagram);

    const std::vector<std::uint8_t> request = command != 0 ? pst::buildCommandPacket(command, address, 0, {})
                                                           : std::vector<std::uint8_t>{0x1B, 0x40};
    const std::optional<pst::ReplyExpectation> expected = pst::expectationOf(request);
    PST_FUZZ_CHECK(expected.has_value() == (command != 0));

    const pst::DatagramReply reply = pst::checkReplyDatagram(datagram, expected);
    const bool taken = reply.verdict == pst::DatagramVerdict::Reply;
    if (taken) {
        PST_FUZZ_CHECK(datagram[0] == pst::kPacketStartByte);
        PST_FUZZ_CHECK(pst::replyHeaderIsValid(datagram.data()));
        const std::size_t n = pst::readU16(datagram.data() + 12);
        PST_FUZZ_CHECK(reply.payload.size() == n);
        PST_FUZZ_CHECK(reply.payload.data() == datagram.data() + pst::kPacketHeaderSize);
        // A check byte the datagram carries holds; one it leaves out is
        // not asked for.
        PST_FUZZ_CHECK(pst::kPacketHeaderSize + n <= datagram.size());
        if (n > 0 && pst::kPacketHeaderSize + n < datagram.size())
            PST_FUZZ_CHECK(pst::xorOf(datagram.subspan(pst::kPacketHeaderSize, n + 1)) == 0);
        if (expected) {
            PST_FUZZ_CHECK(pst::readU16(datagram.data() + 2) == command);
            const std::uint32_t named = pst::readU32(datagram.data() + 4);
            PST_FUZZ_CHECK(!expected->blockAddress || named == 0 || named == address);
        }
    }

    // The serial assembly, given the same bytes as one read, agrees where
    // the datagram carries its check byte (a stream has no other framing).
    const bool framedAsOnTheLine = datagram.size() < pst::kPacketHeaderSize ||
        pst::readU16(datagram.data() + 12) == 0 ||
        datagram.size() > pst::kPacketHeaderSize + pst::readU16(datagram.data() + 12);
    if (!datagram.empty() && datagram[0] == pst::kPacketStartByte && framedAsOnTheLine) {
        pst::ReplyAssembler assembler;
        assembler.expect(expected);
        const bool assembled = assembler.feed(datagram.data(), datagram.size());
        PST_FUZZ_CHECK(assembled == taken);
        if (assembled)
            PST_FUZZ_CHECK(assembler.payloadLength() == reply.payload.size());
    }
    return 0;
}
