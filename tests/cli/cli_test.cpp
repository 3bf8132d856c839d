// pennafor-cli as a user runs it: a separate process against the virtual
// printer, its output, exit status and "debug.log".

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "virtual_printer.h"

namespace {

class Cli : public pst::test::CliProcessTest {
protected:
    pst::test::Outcome cli(const std::vector<std::string>& args) { return runCli(args); }
};

}  // namespace

TEST_F(Cli, LinkTestPrintsTheStatusTextsAndWritesTheLog)
{
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string()});
    printer.start();
    const std::string port = (folder / "printer").string();
    const pst::test::Outcome o = cli({"--data-dir", folder.string(), "--serial", port, "test"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Checking" + port + "\n" + port + "Found\n型号: PNF80\n");
    EXPECT_EQ(o.err, "");
    const std::string log = pst::test::readFile(folder / "debug.log");
    EXPECT_EQ(log.rfind("Open" + port + " ", 0), 0u) << log;
    EXPECT_NE(log.find("Send 25 Bytes"), std::string::npos);
    EXPECT_NE(log.find("Close" + port + " "), std::string::npos);
}

TEST_F(Cli, APrintersModelReachesTheTerminalEscaped)
{
    // What a printer, or anything answering in its place, says its model is:
    // an escape sequence that would clear the screen.
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string(), .model = "\x1b[2J\\Z"});
    printer.start();
    const std::string port = (folder / "printer").string();
    const pst::test::Outcome o = cli({"--data-dir", folder.string(), "--serial", port, "test"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("型号: \\x1b[2J\\\\Z\n"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find('\x1b'), std::string::npos);
}

TEST_F(Cli, FailedTestPrintsTheErrorAndExitsWithOne)
{
    pst::sim::VirtualPrinter printer(
        {.ptyLink = (folder / "printer").string(), .fault = {.mode = pst::sim::FaultMode::Silent}});
    printer.start();
    const pst::test::Outcome o = cli({"--data-dir", folder.string(), "--serial",
                                      (folder / "printer").string(), "--transfer-speed", "9600", "test"});
    EXPECT_EQ(o.status, 1);
    // No language chosen and no locale set: the program's own language,
    // fixed texts included.
    EXPECT_EQ(o.err, "连接失败\n  原因: 接收数据失败\n");
}

TEST_F(Cli, SpeedThePrinterHasNoCodeForIsACommandLineMistake)
{
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string()});
    printer.start();
    const std::string port = (folder / "printer").string();
    const std::string speeds = "(1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400)";
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--device-speed", "fast"},
             {"--device-speed", "14400"},
             {"--device-speed", "-9600"},
             {"--transfer-speed", "0"},
             {"--transfer-speed", ""},
             {"--transfer-speed", "115200x"}}) {
        const pst::test::Outcome o =
            cli({"--language", "en", "--data-dir", folder.string(), "--serial", port, option, value, "test"});
        EXPECT_EQ(o.status, 2) << option << " " << value;
        EXPECT_EQ(o.err, "pennafor-cli: " + option + ": '" + value + "' is not a serial speed " + speeds +
                      "\nTry 'pennafor-cli --help'.\n");
    }
    const pst::test::Outcome joined =
        cli({"--data-dir", folder.string(), "--serial", port, "--transfer-speed=7", "test"});
    EXPECT_EQ(joined.status, 2);
    // Nothing was sent: not even the port was opened.
    EXPECT_TRUE(printer.frames().empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "debug.log"));
    EXPECT_EQ(cli({"--data-dir", folder.string(), "--serial", port, "--device-speed", "9600",
                   "--transfer-speed", "230400", "test"})
                  .status,
              0);
}

TEST_F(Cli, UsageErrorsExitWithTwoAndHelpListsTheCommands)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"--serial"}, {"--bogus", "test"}, {"test", "extra"}}) {
        const pst::test::Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(o.err.empty());
    }
    const pst::test::Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  test "), std::string::npos);
    EXPECT_EQ(cli({"--version"}).status, 0);
}

TEST_F(Cli, LanguageOptionPrintsTheTextsOfThatLanguage)
{
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string()});
    printer.start();
    const std::string port = (folder / "printer").string();
    const pst::test::Outcome english = cli({"--data-dir", folder.string(), "--serial", port, "--language",
                                            "en", "set-codepage", "CP850:Latin1;Western European"});
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.out.find("设置"), std::string::npos) << english.out;
    const pst::test::Outcome chinese = cli({"--data-dir", folder.string(), "--serial", port, "--language",
                                            "zh", "set-codepage", "CP850:Latin1;Western European"});
    EXPECT_EQ(chinese.out, "设置代码页成功\n");
    EXPECT_EQ(cli({"--language", "fr", "test"}).status, 2);
}

TEST_F(Cli, WithoutAStoredLanguageTheLocaleVariablesDecide)
{
    pst::sim::VirtualPrinter printer({.ptyLink = (folder / "printer").string()});
    printer.start();
    const std::vector<std::string> args = {
        "--data-dir", folder.string(), "--serial", (folder / "printer").string(), "set-codepage", "CP850"};
    const pst::test::Outcome english = runCli(args, "LANG=en_US.UTF-8 ");
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.out, "Code page set\n");
    EXPECT_EQ(runCli(args, "LANG=zh_CN.UTF-8 ").out, "设置代码页成功\n");
    EXPECT_EQ(runCli(args, "LANG=C ").out, "Code page set\n");
    // LC_ALL comes first, and an empty one is skipped.
    EXPECT_EQ(runCli(args, "LC_ALL=zh_CN.UTF-8 LANG=en_US.UTF-8 ").out, "设置代码页成功\n");
    EXPECT_EQ(runCli(args, "LC_ALL= LC_MESSAGES=en_GB LANG=zh_CN.UTF-8 ").out, "Code page set\n");
    // None set: the built-in Chinese.
    EXPECT_EQ(runCli(args).out, "设置代码页成功\n");

    // The window's stored choice beats the environment, even a stored Chinese.
    std::ofstream(folder / "sysconfig.ini") << "[MainDefault]\nLanguage=0\n";
    EXPECT_EQ(runCli(args, "LANG=en_US.UTF-8 ").out, "设置代码页成功\n");
    std::ofstream(folder / "sysconfig.ini") << "[MainDefault]\nLanguage=1\n";
    EXPECT_EQ(runCli(args, "LANG=zh_CN.UTF-8 ").out, "Code page set\n");
    // And --language beats both.
    std::vector<std::string> chosen = args;
    chosen.insert(chosen.begin(), {"--language", "zh"});
    EXPECT_EQ(runCli(chosen, "LANG=en_US.UTF-8 ").out, "设置代码页成功\n");
}
