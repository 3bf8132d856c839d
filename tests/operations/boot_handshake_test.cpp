// The boot handshake over a fake context: the loader's answer, and leaving
// the handshake as stopped when the run is cancelled.

#include <gtest/gtest.h>

#include "operations/fake_context.h"
#include "operations/program_update.h"

using namespace pst;
using namespace pst::test;

TEST(BootHandshake, TheLoadersAnswerIsReportedAndThePortClosed)
{
    FakeContext context;
    context.firstRawByte = 0x61;

    RunBootHandshake(context);

    EXPECT_EQ(context.code, 0);
    EXPECT_EQ(context.bootReply, kBootReplyMarker);
    EXPECT_EQ(context.writes, 0);
    EXPECT_EQ(context.calls,
              (std::vector<std::string>{"open for boot loader", "close boot loader port", "pause 10"}));
    EXPECT_FALSE(context.bootPolling);
}

TEST(BootHandshake, CancellingStopsAtOnceWithoutAReply)
{
    FakeContext context;
    context.cancelAtWrite = 3;

    RunBootHandshake(context);

    EXPECT_EQ(context.writes, 3);
    // The pause that follows the write, cut short; then the port is let go,
    // so that a link test afterwards finds it free.
    EXPECT_EQ(context.calls[context.calls.size() - 2], "pause 50");
    EXPECT_EQ(context.calls.back(), "close boot loader port");
    EXPECT_TRUE(context.stopped);
    EXPECT_EQ(context.text, "已停止查找打印机的引导程序");
    EXPECT_EQ(context.bootReply, "");
    EXPECT_FALSE(context.bootPolling);
}

TEST(BootHandshake, ARunCancelledBeforeItStartsWritesNothing)
{
    FakeContext context;
    context.isCancelled = true;
    context.firstRawByte = 0x61;  // even an old answer is not reported

    RunBootHandshake(context);

    EXPECT_EQ(context.writes, 0);
    EXPECT_TRUE(context.stopped);
    EXPECT_EQ(context.bootReply, "");
}
