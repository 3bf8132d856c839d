#include "printer_fixture.h"

#include <algorithm>
#include <chrono>

namespace pst::sim::test {
namespace {

using namespace std::chrono_literals;

FaultSpec once(FaultMode mode)
{
    FaultSpec f;
    f.mode = mode;
    f.count = 1;
    return f;
}

TEST_F(PrinterTest, SilentFaultWithholdsCountedRepliesOnly)
{
    startPrinter();
    printer().setFault(once(FaultMode::Silent));
    port().send(identifyPacket());
    port().send(packet(0x8D, 0, 0, {1}));
    const Bytes reply = port().readReply();
    ASSERT_EQ(reply.size(), 16u);  // only the second request's answer
    EXPECT_EQ(reply[2], 0x8D);
    EXPECT_TRUE(printer().waitFor([](const PrinterState& s) { return s.repliesSent == 1; }, 1000));
}

TEST_F(PrinterTest, BadHeaderFaultSpoilsHeaderThenRecovers)
{
    startPrinter();
    printer().setFault(once(FaultMode::BadHeader));
    port().send(identifyPacket());
    const Bytes spoiled = port().readReply();
    ASSERT_EQ(spoiled.size(), 25u);
    EXPECT_FALSE(headerCheckOk(spoiled));
    port().send(identifyPacket());
    EXPECT_TRUE(headerCheckOk(port().readReply()));
}

TEST_F(PrinterTest, BadPayloadFaultHitsHeaderWhenThereIsNoPayload)
{
    startPrinter();
    FaultSpec f = once(FaultMode::BadPayload);
    f.count = 2;
    printer().setFault(f);
    port().send(identifyPacket());
    const Bytes withPayload = port().readReply();
    EXPECT_TRUE(headerCheckOk(withPayload));
    EXPECT_FALSE(payloadCheckOk(withPayload));
    port().send(packet(0x8D, 0, 0, {1}));
    EXPECT_FALSE(headerCheckOk(port().readReply()));
}

TEST_F(PrinterTest, NoiseFaultPrefixesBytesWithoutStartByte)
{
    startPrinter();
    printer().setFault(once(FaultMode::Noise));
    port().send(identifyPacket());
    const Bytes reply = port().readReply();
    const auto start = std::find(reply.begin(), reply.end(), std::uint8_t{0x02});
    ASSERT_GT(start - reply.begin(), 0);
    const Bytes frame(start, reply.end());
    ASSERT_EQ(frame.size(), 25u);
    EXPECT_TRUE(headerCheckOk(frame));
    EXPECT_TRUE(payloadCheckOk(frame));
}

TEST_F(PrinterTest, SplitFaultDeliversReplyInPausedPieces)
{
    startPrinter();
    FaultSpec f = once(FaultMode::Split);
    f.splitPauseMs = 40;
    printer().setFault(f);
    const auto begin = std::chrono::steady_clock::now();
    port().send(identifyPacket());
    const auto pieces = port().readPieces(2000);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 80ms);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_LE(pieces.front().size(), 5u);
    Bytes whole;
    for (const auto& p : pieces)
        whole.insert(whole.end(), p.begin(), p.end());
    ASSERT_EQ(whole.size(), 25u);
    EXPECT_TRUE(headerCheckOk(whole));
    EXPECT_TRUE(payloadCheckOk(whole));
}

TEST_F(PrinterTest, LateFaultDelaysReply)
{
    startPrinter();
    FaultSpec f = once(FaultMode::Late);
    f.lateMs = 150;
    printer().setFault(f);
    const auto begin = std::chrono::steady_clock::now();
    port().send(identifyPacket());
    ASSERT_EQ(port().readReply().size(), 25u);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 150ms);
}

TEST(VirtualPrinterLifecycle, StopInterruptsALateReply)
{
    SimOptions opts;
    opts.fault.mode = FaultMode::Late;
    opts.fault.lateMs = 60'000;
    VirtualPrinter printer(opts);
    printer.start();
    HostPort port(printer.devicePath());
    port.send(identifyPacket());
    ASSERT_TRUE(printer.waitForFrames(1, 1000));
    const auto begin = std::chrono::steady_clock::now();
    printer.stop();
    printer.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
}

}  // namespace
}  // namespace pst::sim::test
