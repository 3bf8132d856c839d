// The receiving side of the serial and USB links: reads as the reader
// thread hands them over, the reply they make up, and how they are logged.

#include <gtest/gtest.h>

#include "engine/stream_reply.h"
#include "protocol/command_packet.h"

using namespace pst;

namespace {

class StreamReplyTest : public ::testing::Test {
protected:
    StreamReply::Context context()
    {
        StreamReply::Context c;
        c.log = &log;
        c.operation = &operation;
        c.rawReceiveMode = &raw;
        c.showUnsolicited = [this](const std::uint8_t* bytes, std::size_t count) {
            unsolicited.emplace_back(bytes, bytes + count);
        };
        return c;
    }

    std::size_t receiveRecords() const
    {
        const std::string text = log.text();
        std::size_t n = 0;
        for (std::size_t at = text.find("Receive"); at != std::string::npos;
             at = text.find("Receive", at + 1))
            ++n;
        return n;
    }

    TransferLog log;
    std::atomic<int> operation{5};
    std::atomic<bool> raw{false};
    std::vector<std::vector<std::uint8_t>> unsolicited;
};

TEST_F(StreamReplyTest, AReplyInSeveralReadsCompletesOnceWholeAndEachReadIsLoggedAsItComes)
{
    StreamReply reply(context());
    const std::uint8_t payload[] = {'P', 'N', 'F', '8', '0', 0, 0, 0};
    const auto packet = buildCommandPacket(0x30, 0, 0, payload);
    reply.beforeWrite();
    reply.received(packet.data(), 3);
    EXPECT_EQ(receiveRecords(), 1u);
    reply.received(packet.data() + 3, 10);
    EXPECT_FALSE(reply.await(std::chrono::milliseconds(0)));
    reply.received(packet.data() + 13, packet.size() - 13);
    EXPECT_TRUE(reply.await(std::chrono::milliseconds(0)));
    const std::string text = log.text();
    EXPECT_EQ(receiveRecords(), 3u) << text;
    const std::string last = "Receive " + std::to_string(packet.size() - 13) + " Bytes";
    EXPECT_LT(text.find("Receive 3 Bytes"), text.find("Receive 10 Bytes")) << text;
    EXPECT_LT(text.find("Receive 10 Bytes"), text.find(last)) << text;

    std::uint8_t out[16] = {};
    EXPECT_EQ(reply.takePayload(out, sizeof out), sizeof payload);
    EXPECT_EQ(out[0], 'P');
}

TEST_F(StreamReplyTest, OutsideARunBytesAreShownNotAssembledNorLogged)
{
    StreamReply reply(context());
    operation = 0;
    const std::uint8_t text[] = {'o', 'k', '\n'};
    reply.received(text, sizeof text);
    ASSERT_EQ(unsolicited.size(), 1u);
    EXPECT_EQ(unsolicited[0].size(), 3u);
    EXPECT_EQ(receiveRecords(), 0u);
}

TEST_F(StreamReplyTest, RawReceiveModeKeepsTheFirstByteAndLogsEachRead)
{
    StreamReply reply(context());
    raw = true;
    EXPECT_EQ(reply.rawFirstByte(), -1);
    const std::uint8_t answer = 0x61;
    reply.received(&answer, 1);
    EXPECT_EQ(reply.rawFirstByte(), 0x61);
    EXPECT_EQ(receiveRecords(), 1u);
    reply.clearRaw();
    EXPECT_EQ(reply.rawFirstByte(), -1);
}

}  // namespace
