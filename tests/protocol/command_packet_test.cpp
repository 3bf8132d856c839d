// Golden byte vectors: the packets as they must appear on the wire.

#include <gtest/gtest.h>

#include <numeric>

#include "protocol/command_packet.h"
#include "protocol/speed_code.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

TEST(CommandPacket, SpeedSwitchTo115200IsSixteenBytesWithoutPayloadCheck)
{
    const Bytes expected{0x02, 0x00, 0x31, 0x00, 0x04, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x37, 0x00};
    EXPECT_EQ(buildCommandPacket(0x31, SpeedCode(115200), 0, {}), expected);
}

TEST(CommandPacket, IdentifyIsTwentyFiveBytesEndingInFF)
{
    const Bytes probe{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    const Bytes packet = buildCommandPacket(0x30, 0, 0, probe);
    ASSERT_EQ(packet.size(), 25u);
    EXPECT_EQ(packet[12], 8);
    EXPECT_EQ(packet[13], 0);
    EXPECT_EQ(packet[14], 0x02 ^ 0x30 ^ 0x08);
    EXPECT_EQ(packet.back(), 0xFF);
}

TEST(CommandPacket, FlowControlPacketMatchesExample)
{
    const Bytes expected{0x02, 0x00, 0x8D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x01, 0x00, 0x8E, 0x00, 0x01, 0x01};
    const Bytes payload{0x01};
    EXPECT_EQ(buildCommandPacket(0x8D, 0, 0, payload), expected);
}

TEST(CommandPacket, BlockPacketIs273BytesOr272WithoutPayloadCheck)
{
    Bytes block(256);
    std::iota(block.begin(), block.end(), 0);
    const Bytes withCheck = buildCommandPacket(0x33, 0x12345678, 0, block);
    const Bytes withoutCheck = buildCommandPacket(0x33, 0x12345678, 0, block, PayloadCheck::Omit);
    ASSERT_EQ(withCheck.size(), 273u);
    ASSERT_EQ(withoutCheck.size(), 272u);
    // Argument 1 little-endian, and the first 272 bytes are the same packet.
    EXPECT_EQ(withCheck[4], 0x78);
    EXPECT_EQ(withCheck[7], 0x12);
    EXPECT_EQ(withCheck[12], 0x00);
    EXPECT_EQ(withCheck[13], 0x01);
    EXPECT_TRUE(std::equal(withoutCheck.begin(), withoutCheck.end(), withCheck.begin()));
    EXPECT_EQ(withCheck.back(), xorOf(block));
    EXPECT_TRUE(replyHeaderIsValid(withCheck.data()));
}

TEST(CommandPacket, SpeedCodesFollowThePrinterTableAndUnknownSpeedsAreZero)
{
    const std::pair<std::uint32_t, std::uint8_t> table[] = {{9600, 0},   {19200, 1}, {38400, 2}, {57600, 3},
                                                            {115200, 4}, {1200, 5},  {2400, 6},  {4800, 7},
                                                            {230400, 8}, {14400, 0}, {0, 0}};
    for (auto [speed, code] : table)
        EXPECT_EQ(SpeedCode(speed), code) << speed;
}
