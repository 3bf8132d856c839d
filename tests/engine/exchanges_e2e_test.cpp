// The confirmed send and read request against the virtual printer: attempts,
// time-outs and the replies they accept.

#include "engine/worker_fixture.h"

#include "protocol/errors.h"
#include "engine/exchanges.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

namespace {

// Exchanges run through WorkerFixture::runExchange inside an opened link.
class ExchangeFixture : public WorkerFixture { };

}  // namespace

TEST_F(ExchangeFixture, ConfirmedSendRetriesUntilAReplyIsAccepted)
{
    startPrinter();
    startWorker(9600, 9600);
    std::uint32_t length = 99;
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        printer->setFault({.mode = sim::FaultMode::BadHeader, .count = 2});
        length = ConfirmedSend(w, 0x79, 0, 3, {});
    }));
    EXPECT_EQ(length, 0u);
    // Identify, then three attempts of the same packet.
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30, 0x79, 0x79, 0x79}));
}

TEST_F(ExchangeFixture, ALateReplyCompletesTheNextAttempt)
{
    startPrinter();
    startWorker(9600, 9600);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        printer->setFault({.mode = sim::FaultMode::Late, .count = 1, .lateMs = 3300});
        ConfirmedSend(w, 0x80, 0, 3, std::vector<std::uint8_t>{0x0B});
    }));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 3000ms);
    EXPECT_LT(took, 5500ms);
    EXPECT_EQ(printer->frames().back().payload, (std::vector<std::uint8_t>{0x0B}));
}

TEST_F(ExchangeFixture, ReadRequestCopiesThePayloadTheReplyAnnounces)
{
    startPrinter({.model = "ab12"});
    startWorker(9600, 9600);
    std::array<std::uint8_t, 2049> out{};
    std::uint32_t n = 0;
    ASSERT_TRUE(runExchange([&](TCommThread& w) {
        const std::uint8_t probe[] = {1, 2, 4, 8, 16, 32, 64, 128};
        n = ReadRequest(w, 0x30, 0, 1, probe, out);
    }));
    EXPECT_EQ(n, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data())), "ab12");
    EXPECT_EQ(worker->DeviceModel(), "AB12");  // identify upper-cases it
}

TEST_F(ExchangeFixture, OverlongPayloadIsRefusedBeforeAnythingIsSent)
{
    startPrinter();
    startWorker(9600, 9600);
    EXPECT_FALSE(runExchange(
        [&](TCommThread& w) { ConfirmedSend(w, 0x87, 0, 3, std::vector<std::uint8_t>(1017, 0x41)); }));
    EXPECT_NE(worker->status().error().find("too long"), std::string::npos);
    EXPECT_EQ(commandsReceived(), (std::vector<std::uint16_t>{0x30}));
}

TEST_F(ExchangeFixture, BootPollModeSwallowsTheFailure)
{
    startPrinter({.fault = {.mode = sim::FaultMode::Silent}});
    startWorker(9600, 9600);
    worker->setBootPollMode(true);
    // The identify of the open fails silently too, so the body runs.
    std::uint32_t n = 7;
    EXPECT_TRUE(runExchange([&](TCommThread& w) { n = ConfirmedSend(w, 0x2E, 0, 1, {}); }));
    EXPECT_EQ(n, 0u);
}

TEST_F(ExchangeFixture, DataArrivingBetweenRunsGoesToTheMonitorNotTheLog)
{
    startPrinter();
    startWorker(9600, 9600);
    std::vector<std::string> lines;
    WorkerEvents monitor;
    monitor.unsolicitedLine = [&](const std::string& line) { lines.push_back(line); };
    setExtraEvents(monitor);
    // A run that leaves the port open, as raw printer commands do.
    ASSERT_TRUE(
        worker->startCustom([](TCommThread& w) { w.OpenLink(w.run().comName, w.run().transferSpeed); }));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    const std::string logAfterRun = debugLog();

    const std::string text = "Paper out\r\nCover open\nrest";
    ASSERT_TRUE(
        printer->sendUnsolicited(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
    ui->runUntil([&] { return lines.size() >= 3; }, 5s);
    EXPECT_EQ(lines, (std::vector<std::string>{"Paper out", "Cover open", "rest"}));
    EXPECT_EQ(debugLog(), logAfterRun);
    EXPECT_TRUE(worker->portOpen());
}

TEST_F(ExchangeFixture, StatusTextsAreThrottledButTheLastAlwaysShows)
{
    startPrinter();
    startWorker();
    auto now = std::chrono::steady_clock::time_point{} + 1h;
    std::mutex clockMutex;
    worker->setStatusClock([&] {
        std::lock_guard lock(clockMutex);
        return now;
    });
    auto advance = [&](std::chrono::milliseconds by) {
        std::lock_guard lock(clockMutex);
        now += by;
    };
    finished = false;
    ASSERT_TRUE(worker->startCustom([&](TCommThread& w) {
        w.ShowStatus("plain");  // posted at once
        advance(10ms);
        w.ShowStatus("Download ", 256, 1024);  // within 70 ms: held back
        advance(10ms);
        w.ShowStatus("Download ", 512, 1024);  // still held back
        advance(80ms);
        w.ShowStatus("Download ", 768, 1024);  // posted
        advance(1ms);
        w.ShowStatus("Download ", 1024, 1024);  // the last: posted at once
    }));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    ASSERT_EQ(statusTexts.size(), 3u);
    // A window reads the text when the message arrives: the latest one.
    EXPECT_EQ(statusTexts.back(), "Download Finish 100.0%(4/4)");
}
