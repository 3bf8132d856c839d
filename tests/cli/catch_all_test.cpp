// main's last guard: whatever escapes a command becomes a message and exit
// status 1.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cli/catch_all.h"

TEST(CatchAll, AnEscapedFailureIsAMessageAndStatusOne)
{
    std::ostringstream err;
    EXPECT_EQ(pst::cli::runCatchingAll(err, [] { return 7; }), 7);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(pst::cli::runCatchingAll(err, []() -> int { throw std::out_of_range("index 9 of 3"); }), 1);
    EXPECT_EQ(err.str(), "意外错误：index 9 of 3\n");
    EXPECT_EQ(pst::cli::runCatchingAll(err, []() -> int { throw 42; }), 1);
}
