#include "printer_fixture.h"

#include <chrono>
#include <thread>

namespace pst::sim::test {
namespace {

using namespace std::chrono_literals;

TEST_F(PrinterTest, IdentifyAnswersWithModelAndValidChecks)
{
    SimOptions opts;
    opts.model = "TM-X9";
    startPrinter(opts);
    port().send(identifyPacket());
    const Bytes reply = port().readReply();
    ASSERT_EQ(reply.size(), 25u);
    EXPECT_TRUE(headerCheckOk(reply));
    EXPECT_TRUE(payloadCheckOk(reply));
    EXPECT_EQ(reply[2], 0x30);
    EXPECT_EQ(Bytes(reply.begin() + 16, reply.begin() + 24), (Bytes{'T', 'M', '-', 'X', '9', 0, 0, 0}));
    ASSERT_TRUE(printer().waitForFrames(1, 1000));
    EXPECT_EQ(printer().frames().at(0).payload, kIdentifyPayload);
}

TEST_F(PrinterTest, OtherCommandsGetAnEmptyAcknowledgement)
{
    startPrinter();
    const Bytes flowControl{0x02, 0x00, 0x8D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x01, 0x00, 0x8E, 0x00, 0x01, 0x01};
    port().send(flowControl);
    const Bytes reply = port().readReply();
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_TRUE(headerCheckOk(reply));
    EXPECT_EQ(reply[2], 0x8D);
}

TEST_F(PrinterTest, CorruptFramesAreDroppedSilentlyAndCounted)
{
    startPrinter();
    Bytes badHeader = identifyPacket();
    badHeader[14] ^= 0x01;
    Bytes badPayload = identifyPacket();
    badPayload.back() ^= 0x01;
    // The good frame behind them fences the check: had either been answered,
    // its reply would arrive first.
    port().send(badHeader);
    port().send(badPayload);
    port().send(packet(0x8D, 0, 0, {1}));
    const Bytes reply = port().readReply();
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[2], 0x8D);
    EXPECT_EQ(printer().badFrames(), 2u);
    EXPECT_EQ(printer().frames().size(), 1u);
}

TEST_F(PrinterTest, NoiseAndFragmentedWritesStillMakeAFrame)
{
    startPrinter();
    const Bytes frame = identifyPacket();
    port().send({0x00, 0xFF, 0x13});
    port().send(Bytes(frame.begin(), frame.begin() + 7));
    std::this_thread::sleep_for(10ms);
    port().send(Bytes(frame.begin() + 7, frame.end()));
    const Bytes reply = port().readReply();
    ASSERT_EQ(reply.size(), 25u);
    EXPECT_EQ(printer().badFrames(), 0u);
}

TEST_F(PrinterTest, SpeedSwitchIsAckedAtOldSpeedThenOldSpeedIsNoise)
{
    startPrinter();
    port().send(packet(0x31, 4));
    const Bytes ack = port().readReply();
    ASSERT_EQ(ack.size(), 16u);
    EXPECT_TRUE(headerCheckOk(ack));
    ASSERT_TRUE(printer().waitFor([](const PrinterState& s) { return s.speed == 115200; }, 1000));
    EXPECT_EQ(printer().currentSpeed(), 115200u);

    // The host has not followed yet: its bytes are garbage to the printer.
    port().send(identifyPacket());
    ASSERT_TRUE(printer().waitFor([](const PrinterState& s) { return s.ignoredBytes >= 25; }, 1000));
    EXPECT_EQ(printer().frames().size(), 1u);

    port().setSpeed(115200);
    port().send(identifyPacket());
    EXPECT_EQ(port().readReply().size(), 25u);
}

TEST_F(PrinterTest, UnknownSpeedCodeFallsBackToBaseSpeed)
{
    SimOptions opts;
    opts.speed = 19200;
    startPrinter(opts);
    port().setSpeed(19200);
    port().send(packet(0x31, 99));
    ASSERT_EQ(port().readReply().size(), 16u);
    ASSERT_TRUE(printer().waitFor([](const PrinterState& s) { return s.speed == 9600; }, 1000));
}

TEST_F(PrinterTest, HostMayCloseAndReopenThePort)
{
    startPrinter();
    for (int round = 0; round < 3; ++round) {
        HostPort again(printer().devicePath());
        again.send(identifyPacket());
        EXPECT_EQ(again.readReply().size(), 25u) << "round " << round;
    }
}

TEST_F(PrinterTest, PacedRoundTripTakesWireTime)
{
    SimOptions opts;
    opts.pace = true;
    startPrinter(opts);
    const auto begin = std::chrono::steady_clock::now();
    port().send(identifyPacket());
    ASSERT_EQ(port().readReply().size(), 25u);
    // 25 bytes each way at 10 bits per byte and 9600 baud.
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 52ms);
}

}  // namespace
}  // namespace pst::sim::test
