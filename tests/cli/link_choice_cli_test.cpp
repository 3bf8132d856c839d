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
    EXPECT_EQ(o.out, "Checking" + address + "\n" + address + " Found\n");
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
    EXPECT_EQ(o.out, "");  // the USB link test shows no texts
    EXPECT_NE(pst::test::readFile(folder / "debug.log").find("Receive 25 Bytes"), std::string::npos);
}

TEST_F(CliLinks, ListUsbMarksPrintersAndCopesWithNone)
{
    pst::test::FakeUsbTree usb;
    pst::test::Outcome o = cli({"list-usb"}, &usb);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "No USB devices found.\n");

    usb.addDevice("1-2", {.vendor = "046d", .product = "c077"});
    o = cli({"list-usb"}, &usb);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "  VID_046D&PID_C077\nNo printer among them (none has 811E in its identifier).\n");

    usb.addDevice("1-1", {.vendor = "1234", .product = "811e"});
    o = cli({"list-usb"}, &usb);
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
