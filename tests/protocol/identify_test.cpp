// The identify exchange's request and the model its reply names.

#include <gtest/gtest.h>

#include "protocol/command_packet.h"
#include "protocol/identify.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A printer's reply: the request's header with the payload the printer sends.
Bytes reply(const Bytes& payload)
{
    return buildCommandPacket(kCommandIdentify, 0, 0, payload);
}

}  // namespace

TEST(Identify, RequestIsTheProbeInACommandPacket)
{
    EXPECT_EQ(identifyPacket(), reply(Bytes(kIdentifyProbe.begin(), kIdentifyProbe.end())));
}

TEST(Identify, ReplyNamesTheModelInCapitalsUpToEightBytes)
{
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'p', 'n', 'f', '8', '0', 0, 0, 0}), "PNF80");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I'}), "ABCDEFGH");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{'X', '1'}), "X1");
    EXPECT_EQ(modelFromIdentifyPayload(Bytes{}), "");
}
