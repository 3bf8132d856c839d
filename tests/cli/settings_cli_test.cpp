// The settings and raw printer commands of pennafor-cli, run as a user runs
// them: separate processes against the virtual printer.

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

class SettingsCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
            ("pst-settings-cli-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        port = (folder / "printer").string();
        printer = std::make_unique<pst::sim::VirtualPrinter>(pst::sim::SimOptions{.ptyLink = port});
        printer->start();
    }

    void TearDown() override
    {
        printer.reset();
        fs::remove_all(folder);
    }

    // pennafor-cli against the printer; `global` options go before the command.
    Outcome cli(const std::vector<std::string>& args, const std::vector<std::string>& global = {})
    {
        std::string command =
            quote(PST_CLI_PATH) + " --data-dir " + quote(folder.string()) + " --serial " + quote(port);
        for (const auto& a : global)
            command += " " + quote(a);
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

    bool printerReaches(const std::function<bool(const pst::sim::PrinterState&)>& ready)
    {
        return printer->waitFor(ready, 3000);
    }

    fs::path folder;
    std::string port;
    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

}  // namespace

TEST_F(SettingsCli, SetCodepageTakesTheItemTextOrItsPosition)
{
    Outcome o = cli({"set-codepage", "CP850:Latin1;Western European"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "设置代码页成功\n");
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.codePage == 2; }));

    o = cli({"set-codepage", "51"});  // "CP874:Thai"
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.codePage == 47; }));
    EXPECT_NE(readFile(folder / "debug.log").find("Close" + port), std::string::npos);
}

TEST_F(SettingsCli, TestPrintPrintsTheReceipt)
{
    const Outcome o = cli({"test-print"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");
    ASSERT_TRUE(printerReaches([](const auto& s) {
        return !s.printed.empty() && s.printed.back().kind == pst::sim::PrintedItem::Kind::Cut;
    }));
    EXPECT_NE(printer->stateJson().find(R"("text":"Welcome to printer BlackMark function")"),
              std::string::npos);
    EXPECT_NE(readFile(folder / "debug.log").find("Send 235 Bytes"), std::string::npos);
}

TEST_F(SettingsCli, BadInputGetsTheWindowsMessageAndStartsNothing)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"set-net-ip", "192.168.1.300"}, "IP 地址不正确\n"},
        {{"set-net-gateway", "192.168.1.256"}, "输入的IP有错!\n"},
        {{"set-wifi-sta", "--ssid", "s", "--static", "--ip", "192.168.1.87", "--mask", "255.255.255.255",
          "--gateway", "192.168.1.1"},
         "子网掩码不正确\n"},
        {{"set-product", "--name", ""}, "设备名称不能为空\n"},
        {{"set-net-port", "1"}, "The port must be from 2 to 65535\n"},
        {{"set-net-mac", "65", "zz", "67", "68"}, "'zz' is not a valid integer value\n"},
        {{"set-bluetooth", "--password", "1234"},
         "Give a Bluetooth name or a dual-mode Bluetooth name: with both empty nothing is sent\n"},
    };
    for (const auto& [args, message] : cases) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args[0];
        EXPECT_EQ(o.err, message) << args[0];
    }
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"set-switches", "--density", "normal"},
                                               {"set-codepage", "Klingon"},
                                               {"black-mark", "maybe"},
                                               {"set-sleep", "--sleep", "0", "--poweroff", "1"},
                                               {"close-wifi", "now"}}) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args[0];
        EXPECT_NE(o.err.find(args[0]), std::string::npos) << o.err;
    }
    // Nothing reached the printer, framed or raw.
    EXPECT_TRUE(printer->frames().empty());
    EXPECT_EQ(printer->ignoredBytes(), 0u);
    EXPECT_TRUE(
        printerReaches([](const auto& s) { return s.rawCommandsReceived == 0 && s.skippedBytes == 0; }));
}

TEST_F(SettingsCli, NewBaudRateThenALinkTestAtIt)
{
    Outcome o = cli({"set-baudrate", "115200"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(
        o.out,
        "设置波特率成功\nThe printer now listens at 115200 bit/s: give --device-speed 115200 from now on.\n");
    o = cli({"test"}, {"--device-speed", "115200"});
    EXPECT_EQ(o.status, 0) << o.err;
    // Bare commands go out at the device speed given.
    o = cli({"bluetooth-hiding", "on"}, {"--device-speed", "115200"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.bluetooth.hidden; }));
}

TEST_F(SettingsCli, HelpListsEveryCommandOnALineAndEachCommandExplainsItself)
{
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* name : {"set-codepage",
                             "set-baudrate",
                             "set-flow-control",
                             "set-switches",
                             "set-sleep",
                             "set-all-params",
                             "restore-defaults",
                             "set-bluetooth",
                             "set-bluetooth-work-mode",
                             "send-bluetooth-command",
                             "bluetooth-hiding",
                             "set-wifi-sta",
                             "set-wifi-ap",
                             "close-wifi",
                             "set-infrared",
                             "set-product",
                             "set-recycle-time",
                             "set-ip",
                             "raw-pair-8d",
                             "print-logos",
                             "set-usb-type",
                             "set-paper-type",
                             "set-print-order",
                             "black-mark",
                             "black-mark-distance",
                             "black-mark-width",
                             "black-mark-feed",
                             "find-black-mark",
                             "find-black-mark-cut",
                             "test-print",
                             "set-net-ip",
                             "set-net-mask",
                             "set-net-gateway",
                             "set-net-port",
                             "set-net-mac"})
        EXPECT_NE(help.out.find("\n  " + std::string(name) + " "), std::string::npos) << name;

    const Outcome one = cli({"set-switches", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("--density light|normal|slightly-dark|dark"), std::string::npos);
}
