// Ctrl-C, SIGTERM or SIGHUP while pennafor-cli sends to a printer: the run
// stops between two blocks, the printer is switched back and the run's log
// saved, and the process exits as the signal would have ended it.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "cli/download_cli_fixture.h"
#include "texts/message_texts.h"

namespace {

using pst::test::DownloadCli;
using pst::test::Outcome;

class StopCli : public DownloadCli {
protected:
    void SetUp() override
    {
        DownloadCli::SetUp();
        // Paced as a real wire, so that a transfer takes seconds.
        startPrinter({.pace = true});
    }

    // Starts `args` on the printer and returns once a few blocks are in.
    pid_t startMidway(std::vector<std::string> args, std::vector<std::string> environment = {})
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--serial", port()});
        const pid_t pid = startCli(args, std::move(environment));
        EXPECT_TRUE(printer->waitForFrames(8, 30000)) << "the transfer never began";
        return pid;
    }

    Outcome signalledMidway(std::vector<std::string> args, int signal)
    {
        const pid_t pid = startMidway(std::move(args));
        ::kill(pid, signal);
        return finishCli(pid);
    }

    // Whether the command said it is stopping, within `limit`.
    bool saysStopping(std::chrono::seconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (pst::test::readFile(folder / "err").find("正在停止（") == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::string program(std::size_t bytes)
    {
        std::vector<std::uint8_t> image(bytes, 0x11);
        std::fill_n(image.begin() + 0x3000, 8, 0);
        const std::string tag = "PNF80";
        std::copy(tag.begin(), tag.end(), image.begin() + 0x3000);
        return write("p80.bin", image);
    }
};

TEST_F(StopCli, CtrlCStopsTheTransferAndLeavesThePrinterAsItWas)
{
    const std::string font = write("font.bin", std::vector<std::uint8_t>(256 * 1024, 0x5A));
    const Outcome o = signalledMidway({"download-font", font, "20000"}, SIGINT);
    EXPECT_EQ(o.status, 130) << o.err;
    EXPECT_NE(o.err.find("已停止："), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("已按要求停止（Ctrl-C）"), std::string::npos) << o.err;
    EXPECT_EQ(printer->currentSpeed(), 9600u);
    EXPECT_GT(std::filesystem::file_size(folder / "debug.log"), 0u);
    // Nothing is left for the next command to stumble over.
    EXPECT_EQ(cli({"test"}).status, 0);
}

// The result for a program tells the same status as the process.
TEST_F(StopCli, SigtermStopsTheSameWayAndTheJsonResultSaysSo)
{
    const std::string font = write("font.bin", std::vector<std::uint8_t>(256 * 1024, 0x5A));
    const Outcome o = signalledMidway({"--json", "download-font", font, "20000"}, SIGTERM);
    EXPECT_EQ(o.status, 143) << o.err;
    EXPECT_NE(o.err.find("已按要求停止（SIGTERM）"), std::string::npos) << o.err;
    EXPECT_NE(o.out.find("\"exit_status\":143"), std::string::npos) << o.out;
    EXPECT_EQ(printer->currentSpeed(), 9600u);
}

// A second request does not wait for the block, the switch back or the log.
TEST_F(StopCli, ASecondCtrlCEndsAtOnce)
{
    const std::string font = write("font.bin", std::vector<std::uint8_t>(256 * 1024, 0x5A));
    // Ending at once leaves the worker's threads where they are, which is
    // the point: ThreadSanitizer is not to count them as leaked.
    const char* sanitizer = std::getenv("TSAN_OPTIONS");
    const std::string options =
        "TSAN_OPTIONS=" + (sanitizer ? std::string(sanitizer) + ":" : std::string()) + "report_thread_leaks=0";
    const pid_t pid = startMidway({"download-font", font, "20000"}, {options});
    // A printer gone silent: stopping properly would wait for its replies.
    printer->setFault({.mode = pst::sim::FaultMode::Silent});
    ::kill(pid, SIGINT);
    // Two signals sent at once would arrive as one.
    EXPECT_TRUE(saysStopping(std::chrono::seconds(30)));
    ::kill(pid, SIGINT);
    const Outcome o = finishCli(pid);
    EXPECT_EQ(o.status, 130) << o.err;
    EXPECT_EQ(o.err.find("已按要求停止"), std::string::npos) << o.err;
}

// The printer waits in download mode for the rest of its program: the
// user is told so, and what to do.
TEST_F(StopCli, AnInterruptedProgramUpdateSaysWhatToDo)
{
    const Outcome o = signalledMidway({"update-program", program(128 * 1024), "--wait", "0"}, SIGHUP);
    EXPECT_EQ(o.status, 129) << o.err;
    EXPECT_NE(o.err.find(pst::MessageText("sProgramIncompleteMsg")), std::string::npos) << o.err;
}

}  // namespace
