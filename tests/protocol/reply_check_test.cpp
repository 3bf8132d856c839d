// Whether a reply datagram is taken: valid as on the serial line, and an
// answer to the request just sent.

#include <gtest/gtest.h>

#include "protocol/command_packet.h"
#include "protocol/identify.h"
#include "protocol/reply_check.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint16_t kWriteMemory = 0x35;
constexpr std::uint16_t kSetting = 0x50;

DatagramVerdict verdictOf(const Bytes& datagram, const Bytes& request)
{
    return checkReplyDatagram(datagram, expectationOf(request)).verdict;
}

}  // namespace

TEST(ReplyCheck, DatagramNeedsTheChecksTheSerialLineNeeds)
{
    const Bytes request = identifyPacket();
    const Bytes model{'P', 'N', 'F', '8', '0', 0, 0, 0};
    const Bytes good = buildCommandPacket(kCommandIdentify, 0, 0, model);
    const DatagramReply taken = checkReplyDatagram(good, expectationOf(request));
    ASSERT_EQ(taken.verdict, DatagramVerdict::Reply);
    EXPECT_EQ(Bytes(taken.payload.begin(), taken.payload.end()), model);

    Bytes header = good;
    header[14] ^= 0x01;
    Bytes payload = good;
    payload.back() ^= 0x5A;
    const Bytes noCheckByte = buildCommandPacket(kCommandIdentify, 0, 0, model, PayloadCheck::Omit);
    EXPECT_EQ(verdictOf(header, request), DatagramVerdict::BadHeader);
    EXPECT_EQ(verdictOf(payload, request), DatagramVerdict::BadPayload);
    EXPECT_EQ(verdictOf(noCheckByte, request), DatagramVerdict::Reply);
    const Bytes cut(good.begin(), good.end() - 2);
    EXPECT_EQ(verdictOf(cut, request), DatagramVerdict::CutShort);
}

TEST(ReplyCheck, ReplyAnswersItsOwnCommandAndMemoryBlock)
{
    const Bytes block(4, 0xAA);
    const Bytes write = buildCommandPacket(kWriteMemory, 0x100100, 0, block);
    EXPECT_EQ(verdictOf(buildCommandPacket(kWriteMemory, 0x100100, 0, {}), write), DatagramVerdict::Reply);
    // A printer that does not echo the address still downloads.
    EXPECT_EQ(verdictOf(buildCommandPacket(kWriteMemory, 0, 0, {}), write), DatagramVerdict::Reply);
    // The late acknowledgement of the block before.
    EXPECT_EQ(verdictOf(buildCommandPacket(kWriteMemory, 0x100000, 0, {}), write), DatagramVerdict::Unasked);
    EXPECT_EQ(verdictOf(buildCommandPacket(kCommandIdentify, 0, 0, {}), write), DatagramVerdict::Unasked);

    // Other commands carry no address: only the command is matched.
    const Bytes setting = buildCommandPacket(kSetting, 7, 0, Bytes{1});
    EXPECT_EQ(verdictOf(buildCommandPacket(kSetting, 3, 0, {}), setting), DatagramVerdict::Reply);
    // Raw printer data is no request: any valid reply is taken.
    EXPECT_FALSE(expectationOf(Bytes{0x1B, 0x40}));
    EXPECT_EQ(verdictOf(buildCommandPacket(kSetting, 0, 0, {}), Bytes{0x1B, 0x40}), DatagramVerdict::Reply);
}
