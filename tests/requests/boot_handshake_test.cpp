// The boot handshake against a worker stand-in: rounds start the handshake
// run until the loader's answer is in and its run is over; a cancel stops
// the running run at once and starts nothing more.

#include <gtest/gtest.h>

#include "operations/program_update.h"
#include "requests/boot_handshake.h"

using namespace pst;
using namespace pst::requests;

namespace {

class FakeBootWorker : public BootHandshakeWorker {
public:
    bool StartHandshakeRun() override
    {
        ++startsAsked;
        if (busy)
            return false;
        ++runsStarted;
        busy = true;
        return true;
    }
    bool Busy() const override { return busy; }
    std::string BootReplyText() const override { return reply; }
    void CancelRun() override
    {
        ++cancels;
        busy = false;
    }

    bool busy = false;
    std::string reply;
    int startsAsked = 0;
    int runsStarted = 0;
    int cancels = 0;
};

TEST(BootHandshake, RoundsStartTheRunAgainUntilTheLoaderAnswers)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    EXPECT_EQ(handshake.Round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 1);
    // Still running: the start is refused, the round waits.
    EXPECT_EQ(handshake.Round(), BootRound::Polling);
    EXPECT_EQ(worker.startsAsked, 2);
    EXPECT_EQ(worker.runsStarted, 1);
    // The run ended without an answer: the next round starts another.
    worker.busy = false;
    worker.reply = "0";
    EXPECT_EQ(handshake.Round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 2);
}

TEST(BootHandshake, TheMarkerReplyEndsItOnceItsRunIsOver)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    handshake.Round();
    worker.reply = kBootReplyMarker;
    EXPECT_EQ(handshake.Round(), BootRound::Polling);
    worker.busy = false;
    EXPECT_EQ(handshake.Round(), BootRound::Answered);
    EXPECT_EQ(handshake.Round(), BootRound::Answered);
    EXPECT_EQ(worker.startsAsked, 1);
    EXPECT_EQ(worker.cancels, 0);
}

TEST(BootHandshake, CancelStopsTheRunningHandshakeAtOnce)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    handshake.Round();
    ASSERT_TRUE(worker.busy);
    handshake.Cancel();
    EXPECT_EQ(worker.cancels, 1);
    EXPECT_FALSE(worker.busy);
    EXPECT_TRUE(handshake.Cancelled());
    EXPECT_EQ(handshake.Round(), BootRound::Cancelled);
    EXPECT_EQ(worker.startsAsked, 1);
    // Entering boot mode again starts afresh.
    handshake.Begin();
    EXPECT_EQ(handshake.Round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 2);
}

}  // namespace
