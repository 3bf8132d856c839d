// Finding a printer whose port, address or speed is not known: find,
// list-ports and the speed named (or taken) after a command the printer did
// not hear, run as a user runs them against virtual printers.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "platform/fake_tty_tree.h"
#include "virtual_printer.h"

namespace {

using nlohmann::json;
using pst::test::Outcome;

class Find : public pst::test::CliProcessTest {
protected:
    Outcome cli(std::vector<std::string> args, const std::string& environment = {})
    {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--language", "en"});
        return runCli(args, environment);
    }
    std::string port() const { return (folder / "printer").string(); }
};

pst::sim::SimOptions onNetwork(const std::string& address, pst::sim::FaultMode fault = pst::sim::FaultMode::None)
{
    return {.fault = {.mode = fault}, .servePty = false, .udpAddress = address};
}

}  // namespace

TEST_F(Find, SerialPrinterIsFoundWithItsSpeedAndModelAndAMissingPortWithItsReason)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 38400});
    printer.start();
    const Outcome o = cli({"find", "--serial", port(), "--serial", "/dev/pst-no-such-port"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "serial " + port() + " 38400 PNF80\n1 printer(s) found\n");
    EXPECT_EQ(o.err, "serial /dev/pst-no-such-port: Error opening serial port (/dev/pst-no-such-port: No such file "
                     "or directory)\n");
    // Nothing was switched: the printer still listens where it did.
    EXPECT_EQ(printer.currentSpeed(), 38400u);

    const Outcome none = cli({"find", "--serial", "/dev/pst-no-such-port"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "0 printer(s) found\n");
}

TEST_F(Find, WithoutLinksEveryPortOfTheMachineIsAsked)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 19200});
    printer.start();
    pst::test::FakeTtyTree tree;
    tree.addUsbPort("ttyUSB0", "ftdi_sio", "1-1", "0403", "6001", "FTDI", "FT232R USB UART");
    tree.addNode("ttyUSB0", printer.devicePath());
    tree.addStableName("usb-FTDI_FT232R_USB_UART_A10-if00-port0", "ttyUSB0");
    const std::string environment = "PST_SYSFS_ROOT=" + pst::test::shellQuote(tree.sys().string()) +
        " PST_DEV_ROOT=" + pst::test::shellQuote(tree.dev().string()) + " ";
    const std::string node = (tree.dev() / "ttyUSB0").string();

    const Outcome found = cli({"find", "--json"}, environment);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(json::parse(found.out)["printers"],
              json::parse(R"([{"link":"serial","where":")" + node + R"(","speed":19200,"model":"PNF80"}])"));

    const Outcome ports = cli({"list-ports"}, environment);
    EXPECT_EQ(ports.status, 0) << ports.err;
    EXPECT_EQ(ports.out, node + "\n  driver: ftdi_sio\n  USB: FTDI FT232R USB UART (0403:6001)\n  stable name: " +
                             (tree.dev() / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A10-if00-port0").string() +
                             "\n");

    const json listed = json::parse(cli({"--json", "list-ports"}, environment).out);
    EXPECT_EQ(listed["ports"], json::parse(R"([{"path":")" + node +
                                           R"(","driver":"ftdi_sio","usb_id":"0403:6001","maker":"FTDI",)"
                                           R"("product":"FT232R USB UART","stable_names":[")" +
                                           (tree.dev() / "serial" / "by-id" /
                                            "usb-FTDI_FT232R_USB_UART_A10-if00-port0").string() + "\"]}]"));

    pst::test::FakeTtyTree empty;
    const Outcome nothing = cli({"list-ports"}, "PST_SYSFS_ROOT=" + pst::test::shellQuote(empty.sys().string()) + " ");
    EXPECT_EQ(nothing.out, "No serial ports found.\n");
}

TEST_F(Find, RangeFindsEveryAnsweringPrinterButNotASilentOne)
{
    // A free port on one loopback address; the others take the same one.
    pst::sim::VirtualPrinter first(onNetwork("127.0.0.2:0"));
    first.start();
    const std::string port = std::to_string(first.udpPort());
    pst::sim::VirtualPrinter second(onNetwork("127.0.0.5:" + port));
    second.start();
    pst::sim::VirtualPrinter silent(onNetwork("127.0.0.3:" + port, pst::sim::FaultMode::Silent));
    silent.start();

    const Outcome lines = cli({"find", "--udp-range", "127.0.0.0/29:" + port});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, "udp 127.0.0.2:" + port + " - PNF80\nudp 127.0.0.5:" + port +
                             " - PNF80\n2 printer(s) found\n");
    EXPECT_GE(silent.frames().size(), 1u);  // it was asked, and kept quiet

    const Outcome found = cli({"find", "--json", "--udp-range", "127.0.0.0/29:" + port, "--udp", "127.0.0.6:" + port});
    EXPECT_EQ(found.status, 0) << found.err;
    const json printers = json::parse(found.out)["printers"];
    ASSERT_EQ(printers.size(), 2u) << found.out;
    for (const auto& [printer, address] : {std::pair{printers[0], "127.0.0.2"}, {printers[1], "127.0.0.5"}})
        EXPECT_EQ(printer, json({{"link", "udp"}, {"where", address + (":" + port)}, {"speed", nullptr},
                                 {"model", "PNF80"}}));

    const json nobody = json::parse(cli({"find", "--json", "--udp", "127.0.0.3:" + port}).out);
    EXPECT_EQ(nobody["exit_status"], 1);
    EXPECT_EQ(nobody["printers"], json::array());
}

TEST_F(Find, BadSearchesAreUsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"find", "--udp-range", "10.0.0.0/16"},
                                                                  {"find", "--udp-range", "10.0.0.0"},
                                                                  {"find", "--udp-range", "10.0.0.0/24:0"},
                                                                  {"find", "--udp-range", "10.0.0.0/24", "--udp-range",
                                                                   "10.0.1.0/24"},
                                                                  {"find", "--udp", "10.0.0.1:port"},
                                                                  {"find", "extra"},
                                                                  {"list-ports", "extra"}}) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args.back();
        EXPECT_EQ(o.out, "");
        EXPECT_FALSE(o.err.empty());
    }
    EXPECT_NE(cli({"find", "--udp-range", "10.0.0.0/16"}).err.find("at most 1024"), std::string::npos);
}

TEST_F(Find, CommandAtTheWrongSpeedNamesTheSpeedThatAnswersOrGoesOnAtIt)
{
    pst::sim::VirtualPrinter printer({.ptyLink = port(), .speed = 38400});
    printer.start();
    const Outcome wrong = cli({"--serial", port(), "test"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "Connecting Failed\n  cause: Set Baudrate Failed\n"
                         "The printer answers at 38400 bit/s: use --device-speed 38400\n");

    const Outcome automatic = cli({"--serial", port(), "--auto-speed", "set-codepage", "CP850"});
    EXPECT_EQ(automatic.status, 0) << automatic.err;
    EXPECT_NE(automatic.err.find("The printer answers at 38400 bit/s: going on at that speed\n"), std::string::npos);
    EXPECT_EQ(automatic.out, "Code page set\n");
    EXPECT_NE(printer.stateJson().find("\"codePageName\":\"CP850\""), std::string::npos) << printer.stateJson();

    const Outcome right = cli({"--serial", port(), "--device-speed", "38400", "test"});
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_NE(right.out.find("\nModel: PNF80\n"), std::string::npos) << right.out;
}

TEST_F(Find, BroadcastAndMulticastTargetsAreRefused)
{
    for (const char* group : {"255.255.255.255:5100", "239.1.2.3:5100"}) {
        const Outcome o = cli({"find", "--udp", group});
        EXPECT_EQ(o.status, 1) << group;
        EXPECT_EQ(o.out, "0 printer(s) found\n");
        EXPECT_EQ(o.err,
                  std::string("udp ") + group +
                      ": Broadcast and multicast addresses are not a printer's address\n");
    }
}

TEST_F(Find, ALateReplyIsNotCreditedToTheSpeedProbedWhenItComes)
{
    // The one reply at the printer's speed comes after its probe has given
    // up, while a later speed is being probed.
    pst::sim::VirtualPrinter printer(
        {.ptyLink = port(),
         .speed = 115200,
         .fault = {.mode = pst::sim::FaultMode::Late, .count = 1, .lateMs = 900}});
    printer.start();
    const Outcome o = cli({"find", "--serial", port()});
    EXPECT_EQ(o.out, "0 printer(s) found\n") << o.err;
    EXPECT_EQ(printer.currentSpeed(), 115200u);
}
