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
    bool startHandshakeRun() override
    {
        ++startsAsked;
        if (running)
            return false;
        ++runsStarted;
        running = true;
        return true;
    }
    bool busy() const override { return running; }
    std::string bootReplyText() const override { return reply; }
    void cancelRun() override
    {
        ++cancels;
        running = false;
    }

    bool running = false;
    std::string reply;
    int startsAsked = 0;
    int runsStarted = 0;
    int cancels = 0;
};

TEST(BootHandshake, RoundsStartTheRunAgainUntilTheLoaderAnswers)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    EXPECT_EQ(handshake.round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 1);
    // Still running: the start is refused, the round waits.
    EXPECT_EQ(handshake.round(), BootRound::Polling);
    EXPECT_EQ(worker.startsAsked, 2);
    EXPECT_EQ(worker.runsStarted, 1);
    // The run ended without an answer: the next round starts another.
    worker.running = false;
    worker.reply = "0";
    EXPECT_EQ(handshake.round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 2);
}

TEST(BootHandshake, TheMarkerReplyEndsItOnceItsRunIsOver)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    handshake.round();
    worker.reply = kBootReplyMarker;
    EXPECT_EQ(handshake.round(), BootRound::Polling);
    worker.running = false;
    EXPECT_EQ(handshake.round(), BootRound::Answered);
    EXPECT_EQ(handshake.round(), BootRound::Answered);
    EXPECT_EQ(worker.startsAsked, 1);
    EXPECT_EQ(worker.cancels, 0);
}

TEST(BootHandshake, CancelStopsTheRunningHandshakeAtOnce)
{
    FakeBootWorker worker;
    BootHandshake handshake(worker);
    handshake.round();
    ASSERT_TRUE(worker.running);
    handshake.cancel();
    EXPECT_EQ(worker.cancels, 1);
    EXPECT_FALSE(worker.running);
    EXPECT_TRUE(handshake.cancelled());
    EXPECT_EQ(handshake.round(), BootRound::Cancelled);
    EXPECT_EQ(worker.startsAsked, 1);
    // Entering boot mode again starts afresh.
    handshake.begin();
    EXPECT_EQ(handshake.round(), BootRound::Polling);
    EXPECT_EQ(worker.runsStarted, 2);
}

}  // namespace
