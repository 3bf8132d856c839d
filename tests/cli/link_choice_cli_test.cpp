// pennafor-cli on the network and USB links, run as a separate process
// against the virtual printer, and its USB device list.

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "transport/fake_usb_tree.h"
#include "virtual_printer.h"

namespace {

class CliLinks : public pst::test::CliProcessTest {
protected:
    // Runs the tool with the USB device tree of `usb` (when given).
    pst::test::Outcome cli(const std::vector<std::string>& args, const pst::test::FakeUsbTree* usb = nullptr)
    {
        std::string environment;
        if (usb)
            environment = "PST_SYSFS_ROOT=" + pst::test::shellQuote(usb->paths().sysfsRoot) +
                " PST_DEV_ROOT=" + pst::test::shellQuote(usb->paths().devRoot) + " ";
        return runCli(args, environment);
    }
};

}  // namespace

TEST_F(CliLinks, LinkTestOverTheNetwork)
{
    pst::sim::VirtualPrinter printer({.servePty = false, .udpAddress = "127.0.0.1:0"});
    printer.start();
    const std::string address = "127.0.0.1:" + std::to_string(printer.udpPort());
    const pst::test::Outcome o = cli({"--data-dir", folder.string(), "--udp", address, "test"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Checking" + address + "\n" + address + " Found\n型号: PNF80\n");
    EXPECT_EQ(o.err, "");
    const std::string log = pst::test::readFile(folder / "debug.log");
    EXPECT_EQ(log.rfind("Send 25 Bytes", 0), 0u) << log;
    EXPECT_NE(log.find("Receive 25 Bytes"), std::string::npos);
}

TEST_F(CliLinks, LinkTestOverUsb)
{
    pst::sim::VirtualPrinter printer({});
    printer.start();
    pst::test::FakeUsbTree usb;
    usb.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    usb.addNode(usb.addInterface("1-1", 0), "usbmisc", "lp0", printer.devicePath());
    const pst::test::Outcome o =
        cli({"--data-dir", folder.string(), "--usb", "VID_1234&PID_811E", "test"}, &usb);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "型号: PNF80\n");  // the USB link test shows no status texts
    EXPECT_NE(pst::test::readFile(folder / "debug.log").find("Receive 25 Bytes"), std::string::npos);
}

TEST_F(CliLinks, ListUsbMarksPrintersAndCopesWithNone)
{
    pst::test::FakeUsbTree usb;
    pst::test::Outcome o = cli({"--language", "en", "list-usb"}, &usb);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "No USB devices found.\n");

    usb.addDevice("1-2", {.vendor = "046d", .product = "c077"});
    o = cli({"--language", "en", "list-usb"}, &usb);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "  VID_046D&PID_C077\nNo printer among them (none has 811E in its identifier).\n");

    usb.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    o = cli({"--language", "en", "list-usb"}, &usb);
    EXPECT_EQ(o.out, "* VID_1234&PID_811E\n  VID_046D&PID_C077\n");
}

TEST_F(CliLinks, BadLinkOptionsAreUsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--udp", "10.0.0.1:0", "test"},
                                                                  {"--udp", "10.0.0.1:port", "test"},
                                                                  {"--udp", ":5100", "test"},
                                                                  {"--usb", "", "test"},
                                                                  {"--udp", "10.0.0.1", "--usb", "X", "test"},
                                                                  {"list-usb", "extra"}}) {
        const pst::test::Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args[1];
        EXPECT_FALSE(o.err.empty());
    }
}

// A fresh process has opened nothing: the commands that skip the link setup
// must still aim the network link and take the USB device, or they are
// dropped while their texts say otherwise.
TEST_F(CliLinks, BareCommandsReachThePrinterOverTheNetworkAndUsb)
{
    const auto bareCommandsChange = [&](pst::sim::VirtualPrinter& printer, std::vector<std::string> link,
                                        const pst::test::FakeUsbTree* usb) {
        link.insert(link.begin(), {"--data-dir", folder.string(), "--language", "en"});
        const auto with = [&](std::vector<std::string> command) {
            command.insert(command.begin(), link.begin(), link.end());
            return cli(command, usb);
        };
        const pst::test::Outcome ip = with({"set-net-ip", "10.0.0.9"});
        EXPECT_EQ(ip.status, 0) << ip.err;
        EXPECT_EQ(ip.out, "Command sent, unconfirmed\n");
        EXPECT_EQ(with({"set-flow-control", "software"}).status, 0);
        EXPECT_EQ(with({"bluetooth-hiding", "on"}).status, 0);
        EXPECT_TRUE(printer.waitFor(
            [](const pst::sim::PrinterState& s) {
                return s.settings.ethernet.ip == std::array<std::uint8_t, 4>{10, 0, 0, 9} &&
                    s.settings.flowControl == 0 && s.settings.bluetooth.hidden;
            },
            3000))
            << printer.stateJson();
    };

    pst::sim::VirtualPrinter network({.servePty = false, .udpAddress = "127.0.0.1:0"});
    network.start();
    bareCommandsChange(network, {"--udp", "127.0.0.1:" + std::to_string(network.udpPort())}, nullptr);

    pst::sim::VirtualPrinter usbPrinter({});
    usbPrinter.start();
    pst::test::FakeUsbTree usb;
    usb.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    usb.addNode(usb.addInterface("1-1", 0), "usbmisc", "lp0", usbPrinter.devicePath());
    bareCommandsChange(usbPrinter, {"--usb", "VID_1234&PID_811E"}, &usb);

    // With no device to take, nothing is said to be sent.
    pst::test::FakeUsbTree empty;
    const pst::test::Outcome lost =
        cli({"--data-dir", folder.string(), "--usb", "VID_1234&PID_811E", "set-net-ip", "10.0.0.9"}, &empty);
    EXPECT_EQ(lost.status, 1);
    EXPECT_EQ(lost.out.find("已发送"), std::string::npos) << lost.out;
    EXPECT_FALSE(lost.err.empty());

    // The firmware loader listens on the serial port only.
    const pst::test::Outcome firmware =
        cli({"--data-dir", folder.string(), "--udp", "127.0.0.1:5100", "update-firmware", "/dev/null"});
    EXPECT_EQ(firmware.status, 2);
}
