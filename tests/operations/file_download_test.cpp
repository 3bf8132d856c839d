// The file download over a fake context: what a failure in the middle
// leaves behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "operations/fake_context.h"
#include "operations/file_download.h"
#include "platform/file_bytes.h"

using namespace pst;
using namespace pst::test;

namespace {

std::string fontFile(std::size_t size)
{
    const auto path = std::filesystem::temp_directory_path() / ("pst_font_download_test-" + std::to_string(::getpid()) + ".bin");
    EXPECT_TRUE(writeFileBytes(path.string(), std::vector<std::uint8_t>(size, 0x5A)));
    return path.string();
}

}  // namespace

TEST(FileDownload, ABlockNeverConfirmedFailsTheRunAndClosesTheLink)
{
    FakeContext context;
    context.given.downloadList.push_back({fontFile(4 * 256), "Font ", "$33", "$1000"});
    context.unconfirmedSend = 3;

    RunFileDownload(context);

    EXPECT_EQ(context.code, 1);
    EXPECT_EQ(context.text, "Download Data Failed");
    EXPECT_EQ(context.cause, "Download Data Failed");
    // The third block is the last thing sent; the speed is not switched
    // back after the failure, but the link is let go.
    EXPECT_EQ(context.confirmedSends, 3);
    EXPECT_EQ(context.calls.back(), "close");
    EXPECT_EQ(context.count("restore speed"), 0);
    EXPECT_EQ(context.count("open"), 1);
}

TEST(FileDownload, AllBlocksConfirmedSwitchesBackAndCloses)
{
    FakeContext context;
    context.given.downloadList.push_back({fontFile(2 * 256 + 1), "Font ", "$33", "$1000"});

    RunFileDownload(context);

    EXPECT_EQ(context.code, 0);
    EXPECT_EQ(context.confirmedSends, 3);
    const std::vector<std::string> tail(context.calls.end() - 2, context.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"restore speed", "close"}));
}
