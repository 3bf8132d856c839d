#include "cli_options.h"
#include "printer_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>

namespace pst::sim::test {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "pst-sim-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

std::string slurp(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(PrinterTest, StateFileIsReplacedWholeAfterEachEvent)
{
    TempDir dir;
    SimOptions opts;
    opts.stateFile = (dir / "state.json").string();
    startPrinter(opts);
    Bytes bad = packet(0x31, 4);
    bad[14] ^= 0xFF;
    port().send(bad);
    port().send(identifyPacket());
    ASSERT_EQ(port().readReply().size(), 25u);
    // The state is written before the next request is served, so a second
    // round trip guarantees the first one is on disk.
    port().send(packet(0x8D, 0, 0, {1}));
    ASSERT_EQ(port().readReply().size(), 16u);

    const std::string json = slurp(dir / "state.json");
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    EXPECT_NE(json.find(R"("model":"PNF80")"), std::string::npos);
    EXPECT_NE(json.find(R"("startSpeed":9600)"), std::string::npos);
    EXPECT_NE(json.find(R"("badFrames":1)"), std::string::npos);
    EXPECT_NE(json.find(R"("command":"0x30","arg1":0,"arg2":0,"length":8,"payload":"0102040810204080")"),
              std::string::npos);
    EXPECT_NE(json.find(R"("device":")" + printer().devicePath()), std::string::npos);
    printer().stop();  // a write may still be in flight until then
    EXPECT_FALSE(fs::exists(dir / "state.json.tmp"));
}

TEST(VirtualPrinterState, JsonEscapesAwkwardModelText)
{
    SimOptions opts;
    opts.model = "a\"b\\\n\x01\xE9";
    VirtualPrinter printer(opts);
    EXPECT_NE(printer.stateJson().find(R"("model":"a\"b\\\n\u0001\u00e9")"), std::string::npos);
}

TEST(VirtualPrinterLifecycle, LinkPointsAtDeviceAndGoesAwayOnStop)
{
    TempDir dir;
    const fs::path link = dir / "printer";
    fs::create_symlink("/nonexistent", link);  // stale link from an earlier run
    SimOptions opts;
    opts.ptyLink = link.string();
    {
        VirtualPrinter printer(opts);
        printer.start();
        EXPECT_EQ(fs::read_symlink(link).string(), printer.devicePath());
        HostPort port(link.string());
        port.send(identifyPacket());
        EXPECT_EQ(port.readReply().size(), 25u);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    std::ofstream(link.string()) << "not a link";
    VirtualPrinter refused(opts);
    EXPECT_THROW(refused.start(), std::runtime_error);
}

TEST(SimCommandLine, ParsesOptionsAndRejectsBadUsage)
{
    const auto ok = parseCommandLine({"--pty", "/tmp/p", "--speed=115200", "--fault", "split:2", "--split-ms",
                                      "7", "--pace", "--model", "PNF58"});
    ASSERT_EQ(ok.action, CommandLine::Action::Run) << ok.error;
    EXPECT_EQ(ok.options.ptyLink, "/tmp/p");
    EXPECT_EQ(ok.options.speed, 115200u);
    EXPECT_EQ(ok.options.fault.mode, FaultMode::Split);
    EXPECT_EQ(ok.options.fault.count, 2);
    EXPECT_EQ(ok.options.fault.splitPauseMs, 7);
    EXPECT_TRUE(ok.options.pace);
    EXPECT_EQ(ok.options.model, "PNF58");

    for (const auto& bad : std::vector<std::vector<std::string>>{{"--speed", "12345"},
                                                                 {"--fault", "wobbly"},
                                                                 {"--fault", "late:x"},
                                                                 {"--fault", "corrupt-write"},
                                                                 {"--fault", "corrupt-write:0"},
                                                                 {"--model", "TOOLONGNAME"},
                                                                 {"--state"},
                                                                 {"--bogus"}}) {
        EXPECT_EQ(parseCommandLine(bad).action, CommandLine::Action::Error) << bad[0];
    }
    EXPECT_EQ(parseCommandLine({"--help"}).action, CommandLine::Action::Help);
}

}  // namespace
}  // namespace pst::sim::test
