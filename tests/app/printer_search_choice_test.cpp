// What the main window searches for each link kind, and what choosing a
// printer found puts into its link controls.

#include <gtest/gtest.h>

#include "app/printer_search_choice.h"

namespace pst::app {
namespace {

LinkControls controlsFor(LinkKind kind)
{
    LinkControls controls;
    controls.kind = kind;
    controls.comName = "/dev/ttyS0";
    controls.deviceSpeedText = "38400";
    controls.transferSpeedText = "115200";
    controls.ipAddress = "192.168.1.87";
    controls.portText = "5100";
    return controls;
}

TEST(WindowSearchPlan, FollowsTheChosenLinkOrSaysWhyNothingCanBeSearched)
{
    const auto serial = planWindowSearch(controlsFor(LinkKind::Serial), {"/dev/ttyS0", "/dev/ttyUSB0"}, {"usb1"});
    ASSERT_TRUE(std::holds_alternative<requests::SearchPlan>(serial));
    EXPECT_EQ(std::get<requests::SearchPlan>(serial).serialPorts.size(), 2u);
    EXPECT_EQ(std::get<requests::SearchPlan>(serial).firstSpeed, 38400u);
    EXPECT_TRUE(std::get<requests::SearchPlan>(serial).usbDevices.empty());

    // A speed box that is not a number still searches, from the factory speed.
    LinkControls typo = controlsFor(LinkKind::Serial);
    typo.deviceSpeedText = "96OO";
    EXPECT_EQ(std::get<requests::SearchPlan>(planWindowSearch(typo, {"/dev/ttyS0"}, {})).firstSpeed, 9600u);

    EXPECT_EQ(std::get<requests::SearchPlan>(planWindowSearch(controlsFor(LinkKind::Network), {}, {})).peers.size(),
              254u);
    EXPECT_EQ(std::get<requests::SearchPlan>(planWindowSearch(controlsFor(LinkKind::Usb), {}, {"a", "b"}))
                  .usbDevices.size(),
              2u);

    LinkControls badAddress = controlsFor(LinkKind::Network);
    badAddress.ipAddress = "192.168.1.300";
    EXPECT_EQ(std::get<std::string>(planWindowSearch(badAddress, {}, {})), "sAddressPartMsg");
    EXPECT_EQ(std::get<std::string>(planWindowSearch(controlsFor(LinkKind::Serial), {}, {})), "sNoSerialPortsMsg");
    EXPECT_EQ(std::get<std::string>(planWindowSearch(controlsFor(LinkKind::Usb), {"/dev/ttyS0"}, {})),
              "sNoUsbPrintersMsg");
    EXPECT_EQ(std::get<std::string>(planWindowSearch(controlsFor(LinkKind::Parallel), {"/dev/ttyS0"}, {})),
              "sNoSearchHereMsg");
}

TEST(ChoosingAFoundPrinter, FillsItsLinkAndLeavesTheRest)
{
    const LinkControls before = controlsFor(LinkKind::Serial);
    const LinkControls serial =
        chooseFoundPrinter(before, {LinkKind::Serial, "/dev/ttyUSB1", 0, 19200u, "PNF80"});
    EXPECT_EQ(serial.comName, "/dev/ttyUSB1");
    EXPECT_EQ(serial.deviceSpeedText, "19200");
    EXPECT_EQ(serial.transferSpeedText, "115200");
    EXPECT_EQ(serial.ipAddress, before.ipAddress);

    const LinkControls network = chooseFoundPrinter(before, {LinkKind::Network, "192.168.1.40", 9100, {}, "PNF58"});
    EXPECT_EQ(network.ipAddress, "192.168.1.40");
    EXPECT_EQ(network.portText, "9100");
    EXPECT_EQ(network.comName, before.comName);
    EXPECT_EQ(network.deviceSpeedText, before.deviceSpeedText);

    EXPECT_EQ(foundPrinterLine({LinkKind::Serial, "/dev/ttyUSB1", 0, 19200u, "PNF80"}),
              "/dev/ttyUSB1  19200 bit/s  PNF80");
    EXPECT_EQ(foundPrinterLine({LinkKind::Network, "192.168.1.40", 9100, {}, ""}), "192.168.1.40:9100  -");
}

}  // namespace
}  // namespace pst::app
