// What a command tells of itself when the printer did not hear it: debug.log
// and --json describe the command the user ran, not the questions asked at
// other speeds afterwards to find the printer.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "virtual_printer.h"

namespace {

using nlohmann::json;

constexpr const char* kProbesHeading = "---- Probes after the failure ----";

class FailedRunCli : public pst::test::CliProcessTest {
protected:
    void SetUp() override
    {
        CliProcessTest::SetUp();
        // Listening at 38400: it hears neither the switch at 9600 nor the
        // switch back at 115200, and answers the probe at its own speed.
        printer = std::make_unique<pst::sim::VirtualPrinter>(
            pst::sim::SimOptions{.ptyLink = (folder / "printer").string(), .speed = 38400});
        printer->start();
    }

    pst::test::Outcome cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--language", "en", "--json", "--serial",
                                   (folder / "printer").string(), "--device-speed", "9600", "--transfer-speed",
                                   "115200"});
        return runCli(args);
    }

    std::string debugLog() const { return pst::test::readFile(folder / "debug.log"); }

    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

TEST_F(FailedRunCli, TheCommandsOwnExchangesComeFirstAndItsOwnFailureIsReported)
{
    const pst::test::Outcome o = cli({"set-codepage", "CP850"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("The printer answers at 38400 bit/s"), std::string::npos) << o.err;

    const json result = json::parse(o.out);
    EXPECT_EQ(result["error"]["text"], "Set Baudrate Failed") << o.out;
    EXPECT_FALSE(result.contains("model")) << o.out;  // only a probe read it
    EXPECT_EQ(result["link"]["device_speed"], 9600);

    const std::string log = debugLog();
    const std::size_t heading = log.find(kProbesHeading);
    ASSERT_NE(heading, std::string::npos) << log;
    EXPECT_EQ(log.find(kProbesHeading, heading + 1), std::string::npos) << log;
    // The switch, unheard; the switch back at the transfer speed; the close.
    const std::string own = log.substr(0, heading);
    EXPECT_EQ(own.rfind("Open", 0), 0u) << log;
    EXPECT_LT(own.find("Send 16 Bytes"), own.find("Close")) << log;
    EXPECT_EQ(own.find("Receive"), std::string::npos) << log;
    // Then the probes, the last of which the printer answered.
    EXPECT_NE(log.find("Receive 25 Bytes", heading), std::string::npos) << log;
}

TEST_F(FailedRunCli, AnAutoSpeedCommandReportsTheSpeedItWentOnAt)
{
    const pst::test::Outcome o = cli({"--auto-speed", "set-codepage", "CP850"});
    EXPECT_EQ(o.status, 0) << o.err;

    const json result = json::parse(o.out);
    EXPECT_TRUE(result["ok"].get<bool>()) << o.out;
    EXPECT_FALSE(result.contains("error")) << o.out;
    EXPECT_EQ(result["link"]["device_speed"], 38400) << o.out;
    EXPECT_EQ(result["link"]["transfer_speed"], 115200) << o.out;
    EXPECT_EQ(result["model"], "PNF80") << o.out;

    // The run that went on, after the probes that found the speed.
    const std::string log = debugLog();
    const std::size_t probes = log.find(kProbesHeading);
    const std::size_t again = log.find("---- The command again at 38400 bit/s ----");
    ASSERT_NE(again, std::string::npos) << log;
    EXPECT_LT(probes, again) << log;
    EXPECT_NE(log.find("Send 18 Bytes", again), std::string::npos) << log;  // the code page
}

}  // namespace
