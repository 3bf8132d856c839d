// Every run that switched the printer to the transfer speed switches it back
// before letting go of the link, however the run ended: the worker against
// the virtual printer, which stays at a speed nobody switched it back from.
// On the network no speed switch goes out at all.

#include "operations/operation_fixture.h"

#include <algorithm>
#include <fstream>
#include <thread>

#include "fake_context.h"
#include "operations/operation_table.h"
#include "operations/speed_settling.h"
#include "protocol/downloads.h"
#include "texts/message_texts.h"
#include "transport/udp_client.h"
#include "cli_options.h"

using namespace pst;
using namespace pst::test;

namespace {

constexpr int kLinkTest = 1;
constexpr int kFontDownload = 3;
constexpr int kSetCodePage = 6;
constexpr int kReadBackToFile = 16;
constexpr std::uint16_t kSpeedSwitch = 0x31;
constexpr std::uint16_t kFontPacket = 0x35;

class SpeedRestoreFixture : public OperationFixture {
protected:
    void startWithFault(sim::FaultMode mode, int count)
    {
        startPrinter();
        sim::FaultSpec fault;
        fault.mode = mode;
        fault.count = count;
        printer->setFault(fault);
        startWorker(9600, 115200);
    }

    std::size_t speedSwitchesReceived() const
    {
        const auto commands = commandsReceived();
        return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), kSpeedSwitch));
    }

    // A megabyte of font on a printer that takes as long as a real wire, to
    // be stopped once the speed switch, the identify request and five
    // blocks are in.
    HandOver megabyteFontDownload()
    {
        sim::SimOptions paced;
        paced.pace = true;
        startPrinter(paced);
        startWorker(9600, 115200);
        const auto font = folder / "font.bin";
        std::ofstream(font, std::ios::binary) << std::string(4096 * 256, 'F');
        HandOver download;
        download.downloadList = {FontDownloadRow(font.string(), 0x100000)};
        return download;
    }
    static constexpr std::size_t kFramesBeforeTheStop = 2 + 5;

    // The printer listens at its device speed: a link test opened there
    // succeeds, and the printer says so itself.
    void expectBackAtDeviceSpeed()
    {
        EXPECT_EQ(printer->currentSpeed(), 9600u);
        EXPECT_TRUE(run(kLinkTest)) << worker->status().error();
        EXPECT_EQ(printer->currentSpeed(), 9600u);
    }
};

}  // namespace

TEST_F(SpeedRestoreFixture, FailuresAfterTheSwitchStillSwitchThePrinterBack)
{
    startWithFault(sim::FaultMode::None, -1);

    // The read itself succeeds; saving it does not.
    HandOver readBack;
    readBack.readBackFile = "/nonexistent/dir/out.bin";
    EXPECT_FALSE(runWith(kReadBackToFile, 0x1CF000, 0x100, readBack));
    EXPECT_EQ(worker->status().error(), "Cannot write /nonexistent/dir/out.bin");
    EXPECT_FALSE(worker->portOpen());
    EXPECT_EQ(speedSwitchesReceived(), 2u);
    expectBackAtDeviceSpeed();

    // The first speed switch's reply is lost, though the printer moved:
    // it is asked back at the speed it may have moved to.
    sim::FaultSpec dropOne;
    dropOne.mode = sim::FaultMode::DropSpeedReply;
    dropOne.count = 1;
    printer->setFault(dropOne);
    EXPECT_FALSE(run(kLinkTest));
    EXPECT_EQ(lastFailure.cause, "Set Baudrate Failed");
    expectBackAtDeviceSpeed();
}

TEST_F(SpeedRestoreFixture, AnUnconfirmedSwitchBackTellsWhereThePrinterMayListen)
{
    startWithFault(sim::FaultMode::SilentAfter, 2);
    const auto font = folder / "font.bin";
    std::ofstream(font, std::ios::binary) << std::string(4 * 256, 'F');
    HandOver download;
    download.downloadList = {FontDownloadRow(font.string(), 0x100000)};

    EXPECT_FALSE(runWith(kFontDownload, 0, 0, download));
    const std::string hint = SpeedLeftText(9600, 115200);
    EXPECT_NE(hint.find("115200"), std::string::npos);
    EXPECT_EQ(lastFailure.text, "Download Data Failed\n" + hint);
    // Nothing more lay behind it than its text: the command line adds no
    // cause line that repeats the first.
    EXPECT_EQ(lastFailure.cause, lastFailure.text);
    EXPECT_EQ(speedSwitchesReceived(), 2u);
    EXPECT_FALSE(worker->portOpen());

    // The silent printer acted on the switch back all the same.
    printer->setFault({});
    expectBackAtDeviceSpeed();
}

TEST_F(SpeedRestoreFixture, NoSpeedSwitchGoesOutOnTheNetwork)
{
    sim::SimOptions options;
    options.servePty = false;
    options.udpAddress = "127.0.0.1:0";
    startPrinter(options);
    ConnectionSettings s;
    s.kind = LinkKind::Network;
    s.ipAddress = "127.0.0.1";
    s.port = static_cast<std::int32_t>(printer->udpPort());
    s.deviceSpeed = 19200;
    s.transferSpeed = 115200;
    settings->set(s);
    WorkerLinks links;
    links.udpClient = std::make_shared<TUdpClient>();
    links.watchUsbDevices = false;
    createWorker(std::move(links));

    ASSERT_TRUE(runWith(kSetCodePage, 47)) << worker->status().error();
    EXPECT_EQ(printerSettings().codePage, 47);
    EXPECT_EQ(speedSwitchesReceived(), 0u);
    EXPECT_EQ(printer->currentSpeed(), 9600u);
}

TEST(SpeedSettling, EveryOperationOwnsUpToAPrinterLeftAtAnotherSpeed)
{
    FakeContext context;
    context.run.deviceSpeed = 9600;
    context.strandedSpeed = 115200;
    context.given.readBackFile = "/nonexistent/dir/out.bin";
    operationHandler(Operation::ReadFontMemory)(context);
    EXPECT_EQ(context.code, 1);
    EXPECT_EQ(context.text, "Cannot write /nonexistent/dir/out.bin\n" + SpeedLeftText(9600, 115200));

    // A run that went well fails when the printer was left behind.
    FakeContext settled;
    settled.run.deviceSpeed = 9600;
    settled.strandedSpeed = 115200;
    RunSettled(settled, [](OperationContext&) { });
    EXPECT_EQ(settled.code, 1);
    EXPECT_EQ(settled.text, SpeedLeftText(9600, 115200));

    // Each number lands in its place, and the key is in the table.
    EXPECT_EQ(SpeedLeftText(9600, 115200),
              "切回 9600 bit/s 未得到确认：打印机可能仍在 115200 bit/s 上接收。请把设备波特率选为 "
              "115200（--device-speed 115200），或重启打印机");
}

TEST(SpeedFaultOptions, TheTwoFaultsParseAndSilenceNeedsItsBlockCount)
{
    const auto drop = sim::parseCommandLine({"--fault", "drop-speed-reply:1"});
    ASSERT_EQ(drop.action, sim::CommandLine::Action::Run) << drop.error;
    EXPECT_EQ(drop.options.fault.mode, sim::FaultMode::DropSpeedReply);
    EXPECT_EQ(drop.options.fault.count, 1);
    const auto silent = sim::parseCommandLine({"--fault", "silent-after:2"});
    ASSERT_EQ(silent.action, sim::CommandLine::Action::Run) << silent.error;
    EXPECT_EQ(silent.options.fault.mode, sim::FaultMode::SilentAfter);
    EXPECT_EQ(silent.options.fault.count, 2);
    EXPECT_EQ(sim::parseCommandLine({"--fault", "silent-after"}).action, sim::CommandLine::Action::Error);
    EXPECT_NE(sim::usageText().find("drop-speed-reply"), std::string::npos);
    EXPECT_NE(sim::usageText().find("silent-after:N"), std::string::npos);
}

TEST_F(SpeedRestoreFixture, AStoppedDownloadEndsAsStoppedWithThePrinterSwitchedBack)
{
    const HandOver download = megabyteFontDownload();
    std::thread stopButton([&] {
        printer->waitForFrames(kFramesBeforeTheStop, 30000);
        worker->cancelOperation();
    });
    EXPECT_FALSE(runWith(kFontDownload, 0, 0, download));
    stopButton.join();

    const auto commands = commandsReceived();
    const auto blocksSent = static_cast<std::int32_t>(std::count(commands.begin(), commands.end(), kFontPacket));
    EXPECT_EQ(lastFailure.kind, FailureKind::Stopped);
    EXPECT_EQ(lastFailure.blocksDone, blocksSent);
    EXPECT_EQ(lastFailure.blocksInAll, 4096);
    EXPECT_GE(blocksSent, 5);
    EXPECT_LT(blocksSent, 4096);
    EXPECT_EQ(lastFailure.text, MessageWithNumbers("sStoppedAfterMsg", {blocksSent, 4096}));
    EXPECT_EQ(commands.back(), kSpeedSwitch);
    EXPECT_FALSE(worker->portOpen());
    EXPECT_NE(debugLog().find("Send"), std::string::npos);
    expectBackAtDeviceSpeed();
}

// Closing the program during a download: the worker goes after one more
// block and the switch back, not after the megabyte.
TEST_F(SpeedRestoreFixture, ClosingDuringADownloadLetsTheWorkerGoPromptly)
{
    const HandOver download = megabyteFontDownload();
    ASSERT_TRUE(worker->StartOperation(Operation::FontDownload, 0, 0, download));
    ASSERT_TRUE(printer->waitForFrames(kFramesBeforeTheStop, 30000));
    const auto closing = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(3));
    EXPECT_EQ(printer->currentSpeed(), 9600u);
}
