// The settings and raw printer commands of pennafor-cli, run as a user runs
// them: separate processes against the virtual printer.

#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_process.h"
#include "virtual_printer.h"

namespace {

class SettingsCli : public pst::test::CliProcessTest {
protected:
    void SetUp() override
    {
        CliProcessTest::SetUp();
        port = (folder / "printer").string();
        printer = std::make_unique<pst::sim::VirtualPrinter>(pst::sim::SimOptions{.ptyLink = port});
        printer->start();
    }

    void TearDown() override
    {
        printer.reset();
        CliProcessTest::TearDown();
    }

    // pennafor-cli against the printer; `global` options go before the command.
    pst::test::Outcome cli(const std::vector<std::string>& args, const std::vector<std::string>& global = {})
    {
        std::vector<std::string> all{"--data-dir", folder.string(), "--serial", port};
        all.insert(all.end(), global.begin(), global.end());
        all.insert(all.end(), args.begin(), args.end());
        return runCli(all);
    }

    bool printerReaches(const std::function<bool(const pst::sim::PrinterState&)>& ready)
    {
        return printer->waitFor(ready, 3000);
    }

    std::string port;
    std::unique_ptr<pst::sim::VirtualPrinter> printer;
};

}  // namespace

TEST_F(SettingsCli, SetCodepageTakesTheItemTextOrItsPosition)
{
    pst::test::Outcome o = cli({"set-codepage", "CP850:Latin1;Western European"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "设置代码页成功\n");
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.codePage == 2; }));

    o = cli({"set-codepage", "51"});  // "CP874:Thai"
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.codePage == 47; }));
    EXPECT_NE(pst::test::readFile(folder / "debug.log").find("Close" + port), std::string::npos);
}

TEST_F(SettingsCli, TestPrintPrintsTheReceipt)
{
    const pst::test::Outcome o = cli({"test-print"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "命令已发送，打印机不作确认\n");
    ASSERT_TRUE(printerReaches([](const auto& s) {
        return !s.printed.empty() && s.printed.back().kind == pst::sim::PrintedItem::Kind::Cut;
    }));
    EXPECT_NE(printer->stateJson().find(R"("text":"Welcome to printer BlackMark function")"),
              std::string::npos);
    EXPECT_NE(pst::test::readFile(folder / "debug.log").find("Send 235 Bytes"), std::string::npos);
}

TEST_F(SettingsCli, BadInputGetsTheWindowsMessageAndStartsNothing)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"set-net-ip", "192.168.1.300"}, "IP 地址不正确\n"},
        {{"set-net-gateway", "192.168.1.256"}, "ADDRESS：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）\n"},
        {{"set-wifi-sta", "--ssid", "s", "--static", "--ip", "192.168.1.87", "--mask", "255.255.255.255",
          "--gateway", "192.168.1.1"},
         "--mask：请输入完整的地址，如 192.168.1.87（四段，每段 0 到 255）\n"},
        {{"set-product", "--name", ""}, "设备名称不能为空\n"},
        {{"set-net-port", "1"}, "PORT：请输入 2 到 65535 之间的整数\n"},
        {{"set-net-mac", "65", "zz", "67", "68"}, "MAC 4：请输入 00 到 FF 之间的十六进制数\n"},
        {{"set-net-mac", "100:0:0:0"}, "MAC 3：请输入 00 到 FF 之间的十六进制数\n"},
        {{"set-net-mac", "0x65", "0x66", "67", "1FF"}, "MAC 6：请输入 00 到 FF 之间的十六进制数\n"},
        {{"black-mark-distance", "9999"}, "MM：请输入 400 到 4000 之间的整数\n"},
        {{"set-bluetooth", "--name", "P", "--type", "7ab"}, "--type 只接受最多 3 位的整数，'7ab' 不行\n"},
        {{"set-bluetooth", "--password", "1234"},
         "请填写蓝牙名称或双模蓝牙名称：两者都为空时不发送任何数据\n"},
    };
    for (const auto& [args, message] : cases) {
        const pst::test::Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args[0];
        // The window's message in the form of every command-line mistake.
        EXPECT_EQ(o.err, "pennafor-cli: " + message + "请运行 'pennafor-cli " + args[0] + " --help' 查看用法。\n")
            << args[0];
    }
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"set-switches", "--density", "vivid"},
                                               {"set-codepage", "Klingon"},
                                               {"black-mark", "maybe"},
                                               {"set-sleep", "--sleep", "0", "--poweroff", "1"},
                                               {"close-wifi", "now"}}) {
        const pst::test::Outcome o = cli(args);
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
    pst::test::Outcome o = cli({"set-baudrate", "115200"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(
        o.out,
        "设置波特率成功\n打印机现在以 115200 bit/s 接收：以后请使用 --device-speed 115200。\n");
    o = cli({"test"}, {"--device-speed", "115200"});
    EXPECT_EQ(o.status, 0) << o.err;
    // Bare commands go out at the device speed given.
    o = cli({"bluetooth-hiding", "on"}, {"--device-speed", "115200"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(printerReaches([](const auto& s) { return s.settings.bluetooth.hidden; }));
}

// The all-parameters block is stored, not acted on: the printer keeps its
// speed until it restarts, so nothing may say it listens at the new one.
TEST_F(SettingsCli, AllParamsWithANewSpeedSaysItWasSentAndHowToFindThePrinter)
{
    const pst::test::Outcome o = cli({"set-all-params", "--codepage", "CP850", "--baudrate", "19200", "--density",
                                      "normal", "--font", "12x24", "--cutter", "on", "--buzzer", "off", "--feed",
                                      "0x0A", "--sleep", "60", "--poweroff", "3600"},
                                     {"--language", "en"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("The printer was sent 19200 bit/s: it takes that speed once restarted or reconnected; "
                         "pennafor-cli find tells the speed it answers at\n"),
              std::string::npos)
        << o.out;
    EXPECT_EQ(o.out.find("listens at"), std::string::npos) << o.out;
}

TEST_F(SettingsCli, HelpListsEveryCommandOnALineAndEachCommandExplainsItself)
{
    const pst::test::Outcome help = cli({"--help"});
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

    const pst::test::Outcome one = cli({"set-switches", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("--density light|normal|slightly-dark|dark"), std::string::npos);
}

TEST_F(SettingsCli, GlobalOptionsAfterTheCommandAndTheUsualLinkInItsOrder)
{
    // Every option after the command, the language included.
    pst::test::Outcome o = runCli({"set-codepage", "CP850", "--serial", port, "--data-dir", folder.string(),
                                   "--language", "en"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Code page set\n");

    const std::string nowhere = (folder / "nowhere").string();
    const auto test = [&](std::vector<std::string> words, const std::string& variable) {
        words.insert(words.begin(), {"--data-dir", folder.string()});
        words.push_back("test");
        return runCli(words, variable.empty() ? "" : "PENNAFOR_LINK=" + pst::test::shellQuote(variable) + " ");
    };
    const auto settings = [&](const std::string& cli) { std::ofstream(folder / "sysconfig.ini") << "[Cli]\n" << cli; };
    settings("Link=serial:" + port + "\n");
    EXPECT_EQ(test({}, "").status, 0);
    settings("Link=serial:" + nowhere + "\n");
    o = test({}, "");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find(nowhere), std::string::npos) << o.err;
    EXPECT_EQ(test({}, "serial:" + port).status, 0);
    EXPECT_EQ(test({"--serial", port}, "serial:" + nowhere).status, 0);
    o = test({}, "udp:");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("PENNAFOR_LINK"), std::string::npos) << o.err;
    settings("Link=serial:" + port + "\nDeviceSpeed=14400\n");
    EXPECT_EQ(test({}, "").status, 2);
    EXPECT_EQ(test({"--device-speed", "9600"}, "").status, 0);
}

TEST_F(SettingsCli, SetSwitchesKeepsTheStoredValuesOfTheOptionsLeftOut)
{
    const auto switches = [&] {
        std::pair<unsigned, unsigned> seen;
        printer->waitFor([&](const auto& s) {
            seen = {s.settings.optionFlags, s.settings.lineFeed};
            return true;
        }, 1000);
        return seen;
    };
    ASSERT_EQ(cli({"set-switches", "--density", "dark", "--font", "9x24", "--cutter", "off", "--buzzer", "off",
                   "--feed", "0x0D"}).status, 0);
    const auto wanted = switches();
    ASSERT_EQ(cli({"set-switches", "--density", "light", "--font", "12x24", "--cutter", "on", "--buzzer", "on",
                   "--feed", "0x0A"}).status, 0);
    ASSERT_NE(switches(), wanted);

    // As the parameter window stored them, its list text in Chinese.
    std::ofstream(folder / "sysconfig.ini")
        << "[ParaDefault]\nDark=高浓度\nFontValue=9x24\nCutPaper=0\nbuzzer=1\nForcePaper=0X0D\n";
    const pst::test::Outcome o = cli({"set-switches", "--buzzer", "off"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "未给出的选项沿用已保存的值：--density dark, --font 9x24, --cutter off, --feed 0x0D\n"
                     "设置设备开关选项成功\n");
    EXPECT_EQ(switches(), wanted);
}
