// The worker's events without a dispatcher (as the command line takes
// them): delivered at once on the worker thread, in the order they happened,
// with the run already over when done or failed arrives.

#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/worker_fixture.h"

namespace pst::test {
namespace {

using namespace std::chrono_literals;

class DirectEventsFixture : public WorkerFixture {
protected:
    // Events that note what came, on which thread, and whether the worker
    // was still busy when the run's end was announced.
    void listenDirectly()
    {
        WorkerEvents events;
        events.linkFound = [this](const pst::PrinterFound& found) {
            noteRun(found.run);
            note("linkFound " + found.model + " " + std::to_string(found.deviceType));
        };
        events.linkFailed = [this](const WorkerFailure& failure) {
            noteRun(failure.run);
            note("linkFailed " + failure.text);
        };
        events.status = [this](const StatusUpdate& update) {
            noteRun(update.run);
            note("status " + update.text);
        };
        events.done = [this](const RunOutcome& outcome) {
            noteRun(outcome.run);
            end("done", nullptr);
        };
        events.failed = [this](const WorkerFailure& failure) {
            noteRun(failure.run);
            end("failed", &failure);
        };
        worker->setEvents(events);
    }

    bool waitForEnd()
    {
        std::unique_lock lock(mutex);
        return ended.wait_for(lock, 30s, [this] { return over; });
    }

    void note(const std::string& what)
    {
        std::lock_guard lock(mutex);
        seen.push_back(what);
        threads.push_back(std::this_thread::get_id());
    }

    void noteRun(RunId run)
    {
        std::lock_guard lock(mutex);
        runs.push_back(run);
    }

    void end(const std::string& what, const WorkerFailure* failure)
    {
        const bool busy = worker->busy();
        note(what);
        {
            std::lock_guard lock(mutex);
            busyAtEnd = busy;
            if (failure)
                endFailure = *failure;
            over = true;
        }
        ended.notify_all();
    }

    std::mutex mutex;
    std::condition_variable ended;
    std::vector<std::string> seen;
    std::vector<std::thread::id> threads;
    std::vector<RunId> runs;  // the run each event named
    WorkerFailure endFailure;
    bool busyAtEnd = true;
    bool over = false;
};

TEST_F(DirectEventsFixture, ALinkTestReportsOnTheWorkerThreadInOrderAndEndsAfterTheRun)
{
    startPrinter();
    startWorker(9600, 9600);
    listenDirectly();
    const RunId first = worker->StartOperation(Operation::LinkTest);
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(waitForEnd());
    {
        std::lock_guard lock(mutex);
        over = false;
        seen.clear();
        runs.clear();
        threads.clear();
    }
    // Each run has a number of its own, and every event of it names it.
    const RunId second = worker->StartOperation(Operation::LinkTest);
    ASSERT_GT(second, first);
    ASSERT_TRUE(waitForEnd());

    std::lock_guard lock(mutex);
    EXPECT_EQ(runs, std::vector<RunId>(runs.size(), second));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), "status Checking" + printer->devicePath());
    EXPECT_EQ(seen[seen.size() - 2].rfind("linkFound ", 0), 0u) << seen[seen.size() - 2];
    EXPECT_EQ(seen.back(), "done");
    EXPECT_FALSE(busyAtEnd);
    for (const auto id : threads)
        EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(DirectEventsFixture, AFailedRunCarriesItsCodeTextAndCause)
{
    startWorker(9600, 9600);  // no printer: the port does not exist
    listenDirectly();
    ASSERT_TRUE(worker->StartOperation(Operation::LinkTest));
    ASSERT_TRUE(waitForEnd());

    std::lock_guard lock(mutex);
    EXPECT_EQ(seen.back(), "failed");
    EXPECT_EQ(seen[seen.size() - 2], "linkFailed Connecting Failed");
    EXPECT_FALSE(busyAtEnd);
    EXPECT_EQ(endFailure.code, 1);
    EXPECT_EQ(endFailure.text, "Connecting Failed");
    EXPECT_EQ(endFailure.kind, FailureKind::Link);
    EXPECT_EQ(endFailure.cause, worker->status().failureCause());
    EXPECT_FALSE(endFailure.cause.empty());
}

}  // namespace
}  // namespace pst::test
