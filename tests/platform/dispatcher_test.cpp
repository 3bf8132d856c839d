#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/dispatcher.h"

using namespace pst;
using namespace std::chrono_literals;

TEST(Dispatcher, RunsPostedCallsOnTheOwningThreadInPostingOrder)
{
    auto d = Dispatcher::current();
    std::vector<int> seen;
    std::vector<std::thread::id> threads;
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i)
            d->post([&, i] {
                seen.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
    });
    EXPECT_TRUE(d->runUntil([&] { return seen.size() == 100; }, 5s));
    poster.join();
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(Dispatcher, SendBlocksTheSenderUntilTheCallHasRun)
{
    auto d = Dispatcher::current();
    std::atomic<bool> ran{false};
    std::atomic<bool> senderReturned{false};
    bool ranBeforeReturn = false;
    std::thread sender([&] {
        d->send([&] { ran = true; });
        ranBeforeReturn = ran.load();
        senderReturned = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(senderReturned.load());
    d->runUntil([&] { return ran.load(); }, 5s);
    sender.join();
    EXPECT_TRUE(ranBeforeReturn);
}

TEST(Dispatcher, SendOnTheOwningThreadRunsInline)
{
    auto d = Dispatcher::current();
    bool ran = false;
    EXPECT_TRUE(d->send([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(Dispatcher, ShutdownReleasesWaitingSendersAndRefusesNewCalls)
{
    auto d = std::make_shared<Dispatcher>();  // owned by this thread
    std::atomic<int> result{-1};
    std::thread sender([&] { result = d->send([] {}) ? 1 : 0; });
    while (!d->waitForWork(10ms)) { }
    d->shutdown();
    sender.join();
    EXPECT_EQ(result.load(), 0);
    bool ran = false;
    d->post([&] { ran = true; });
    EXPECT_EQ(d->processPending(), 0u);
    EXPECT_FALSE(ran);
}

TEST(Dispatcher, RunUntilReturnsFalseWhenTheTimeoutPasses)
{
    auto d = std::make_shared<Dispatcher>();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(d->runUntil([] { return false; }, 30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}
