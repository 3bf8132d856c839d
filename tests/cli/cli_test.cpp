// pennafor-cli as a user runs it: a separate process against the virtual
// printer, its output, exit status and "debug.log".

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "virtual_printer.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
            ("pst-cli-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    Outcome cli(const std::vector<std::string>& args)
    {
        std::string command = quote(PST_CLI_PATH);
        for (const auto& a : args)
            command += " " + quote(a);
        command += " >" + quote((folder / "out").string()) + " 2>" + quote((folder / "err").string()) +
            " </dev/null";
        const int raw = std::system(command.c_str());
        Outcome o;
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        o.out = readFile(folder / "out");
        o.err = readFile(folder / "err");
        return o;
    }

    fs::path folder;
};

}  // namespace

TEST_F(Cli, LinkTestPrintsTheStatusTextsAndWritesTheLog)
{
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string()});
    printer.start();
    const std::string port = (folder / "printer").string();
    const Outcome o = cli({"--data-dir", folder.string(), "--serial", port, "test"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Checking" + port + "\n" + port + "Found\n");
    EXPECT_EQ(o.err, "");
    const std::string log = readFile(folder / "debug.log");
    EXPECT_EQ(log.rfind("Open" + port + " ", 0), 0u) << log;
    EXPECT_NE(log.find("Send 25 Bytes"), std::string::npos);
    EXPECT_NE(log.find("Close" + port + " "), std::string::npos);
}

TEST_F(Cli, FailedTestPrintsTheErrorAndExitsWithOne)
{
    pst::sim::VirtualPrinter printer(
        {.ptyLink = (folder / "printer").string(), .fault = {.mode = pst::sim::FaultMode::Silent}});
    printer.start();
    const Outcome o = cli({"--data-dir", folder.string(), "--serial", (folder / "printer").string(),
                           "--transfer-speed", "9600", "test"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "Connecting Failed\n  cause: Received Failed\n");
}

TEST_F(Cli, SpeedThatIsNotANumberIsReportedAsTheRunsFailure)
{
    const Outcome o =
        cli({"--data-dir", folder.string(), "--serial", "/nonexistent", "--device-speed", "fast", "test"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "'fast' is not a valid integer value\n");
}

TEST_F(Cli, UsageErrorsExitWithTwoAndHelpListsTheCommands)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"--serial"}, {"--bogus", "test"}, {"test", "extra"}}) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(o.err.empty());
    }
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  test "), std::string::npos);
    EXPECT_EQ(cli({"--version"}).status, 0);
}
