// The progress line's figures, and how often each kind of output gets one.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/progress_display.h"
#include "cli/progress_line.h"

using pst::cli::ProgressDisplay;
using pst::cli::progressLine;
using pst::cli::ProgressStyle;

TEST(ProgressLine, ShowsBarShareRateAndTimeLeftThenTimeTaken)
{
    EXPECT_EQ(progressLine({512 * 1024, 1024 * 1024, 4.0}, true),
              "[############------------]   50.0%  512.0 KiB / 1.0 MiB  128.0 KiB/s  剩余 0:04");
    // Nothing has gone yet: no rate to tell the time left by.
    EXPECT_EQ(progressLine({0, 2048, 0.0}, false), "  0.0%  0 B / 2.0 KiB");
    // A count past the total (the last block padded) shows as the end.
    EXPECT_EQ(progressLine({2100, 2048, 3723.0}, false), "100.0%  2.0 KiB / 2.0 KiB  用时 1:02:03");
}

namespace {

// The lines a transfer of `total` bytes in steps of 1 % leaves on `out`.
std::string transfer(ProgressStyle style, std::int64_t total, int transfers = 1)
{
    std::ostringstream out;
    auto now = std::chrono::steady_clock::time_point{};
    ProgressDisplay display(out, style, [&] { return now += std::chrono::milliseconds(70); });
    for (int round = 0; round < transfers; ++round)
        for (std::int64_t done = 0; done <= total; done += total / 100)
            display.show(done, total);
    display.end();
    return out.str();
}

}  // namespace

TEST(ProgressDisplay, APipeGetsALineEachTenthAndATerminalOneLineRedrawn)
{
    const std::string piped = transfer(ProgressStyle::Tenths, 409600);
    EXPECT_EQ(std::ranges::count(piped, '\n'), 11) << piped;
    EXPECT_EQ(piped.find('\r'), std::string::npos);
    EXPECT_NE(piped.find(" 50.0%"), std::string::npos);
    EXPECT_EQ(piped.substr(piped.rfind("100.0%")), "100.0%  400.0 KiB / 400.0 KiB  用时 0:07\n");
    // A second transfer counts its tenths afresh.
    EXPECT_EQ(std::ranges::count(transfer(ProgressStyle::Tenths, 409600, 2), '\n'), 22);

    const std::string terminal = transfer(ProgressStyle::InPlace, 409600);
    EXPECT_EQ(std::ranges::count(terminal, '\n'), 1);
    EXPECT_EQ(std::ranges::count(terminal, '\r'), 101);
    EXPECT_EQ(terminal.back(), '\n');

    EXPECT_EQ(transfer(ProgressStyle::None, 409600), "");
}
