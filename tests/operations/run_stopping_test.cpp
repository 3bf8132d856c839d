// Stopping a long run over a fake context: nothing more is sent after the
// stop, the run ends as stopped and says how far it got; a stop after the
// last block changes nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "operations/fake_context.h"
#include "operations/file_download.h"
#include "operations/program_update.h"
#include "operations/run_stopping.h"
#include "platform/file_bytes.h"
#include "texts/message_texts.h"

using namespace pst;
using namespace pst::test;

namespace {

constexpr const char* kProgramEndSend = "confirmed send 46 at 0";

FakeContext programUpdate()
{
    FakeContext context;
    context.model = context.given.fileTag = "PNF80";
    context.given.programImage.assign(600, 0x11);
    return context;
}

FakeContext fontDownload()
{
    const auto path = std::filesystem::temp_directory_path() / ("pst_stopped_font-" + std::to_string(::getpid()) + ".bin");
    EXPECT_TRUE(writeFileBytes(path.string(), std::vector<std::uint8_t>(3 * 256 + 1, 0x5A)));
    FakeContext context;
    context.given.downloadList.push_back({path.string(), "FONT", "$35", "$1000"});
    return context;
}

bool called(const FakeContext& context, const std::string& call)
{
    return std::find(context.calls.begin(), context.calls.end(), call) != context.calls.end();
}

}  // namespace

TEST(RunStopping, AFontDownloadStopsBetweenBlocksAndSaysHowFarItGot)
{
    FakeContext stopped = fontDownload();
    stopped.cancelAtSend = 2;
    RunFileDownload(stopped);
    EXPECT_EQ(stopped.confirmedSends, 2);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.blocksDone, 2);
    EXPECT_EQ(stopped.blocksInAll, 4);
    EXPECT_EQ(stopped.text, "已停止：2 / 4 块已发送");
    // Ended as a failure ends: the close switches the printer back.
    EXPECT_EQ(stopped.calls.back(), "close");
    EXPECT_EQ(stopped.count("restore speed"), 0);

    FakeContext finished = fontDownload();
    finished.cancelAtSend = 4;
    RunFileDownload(finished);
    EXPECT_EQ(finished.confirmedSends, 4);
    EXPECT_FALSE(finished.stopped);
    EXPECT_EQ(finished.code, 0);
    EXPECT_EQ(finished.count("restore speed"), 1);
}

TEST(RunStopping, AStoppedProgramUpdateSaysThePrinterWaitsForTheProgram)
{
    FakeContext stopped = programUpdate();
    stopped.cancelAtSend = 1;
    RunProgramUpdate(stopped);
    EXPECT_EQ(stopped.confirmedSends, 1);
    EXPECT_FALSE(called(stopped, kProgramEndSend));
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.text, "已停止：1 / 3 块已发送\n" + MessageText(kProgramIncompleteKey));
    EXPECT_EQ(stopped.calls.back(), "close");

    // Stopped before the connect request: the printer was never touched.
    FakeContext early = programUpdate();
    early.isCancelled = true;
    RunProgramUpdate(early);
    EXPECT_FALSE(called(early, "connect"));
    EXPECT_EQ(early.text, "已停止：0 / 3 块已发送");

    // The last block was confirmed before the stop: the update completes.
    FakeContext finished = programUpdate();
    finished.cancelAtSend = 3;
    RunProgramUpdate(finished);
    EXPECT_TRUE(called(finished, kProgramEndSend));
    EXPECT_EQ(finished.code, 0);
    EXPECT_EQ(finished.statusTexts.back(), "更新程序完成");
}

TEST(RunStopping, AReadBackStopsBetweenRequestsAndTellsTheBlocksRead)
{
    FakeContext readBack;
    readBack.arg2 = 4 * 256;
    readBack.given.readBackFile = (std::filesystem::temp_directory_path() / ("pst_stopped_read-" + std::to_string(::getpid()) + ".bin")).string();
    readBack.readReplyBytes = 256;
    readBack.cancelAtRead = 1;
    RunMemoryReadBack(readBack);
    EXPECT_EQ(readBack.readRequests, 1);
    EXPECT_EQ(readBack.text, "已停止：1 / 4 块已读取");
    EXPECT_FALSE(std::filesystem::exists(readBack.given.readBackFile));

    // Stopped while checking a download: every block went, the check did not.
    FakeContext verified = fontDownload();
    verified.given.verify = true;
    verified.readReplyBytes = 256;
    verified.cancelAtRead = 2;
    RunFileDownload(verified);
    EXPECT_EQ(verified.confirmedSends, 4);
    EXPECT_EQ(verified.readRequests, 2);
    EXPECT_EQ(verified.text, "已停止校验：2 / 4 块已读回；数据已发送，但没有校验");
}
