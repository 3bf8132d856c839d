// The link test and the worker's run cycle, end to end against the virtual
// printer over a pseudo-terminal.

#include "engine/worker_fixture.h"
#include "engine/exchanges.h"

#include "protocol/command_packet.h"
#include "protocol/speed_code.h"
#include "transport/comm.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

namespace {

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST_F(WorkerFixture, LinkTestSwitchesToTheTransferSpeedIdentifiesAndSwitchesBack)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(run(1));

    EXPECT_EQ(ids(), (std::vector<unsigned>{LinkFound, Done}));
    EXPECT_EQ(messages[messages.size() - 2].lParam, TCommThread::kDeviceTypeNumber);
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x30, 0x31}));
    const auto frames = printer->frames();
    EXPECT_EQ(frames[0].arg1, SpeedCode(115200));
    EXPECT_EQ(frames[2].arg1, SpeedCode(9600));
    EXPECT_EQ(printer->currentSpeed(), 9600u);
    EXPECT_EQ(printer->ignoredBytes(), 0u);
    EXPECT_EQ(worker->DeviceModel(), "PNF80");
    EXPECT_EQ(worker->status().status(), printer->devicePath() + "Found");
    EXPECT_FALSE(worker->portOpen());

    const std::string log = debugLog();
    EXPECT_EQ(log.rfind("Open" + printer->devicePath() + " ", 0), 0u) << log;
    EXPECT_EQ(count(log, "Send 16 Bytes "), 2u);
    EXPECT_EQ(count(log, "Send 25 Bytes "), 1u);
    EXPECT_GE(count(log, "Receive "), 3u);
    EXPECT_NE(log.find("\r\nClose" + printer->devicePath() + " "), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST_F(WorkerFixture, LinkTestAtEqualSpeedsSendsNoSpeedSwitch)
{
    startPrinter({.speed = 19200});
    startWorker(19200, 19200);
    ASSERT_TRUE(run(1));
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30}));
    EXPECT_EQ(count(debugLog(), "Send 16 Bytes"), 0u);
}

TEST_F(WorkerFixture, SilentPrinterFailsTheTestWithConnectingFailed)
{
    startPrinter({.fault = {.mode = sim::FaultMode::Silent}});
    startWorker(9600, 115200);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(run(1));
    const auto took = std::chrono::steady_clock::now() - start;

    // The speed switch gets one attempt, waited for as long as its bytes
    // take on the line and a margin. The printer may have moved without a
    // word (this one did): before the port closes it is asked back at the
    // transfer speed, one more such attempt.
    EXPECT_EQ(ids(), (std::vector<unsigned>{LinkFailed, Failed}));
    EXPECT_EQ(messages.back().wParam, 1);
    EXPECT_EQ(worker->status().error(), "Connecting Failed");
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x31, 0x31}));
    EXPECT_EQ(printer->currentSpeed(), 9600u);
    EXPECT_GE(took, 2 * kLineReplyMargin);
    EXPECT_LT(took, 1500ms);
    EXPECT_FALSE(worker->portOpen());
    EXPECT_NE(debugLog().find("Close"), std::string::npos);

    // Identify at equal speeds has one attempt.
    worker.reset();
    startPrinter({.fault = {.mode = sim::FaultMode::Silent}});
    startWorker(9600, 9600);
    EXPECT_FALSE(run(1));
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30}));
}

TEST_F(WorkerFixture, RecoversFromNoiseAndSplitReplies)
{
    startPrinter({.fault = {.mode = sim::FaultMode::Noise}});
    startWorker();
    EXPECT_TRUE(run(1));
    printer->setFault({.mode = sim::FaultMode::Split, .splitPauseMs = 5});
    EXPECT_TRUE(run(1));
    EXPECT_EQ(worker->DeviceModel(), "PNF80");
}

TEST_F(WorkerFixture, CorruptRepliesAreNotAccepted)
{
    for (auto mode : {sim::FaultMode::BadHeader, sim::FaultMode::BadPayload}) {
        startPrinter({.fault = {.mode = mode}});
        startWorker(9600, 9600);  // identify carries a payload to corrupt
        EXPECT_FALSE(run(1));
        EXPECT_EQ(worker->status().error(), "Connecting Failed");
        worker.reset();
        printer.reset();
    }
}

TEST_F(WorkerFixture, APortThatKeepsItsSpeedIsIgnoredByThePrinter)
{
    // What a tool that forgets to change its own port speed would do: switch
    // the printer to 115200, then go on talking at 9600.
    startPrinter();
    TComm port;
    port.setCommName(printer->devicePath());
    port.setBaudRate(9600);
    port.OpenPort();
    const auto toFast = buildCommandPacket(0x31, SpeedCode(115200), 0, {});
    port.SendData(toFast.data(), static_cast<std::uint16_t>(toFast.size()));
    ASSERT_TRUE(printer->waitForFrames(1, 2000));
    std::this_thread::sleep_for(50ms);  // the printer switches after its reply
    ASSERT_EQ(printer->currentSpeed(), 115200u);

    const std::uint8_t probe[] = {1, 2, 4, 8, 16, 32, 64, 128};
    const auto identify = buildCommandPacket(0x30, 0, 0, probe);
    port.SendData(identify.data(), static_cast<std::uint16_t>(identify.size()));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(printer->frames().size(), 1u);
    EXPECT_EQ(printer->ignoredBytes(), identify.size());
    port.ClosePort();
    ui->processPending();
}

TEST_F(WorkerFixture, RequestDuringARunIsRefusedAndLeavesTheRunAlone)
{
    startPrinter({.fault = {.mode = sim::FaultMode::Silent}});
    startWorker(9600, 9600);
    ASSERT_TRUE(worker->StartOperation(Operation::LinkTest, 11, 22));
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(worker->busy());
    EXPECT_FALSE(worker->StartOperation(Operation::SetCodePage, 33, 44));
    EXPECT_EQ(worker->operation(), 1);
    EXPECT_EQ(worker->argument1(), 11);
    EXPECT_EQ(worker->argument2(), 22);
    EXPECT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    EXPECT_EQ(ids(), (std::vector<unsigned>{LinkFailed, Failed}));
    EXPECT_FALSE(worker->busy());
    EXPECT_EQ(worker->operation(), 0);
}

TEST_F(WorkerFixture, OperationsOutsideTheTableStillEndTheRunProperly)
{
    startPrinter();
    startWorker();
    // Nothing runs, the log is empty, and the run succeeds.
    for (int op : {0, 46, -1}) {
        EXPECT_TRUE(run(op)) << op;
        EXPECT_EQ(debugLog(), "");
    }
}

TEST_F(WorkerFixture, EachRunsLogReplacesThePreviousOne)
{
    startPrinter();
    startWorker(9600, 115200);
    ASSERT_TRUE(run(1));
    ASSERT_NE(debugLog().find("Send 16 Bytes"), std::string::npos);
    settings->update([](ConnectionSettings& s) { s.transferSpeed = 9600; });
    ASSERT_TRUE(run(1));
    const std::string second = debugLog();
    EXPECT_EQ(second.find("Send 16 Bytes"), std::string::npos);
    EXPECT_EQ(count(second, "Open"), 1u);
}

TEST_F(WorkerFixture, UnwritableLogStillReportsTheResultAndSaysSo)
{
    startPrinter();
    startWorker(9600, 9600, (folder / "no" / "such" / "folder").string());
    EXPECT_TRUE(run(1));
    EXPECT_TRUE(has(LinkFound));
    EXPECT_TRUE(has(LogNotSaved));
    EXPECT_NE(worker->status().logSaveError().find("debug.log"), std::string::npos);
}

TEST_F(WorkerFixture, MissingPortFailsTheTestAndLeavesNothingOpen)
{
    startWorker();
    EXPECT_FALSE(run(1));
    EXPECT_EQ(worker->status().error(), "Connecting Failed");
    EXPECT_FALSE(worker->portOpen());
}
