// The printer search against virtual printers: a serial printer at a speed
// nobody told it, a port that cannot be opened, a network printer among the
// silent addresses of its block, and a search stopped half-way.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "protocol/address_range.h"
#include "requests/printer_search.h"
#include "virtual_printer.h"

namespace pst::requests {
namespace {

// What a search told, collected across its thread.
class Recorder {
public:
    SearchEvents events()
    {
        SearchEvents events;
        events.progress = [this](const std::string& trying, std::size_t done, std::size_t all) {
            std::lock_guard lock(mutex_);
            tried.push_back(trying);
            lastDone = done;
            lastAll = all;
            wake_.notify_all();
        };
        events.found = [this](const FoundPrinter& printer) {
            std::lock_guard lock(mutex_);
            found.push_back(printer);
        };
        events.unusable = [this](const std::string& where, const std::string& reason) {
            std::lock_guard lock(mutex_);
            unusable.emplace_back(where, reason);
        };
        events.finished = [this](bool wasCancelled) {
            std::lock_guard lock(mutex_);
            finished = true;
            cancelled = wasCancelled;
            wake_.notify_all();
        };
        return events;
    }

    void waitUntil(const std::function<bool()>& condition)
    {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(wake_.wait_for(lock, std::chrono::seconds(90), condition));
    }

    std::vector<std::string> tried;
    std::size_t lastDone = 0;
    std::size_t lastAll = 0;
    std::vector<FoundPrinter> found;
    std::vector<std::pair<std::string, std::string>> unusable;
    bool finished = false;
    bool cancelled = false;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
};

class PrinterSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("pst-search-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    Recorder recorder;
};

TEST_F(PrinterSearchTest, SerialFindsThePrinterAtItsSpeedAndNamesAPortThatCannotOpen)
{
    sim::VirtualPrinter printer({.speed = 38400});
    printer.start();
    SearchPlan plan;
    plan.serialPorts = {(folder / "missing").string(), printer.devicePath()};
    plan.firstSpeed = 9600;
    {
        PrinterSearch search(plan, folder.string(), recorder.events());
        search.start();
        recorder.waitUntil([&] { return recorder.finished; });
    }
    EXPECT_FALSE(recorder.cancelled);
    ASSERT_EQ(recorder.found.size(), 1u);
    EXPECT_EQ(recorder.found[0].where, printer.devicePath());
    EXPECT_EQ(recorder.found[0].speed, 38400u);
    EXPECT_EQ(recorder.found[0].model, "PNF80");
    // The missing port is given up at its first speed, not tried at all nine.
    ASSERT_EQ(recorder.unusable.size(), 1u);
    EXPECT_EQ(recorder.unusable[0].first, (folder / "missing").string());
    EXPECT_FALSE(recorder.unusable[0].second.empty());
    EXPECT_EQ(recorder.lastDone, recorder.lastAll);
    // Found at its own speed, the printer was never switched to another.
    EXPECT_EQ(printer.currentSpeed(), 38400u);
}

TEST_F(PrinterSearchTest, NetworkFindsThePrinterAmongItsBlock)
{
    sim::VirtualPrinter printer({.servePty = false, .udpAddress = "127.0.0.1:0"});
    printer.start();
    auto peers = addressNeighbourhood("127.0.0.1", std::to_string(printer.udpPort()));
    ASSERT_TRUE(peers);
    ASSERT_EQ(peers->size(), 254u);
    SearchPlan plan;
    plan.peers = *peers;
    plan.networkLimits.wait = std::chrono::milliseconds(300);
    {
        PrinterSearch search(plan, folder.string(), recorder.events());
        search.start();
        recorder.waitUntil([&] { return recorder.finished; });
    }
    ASSERT_EQ(recorder.found.size(), 1u);
    EXPECT_EQ(recorder.found[0].where, "127.0.0.1");
    EXPECT_EQ(recorder.found[0].port, printer.udpPort());
    EXPECT_EQ(recorder.found[0].model, "PNF80");
    EXPECT_EQ(recorder.lastDone, 254u);
}

TEST_F(PrinterSearchTest, CancelEndsTheSearchWithoutTryingTheRest)
{
    sim::VirtualPrinter silent({.fault = {.mode = sim::FaultMode::Silent}});
    silent.start();
    SearchPlan plan;
    plan.serialPorts = {silent.devicePath(), silent.devicePath(), silent.devicePath()};
    PrinterSearch search(plan, folder.string(), recorder.events());
    search.start();
    recorder.waitUntil([&] { return !recorder.tried.empty(); });
    search.cancel();
    recorder.waitUntil([&] { return recorder.finished; });
    EXPECT_TRUE(recorder.cancelled);
    EXPECT_TRUE(recorder.found.empty());
    EXPECT_LT(recorder.tried.size(), 3u);
}

TEST(AddressNeighbourhood, IsTheBlockOfTheTypedAddressAtTheTypedPort)
{
    const auto peers = addressNeighbourhood("192.168.1.87", "9100");
    ASSERT_TRUE(peers);
    EXPECT_EQ(dottedAddress(peers->front().address), "192.168.1.1");
    EXPECT_EQ(dottedAddress(peers->back().address), "192.168.1.254");
    EXPECT_EQ(peers->front().port, 9100);
    // A port the link would not take falls back to the printer's own.
    EXPECT_EQ(addressNeighbourhood("10.0.0.5", "70000")->front().port, 5100);
    EXPECT_EQ(addressNeighbourhood("10.0.0.5", "")->front().port, 5100);
    for (const char* bad : {"", "192.168.1", "192.168.1.256", "192.168.1.0/16", "192.168.1.1:80", "printer"})
        EXPECT_FALSE(addressNeighbourhood(bad, "5100")) << bad;
}

}  // namespace
}  // namespace pst::requests
