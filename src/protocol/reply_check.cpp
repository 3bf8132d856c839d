#include "protocol/reply_check.h"

#include "protocol/command_packet.h"

namespace pst {

namespace {

// The memory blocks of a program update, a download and a read-back.
constexpr std::uint16_t kCommandProgramBlock = 0x33;
constexpr std::uint16_t kCommandReadMemory = 0x34;
constexpr std::uint16_t kCommandWriteMemory = 0x35;

bool carriesBlockAddress(std::uint16_t command)
{
    return command == kCommandProgramBlock || command == kCommandReadMemory || command == kCommandWriteMemory;
}

}  // namespace

std::optional<ReplyExpectation> expectationOf(std::span<const std::uint8_t> request)
{
    if (request.size() < kPacketHeaderSize || request[0] != kPacketStartByte || request[1] != 0x00 ||
        !replyHeaderIsValid(request.data()))
        return std::nullopt;
    ReplyExpectation expected;
    expected.command = readU16(request.data() + 2);
    if (carriesBlockAddress(expected.command))
        expected.blockAddress = readU32(request.data() + 4);
    return expected;
}

bool replyAnswers(const std::uint8_t* header, const ReplyExpectation& expected)
{
    if (readU16(header + 2) != expected.command)
        return false;
    const std::uint32_t named = readU32(header + 4);
    return !expected.blockAddress || named == 0 || named == *expected.blockAddress;
}

bool replyPayloadIsValid(std::span<const std::uint8_t> payloadAndCheck)
{
    return xorOf(payloadAndCheck) == 0;
}

DatagramReply checkReplyDatagram(std::span<const std::uint8_t> datagram,
                                 const std::optional<ReplyExpectation>& expected)
{
    DatagramReply reply;
    if (datagram.size() < kPacketHeaderSize || datagram[0] != kPacketStartByte)
        return reply;
    if (!replyHeaderIsValid(datagram.data())) {
        reply.verdict = DatagramVerdict::BadHeader;
        return reply;
    }
    const std::size_t length = readU16(datagram.data() + 12);
    if (length > 0) {
        if (datagram.size() < kPacketHeaderSize + length) {
            reply.verdict = DatagramVerdict::CutShort;
            return reply;
        }
        // The datagram's own length frames the payload, so a printer may
        // leave the check byte out there; when it sends one, it must hold.
        if (datagram.size() > kPacketHeaderSize + length &&
            !replyPayloadIsValid(datagram.subspan(kPacketHeaderSize, length + 1))) {
            reply.verdict = DatagramVerdict::BadPayload;
            return reply;
        }
    }
    if (expected && !replyAnswers(datagram.data(), *expected)) {
        reply.verdict = DatagramVerdict::Unasked;
        return reply;
    }
    reply.verdict = DatagramVerdict::Reply;
    reply.payload = datagram.subspan(kPacketHeaderSize, length);
    return reply;
}

std::string_view datagramVerdictText(DatagramVerdict verdict)
{
    switch (verdict) {
    case DatagramVerdict::Reply:
        return "a reply";
    case DatagramVerdict::NotAPacket:
        return "not a reply packet";
    case DatagramVerdict::BadHeader:
        return "header check failed";
    case DatagramVerdict::CutShort:
        return "shorter than its header announces";
    case DatagramVerdict::BadPayload:
        return "payload check failed";
    case DatagramVerdict::Unasked:
        return "answers another request";
    }
    return "";
}

}  // namespace pst
