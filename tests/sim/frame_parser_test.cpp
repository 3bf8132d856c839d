#include "frame_parser.h"
#include "host_port.h"

#include <gtest/gtest.h>

namespace pst::sim::test {
namespace {

ParseResult feedAll(FrameParser& parser, const Bytes& bytes)
{
    ParseResult out;
    parser.feed(bytes, Clock::now(), out);
    return out;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(FrameParser, DecodesFieldsEvenWhenFedOneByteAtATime)
{
    FrameParser parser;
    const Bytes wire = packet(0x1234, 0xA1B2C3D4, 7, {0x02, 0x00, 0xFF});
    ParseResult out;
    for (auto b : wire)
        parser.feed(Bytes{b}, Clock::now(), out);
    ASSERT_EQ(out.frames.size(), 1u);
    const auto& f = out.frames[0];
    EXPECT_EQ(f.frame.command, 0x1234);
    EXPECT_EQ(f.frame.arg1, 0xA1B2C3D4u);
    EXPECT_EQ(f.frame.arg2, 7u);
    EXPECT_EQ(f.frame.payload, (Bytes{0x02, 0x00, 0xFF}));
    EXPECT_EQ(f.wireLength, wire.size());
    EXPECT_EQ(out.badFrames, 0u);
    EXPECT_EQ(parser.buffered(), 0u);
}

TEST(FrameParser, SkipsNoiseAndRecoversFromStrayStartByte)
{
    FrameParser parser;
    const auto out = feedAll(parser, join({{0x00, 0xFF, 0x02, 0x41}, packet(0x8D, 0, 0, {1})}));
    ASSERT_EQ(out.frames.size(), 1u);
    EXPECT_EQ(out.frames[0].frame.command, 0x8D);
    EXPECT_EQ(out.badFrames, 1u);
    EXPECT_EQ(out.skippedBytes, 2u);
}

TEST(FrameParser, ImplausibleLengthIsABadHeaderNotAWait)
{
    Bytes huge = packet(0x30);
    huge[12] = 0x01;
    huge[13] = 0x10;  // 4097
    huge[14] = 0;
    for (int i = 0; i < 14; ++i)
        huge[14] ^= huge[i];
    FrameParser parser;
    const auto out = feedAll(parser, join({huge, packet(0x30)}));
    EXPECT_EQ(out.badFrames, 1u);
    ASSERT_EQ(out.frames.size(), 1u);
}

TEST(FrameParser, DamagedPayloadCountsOnceAndFramesInsideItAreFound)
{
    // A truncated request whose claimed length swallows the retry behind it:
    // the retry must still be found, and the start bytes inside the damaged
    // region must not each count as another bad frame.
    Bytes truncated = packet(0x30, 0, 0, Bytes(40, 0x02));
    truncated.resize(20);
    Bytes tail(60, 0x55);
    FrameParser parser;
    const auto out = feedAll(parser, join({truncated, packet(0x31, 4), tail}));
    ASSERT_EQ(out.frames.size(), 1u);
    EXPECT_EQ(out.frames[0].frame.command, 0x31);
    EXPECT_EQ(out.badFrames, 1u);
}

}  // namespace
}  // namespace pst::sim::test
