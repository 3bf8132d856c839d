// Reply assembly from the chunks a link delivers.

#include <gtest/gtest.h>

#include "engine/reply_assembler.h"
#include "protocol/command_packet.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes reply(const Bytes& payload)
{
    return buildCommandPacket(0x30, 0, 0, payload);
}

bool feed(ReplyAssembler& a, const Bytes& bytes)
{
    return a.feed(bytes.data(), bytes.size());
}

Bytes slice(const Bytes& b, std::size_t from, std::size_t to)
{
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace

TEST(ReplyAssembler, AcceptsAReplySplitIntoThreeChunksOnlyWhenTheLastByteIsIn)
{
    const Bytes packet = reply({'P', 'N', 'F', '8', '0', 0, 0, 0});
    ReplyAssembler a;
    EXPECT_FALSE(feed(a, slice(packet, 0, 5)));
    EXPECT_FALSE(feed(a, slice(packet, 5, 16)));
    EXPECT_FALSE(feed(a, slice(packet, 16, packet.size() - 1)));
    EXPECT_TRUE(feed(a, slice(packet, packet.size() - 1, packet.size())));
    EXPECT_EQ(a.payloadLength(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(a.payload()), 5), "PNF80");
}

TEST(ReplyAssembler, AcknowledgementWithoutPayloadIsAcceptedAfterSixteenBytes)
{
    ReplyAssembler a;
    EXPECT_TRUE(feed(a, buildCommandPacket(0x31, 0, 0, {})));
    EXPECT_EQ(a.payloadLength(), 0u);
}

TEST(ReplyAssembler, SkipsLineNoiseBeforeTheStartByte)
{
    Bytes noisy{0x00, 0xFF, 0x55, 0xAA, 0x13};
    const Bytes packet = reply({1, 2, 3});
    noisy.insert(noisy.end(), packet.begin(), packet.end());
    ReplyAssembler a;
    EXPECT_TRUE(feed(a, noisy));
    EXPECT_EQ(a.payloadLength(), 3u);
}

TEST(ReplyAssembler, RejectsBadHeaderOrPayloadCheckAndRecoversOnALaterChunk)
{
    Bytes badHeader = reply({1, 2, 3});
    badHeader[14] ^= 0x01;
    Bytes badPayload = reply({1, 2, 3});
    badPayload.back() ^= 0x01;
    for (const Bytes& bad : {badHeader, badPayload}) {
        ReplyAssembler a;
        EXPECT_FALSE(feed(a, bad));
        EXPECT_EQ(a.position(), 0u);
        EXPECT_TRUE(feed(a, reply({9})));
        EXPECT_EQ(a.payloadLength(), 1u);
    }
    Bytes badAck = buildCommandPacket(0x31, 0, 0, {});
    badAck[15] = 0x40;
    ReplyAssembler a;
    EXPECT_FALSE(feed(a, badAck));
    EXPECT_EQ(a.position(), 0u);
}

TEST(ReplyAssembler, StrayStartByteHidesTheRealReplyUntilItsOwnLengthIsReached)
{
    // A stray 0x02 followed by 15 bytes whose length field reads 0x0100:
    // the false packet holds collection until 256 + 17 bytes are in.
    Bytes stray{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0, 0};
    ReplyAssembler a;
    EXPECT_FALSE(feed(a, stray));
    EXPECT_FALSE(feed(a, reply({7})));  // swallowed into the false packet
    EXPECT_EQ(a.payloadLength(), 0u);

    // The next attempt resets the state, and its reply is found.
    a.reset();
    EXPECT_TRUE(feed(a, reply({7})));

    // A stray start byte whose length field reads 0 fails at 16 bytes.
    ReplyAssembler b;
    Bytes strayZero{0x02, 0x55};
    strayZero.resize(16, 0x00);
    EXPECT_FALSE(feed(b, strayZero));
    EXPECT_EQ(b.position(), 0u);
}

TEST(ReplyAssembler, KeepsTheAcceptedPayloadWhenMoreBytesFollow)
{
    ReplyAssembler a;
    ASSERT_TRUE(feed(a, reply({4, 5})));
    feed(a, reply({8, 8, 8}));
    EXPECT_EQ(a.payloadLength(), 2u);
    EXPECT_EQ(a.payload()[0], 4);
}

TEST(ReplyAssembler, WrapsAtTheEndOfTheBufferAndStartsOver)
{
    // A header announcing more than the buffer holds can never complete;
    // the position wraps to 0 and waits for the next start byte.
    Bytes huge{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x0F, 0, 0};
    Bytes filler(ReplyAssembler::kBufferSize - 16, 0x11);
    ReplyAssembler a;
    EXPECT_FALSE(feed(a, huge));
    EXPECT_FALSE(feed(a, filler));
    EXPECT_EQ(a.position(), ReplyAssembler::kBufferSize);
    // The next byte wraps the position; a full reply after it is accepted.
    Bytes next{0x77};
    const Bytes packet = reply({3});
    next.insert(next.end(), packet.begin(), packet.end());
    EXPECT_TRUE(feed(a, next));
    EXPECT_EQ(a.payloadLength(), 1u);
}

TEST(ReplyAssembler, RawModeStoresEverythingAndDropsWhatDoesNotFit)
{
    ReplyAssembler a;
    Bytes big(5000, 0x61);
    a.storeRaw(big.data(), big.size());
    EXPECT_EQ(a.position(), ReplyAssembler::kBufferSize);
    EXPECT_EQ(a.buffer()[0], 0x61);
}
