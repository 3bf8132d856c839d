// The program and firmware updates over a fake context: the status texts
// they show come from the message table, and the restart wait names the
// wait that was asked for.

#include <gtest/gtest.h>

#include <algorithm>

#include "operations/fake_context.h"
#include "operations/program_update.h"
#include "texts/message_texts.h"

using namespace pst;
using namespace pst::test;

namespace {

class ProgramUpdateTexts : public ::testing::Test {
protected:
    void TearDown() override { ResetMessageTexts(); }

    FakeContext programRun(std::int32_t waitTimeMs, const std::string& printerModel = "PNF80")
    {
        FakeContext context;
        context.model = printerModel;
        context.given.fileTag = "PNF80";
        context.given.programImage.assign(300, 0x11);
        context.given.waitTimeMs = waitTimeMs;
        RunProgramUpdate(context);
        return context;
    }
};

}  // namespace

TEST_F(ProgramUpdateTexts, ChineseTextsAndTheWaitInWholeSeconds)
{
    EXPECT_EQ(programRun(5000).statusTexts,
              (std::vector<std::string>{"连接...", "连接完成", "等待5秒...", "更新程序完成"}));
    const FakeContext shorter = programRun(2000);
    EXPECT_EQ(shorter.statusTexts,
              (std::vector<std::string>{"连接...", "连接完成", "等待2秒...", "更新程序完成"}));
    // The texts bracket the connect request; the wait is the one asked for.
    const std::vector<std::string>& calls = shorter.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "connect"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "pause 2000"), calls.end());
    EXPECT_EQ(programRun(0).statusTexts.at(2), "等待0秒...");
    EXPECT_EQ(programRun(86400000).statusTexts.at(2), "等待86400秒...");
}

TEST_F(ProgramUpdateTexts, ALanguageFileReplacesEveryText)
{
    SetMessageText("sMsg3", "Connecting...");
    SetMessageText("sMsg4", "Connected");
    SetMessageText("sWaitSecondsMsg", "Waiting %d seconds...");
    SetMessageText("sFinishPrg", "Program update complete");
    SetMessageText("sMsg23", "The program file is not valid");
    EXPECT_EQ(programRun(3000).statusTexts,
              (std::vector<std::string>{"Connecting...", "Connected", "Waiting 3 seconds...",
                                        "Program update complete"}));

    const FakeContext mismatch = programRun(3000, "OTHER");
    EXPECT_EQ(mismatch.statusTexts, std::vector<std::string>{"The program file is not valid"});
    EXPECT_EQ(mismatch.text, "The program file is not valid");
    EXPECT_EQ(mismatch.code, 1);

    FakeContext firmware;
    firmware.given.waitTimeMs = 4000;
    RunFirmwareUpdate(firmware);
    ASSERT_FALSE(firmware.statusTexts.empty());
    EXPECT_EQ(firmware.statusTexts.front(), "Waiting 4 seconds...");
    EXPECT_EQ(firmware.statusTexts.back(), "Program update complete");
}
