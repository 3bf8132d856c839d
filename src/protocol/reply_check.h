#pragma once
// Whether a reply packet belongs to the request just sent. The same checks
// hold on every link: the serial and USB reply assembly, the network link
// and the network search all ask these.
//
// A printer echoes the command code of the request it answers. For a memory
// block it may also echo the block's address in argument 1; a reply that
// names an address other than the one asked answers another block (a late
// acknowledgement, a read of the block before). A reply naming none (0) is
// taken: a printer that does not echo the address still downloads.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pst {

struct ReplyExpectation {
    std::uint16_t command = 0;
    std::optional<std::uint32_t> blockAddress;  // memory blocks only
};

// What the request packet (as it went on the wire) asks. Nothing when the
// bytes are not a command packet (raw printer data): no reply can be tied
// to those, so any valid one is taken, as before.
std::optional<ReplyExpectation> expectationOf(std::span<const std::uint8_t> request);

// The reply whose valid 16-byte header this is answers `expected`.
bool replyAnswers(const std::uint8_t* header, const ReplyExpectation& expected);

// The payload followed by its check byte: their XOR is 0.
bool replyPayloadIsValid(std::span<const std::uint8_t> payloadAndCheck);

enum class DatagramVerdict {
    Reply,       // a reply to the request: its payload is given
    NotAPacket,  // too short, or no start byte
    BadHeader,   // the header check fails
    CutShort,    // less than the payload its header announces
    BadPayload,  // the payload check fails
    Unasked,     // a valid reply, but to another command or block
};

struct DatagramReply {
    DatagramVerdict verdict = DatagramVerdict::NotAPacket;
    std::span<const std::uint8_t> payload;
};

// One datagram taken as a reply, checked as the serial assembly checks a
// packet, and matched to `expected` when there is one. Printers may send
// their datagram replies without the payload's check byte: one that is
// there is checked.
DatagramReply checkReplyDatagram(std::span<const std::uint8_t> datagram,
                                 const std::optional<ReplyExpectation>& expected);

// Why a datagram was not taken, for the transfer log.
std::string_view datagramVerdictText(DatagramVerdict verdict);

}  // namespace pst
