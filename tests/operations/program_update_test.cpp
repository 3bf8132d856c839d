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

    SetMessageText("sProgramUpdatingMsg", "Updating the program, please wait...");
    FakeContext firmware;
    firmware.given.waitTimeMs = 4000;
    firmware.given.programImage.assign(600, 0x22);
    RunFirmwareUpdate(firmware);
    EXPECT_EQ(firmware.statusTexts, (std::vector<std::string>{"Waiting 4 seconds...",
                                                              "Updating the program, please wait...",
                                                              "Program update complete"}));
}

// The loader stream cannot be confirmed, so whatever could be known before
// or while it goes must stop it: nothing may end as "complete" after it.
TEST_F(ProgramUpdateTexts, FirmwareThatCannotReachALoaderFailsInsteadOfFinishing)
{
    const auto firmwareRun = [](auto prepare) {
        FakeContext context;
        context.given.programImage.assign(600, 0x22);
        prepare(context);
        RunFirmwareUpdate(context);
        return context;
    };
    const FakeContext empty = firmwareRun([](FakeContext& c) { c.given.programImage.clear(); });
    EXPECT_EQ(empty.text, "文件是空的");
    EXPECT_EQ(std::count_if(empty.calls.begin(), empty.calls.end(),
                            [](const std::string& call) { return call.rfind("write", 0) == 0; }),
              0);

    const FakeContext network = firmwareRun([](FakeContext& c) { c.run.kind = LinkKind::Network; });
    EXPECT_EQ(network.text, "固件只能通过串口更新");

    // The second block is refused by the link: the third is never written.
    const FakeContext refused = firmwareRun([](FakeContext& c) { c.refuseWrite = 2; });
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.text, "命令未能发出：连接没有打开或拒绝了数据\n出错前已发送 1 / 3 块\n" +
                  MessageText("sFirmwareIncompleteMsg"));
    EXPECT_EQ(std::count_if(refused.calls.begin(), refused.calls.end(),
                            [](const std::string& call) { return call.rfind("write", 0) == 0; }),
              2);
    // Stopped after the first write: nothing more goes to the loader, and
    // the stop says the firmware is incomplete.
    const FakeContext cancelled = firmwareRun([](FakeContext& c) { c.cancelAtWrite = 1; });
    EXPECT_EQ(std::count_if(cancelled.calls.begin(), cancelled.calls.end(),
                            [](const std::string& call) { return call.rfind("write", 0) == 0; }),
              1);
    EXPECT_TRUE(cancelled.stopped);
    EXPECT_EQ(cancelled.text, "已停止：1 / 3 块已发送\n固件只发送了一部分：请先再次运行固件更新，再使用打印机");
    for (const FakeContext* failed : {&empty, &network, &refused, &cancelled})
        EXPECT_EQ(std::find(failed->statusTexts.begin(), failed->statusTexts.end(), "更新程序完成"),
                  failed->statusTexts.end());
}

// From the connect request on, the printer waits in download mode: a
// failure there must say how far the program got and what to do next, in
// the text both the window and the command line show.
TEST_F(ProgramUpdateTexts, AFailureInDownloadModeSaysHowFarItGotAndWhatToDo)
{
    const auto failingAt = [](int send) {
        FakeContext context;
        context.model = context.given.fileTag = "PNF80";
        context.given.programImage.assign(20 * 256, 0x11);
        context.unconfirmedSend = send;
        RunProgramUpdate(context);
        return context;
    };
    const std::string whatToDo =
        "打印机停在下载模式，程序没有写完：请再次运行程序更新（update-program）。如果打印机不再应答，"
        "请进入BOOT模式（boot-handshake），再发送固件（固件更新，update-firmware）";
    const FakeContext midway = failingAt(11);
    EXPECT_EQ(midway.code, 1);
    EXPECT_FALSE(midway.stopped);
    EXPECT_EQ(midway.text, "Download Data Failed\n出错前已发送 10 / 20 块\n" + whatToDo);
    // Every block taken but not the end: still waiting for it.
    EXPECT_EQ(failingAt(21).text, "Download Data Failed\n出错前已发送 20 / 20 块\n" + whatToDo);

    SetMessageText("sFailedAfterMsg", "%d of %d blocks were sent before the failure");
    SetMessageText("sProgramIncompleteMsg", "Run the program update again");
    EXPECT_EQ(failingAt(1).text, "Download Data Failed\n0 of 20 blocks were sent before the failure\n"
                                 "Run the program update again");
}
