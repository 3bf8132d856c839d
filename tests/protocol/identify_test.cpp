// The identify exchange's request and what its reply datagram says.

#include <gtest/gtest.h>

#include "protocol/command_packet.h"
#include "protocol/identify.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A printer's reply: the request's header with the payload the printer sends.
Bytes reply(const Bytes& payload, PayloadCheck check = PayloadCheck::Append)
{
    return buildCommandPacket(kCommandIdentify, 0, 0, payload, check);
}

}  // namespace

TEST(Identify, ReplyNamesTheModelInCapitalsUpToEightBytes)
{
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'p', 'n', 'f', '8', '0', 0, 0, 0}), "PNF80");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I'}), "ABCDEFGH");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'X', '1'}), "X1");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{}), "");
}

TEST(Identify, DatagramIsAReplyOnlyWithAValidHeaderAndItsWholePayload)
{
    const Bytes model{'P', 'N', 'F', '8', '0', 0, 0, 0};
    for (const auto check : {PayloadCheck::Append, PayloadCheck::Omit}) {
        const Bytes datagram = reply(model, check);
        const auto payload = replyDatagramPayload(datagram);
        ASSERT_TRUE(payload);
        EXPECT_EQ(modelFromIdentifyPayload(*payload), "PNF80");
    }
    EXPECT_EQ(identifyPacket(), reply(Bytes(kIdentifyProbe.begin(), kIdentifyProbe.end())));

    Bytes spoilt = reply(model);
    spoilt[14] ^= 0x01;
    EXPECT_FALSE(replyDatagramPayload(spoilt));
    Bytes cut = reply(model);
    cut.resize(20);
    EXPECT_FALSE(replyDatagramPayload(cut));
    EXPECT_FALSE(replyDatagramPayload(Bytes{0x02, 0x00, 0x30}));
    Bytes noStart = reply(model);
    noStart[0] = 0x03;
    EXPECT_FALSE(replyDatagramPayload(noStart));
}
