#include <gtest/gtest.h>

#include "engine/status_text.h"

using namespace pst;
using namespace std::chrono_literals;

TEST(ProgressText, AppendsPercentAndBlocks)
{
    EXPECT_EQ(composeProgressText("Download ", 4096, 16384), "Download Finish 25.0%(16/64)");
    EXPECT_EQ(composeProgressText("x", 1, 3), "xFinish 33.3%(0/0)");
    EXPECT_EQ(composeProgressText("x", 20000, 16384), "xFinish 100.0%(78/64)");
    EXPECT_EQ(composeProgressText("plain", 5, 0), "plain");
}

TEST(StatusThrottle, PostsAtMostOnceEvery70MillisecondsExceptTheLast)
{
    auto now = std::chrono::steady_clock::time_point{} + 1h;
    StatusThrottle throttle([&] { return now; });
    EXPECT_TRUE(throttle.shouldPost(0, 100));  // the first is always shown
    now += 10ms;
    EXPECT_FALSE(throttle.shouldPost(10, 100));
    now += 60ms;  // 70 ms after the post: not more than 70
    EXPECT_FALSE(throttle.shouldPost(20, 100));
    now += 1ms;
    EXPECT_TRUE(throttle.shouldPost(30, 100));
    now += 1ms;
    EXPECT_TRUE(throttle.shouldPost(100, 100));  // the last one, at once
    now += 1ms;
    EXPECT_TRUE(throttle.shouldPost(0, 0));  // a plain text: done >= in all
}
