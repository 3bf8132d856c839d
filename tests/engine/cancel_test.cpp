// Cancelling a run: the worker's pauses end at once, and the next run is
// not cancelled by the one before.

#include "engine/worker_fixture.h"

#include <thread>

#include "platform/manual_reset_event.h"

using namespace pst;
using namespace pst::test;
using namespace std::chrono_literals;

TEST_F(WorkerFixture, CancellingEndsAPauseAtOnce)
{
    startWorker();
    ManualResetEvent pausing;
    finished = false;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(worker->startCustom([&](TCommThread& w) {
        pausing.set();
        w.pause(60000);
    }));
    // Cancelled from another thread, as a window's service would.
    std::thread canceller([&] {
        pausing.wait(10s);
        worker->cancelOperation();
    });
    EXPECT_TRUE(ui->runUntil([&] { return finished; }, 30s));
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_TRUE(has(Done));
}

TEST_F(WorkerFixture, ACancelAppliesToTheCurrentRunOnly)
{
    startWorker();
    worker->cancelOperation();  // nothing runs: nothing to stop

    bool cancelledInNextRun = true;
    finished = false;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(worker->startCustom([&](TCommThread& w) {
        cancelledInNextRun = w.cancelled();
        w.pause(50);
    }));
    ASSERT_TRUE(ui->runUntil([&] { return finished; }, 10s));
    EXPECT_FALSE(cancelledInNextRun);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}
