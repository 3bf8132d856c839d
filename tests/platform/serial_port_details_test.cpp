// What stands behind each serial port, read from a made-up device tree.

#include <gtest/gtest.h>

#include "platform/fake_tty_tree.h"
#include "platform/serial_ports.h"

namespace pst {
namespace {

TEST(SerialPortDetails, UsbAdaptersShowMakerProductAndStableNames)
{
    test::FakeTtyTree tree;
    tree.addUsbPort("ttyUSB0", "ftdi_sio", "1-1", "0403", "6001", "FTDI", "FT232R USB UART");
    tree.addUsbPort("ttyACM0", "cdc_acm", "1-2", "1234", "811e", "", "");
    tree.addUart("ttyS0");
    tree.addStableName("usb-FTDI_FT232R_USB_UART_A10-if00-port0", "ttyUSB0");
    tree.addStableName("usb-Other_ttyUSB1-if00", "ttyUSB1");

    const auto ports = describeSerialPorts(tree.sys().string(), tree.dev().string());
    ASSERT_EQ(ports.size(), 3u);

    EXPECT_EQ(ports[0].path, (tree.dev() / "ttyACM0").string());
    EXPECT_EQ(ports[0].driver, "cdc_acm");
    EXPECT_EQ(ports[0].usbId, "1234:811e");
    EXPECT_EQ(ports[0].maker, "");
    EXPECT_TRUE(ports[0].stableNames.empty());

    EXPECT_EQ(ports[1].path, (tree.dev() / "ttyS0").string());
    EXPECT_EQ(ports[1].driver, "serial8250");
    EXPECT_EQ(ports[1].usbId, "");

    EXPECT_EQ(ports[2].driver, "ftdi_sio");
    EXPECT_EQ(ports[2].usbId, "0403:6001");
    EXPECT_EQ(ports[2].maker, "FTDI");
    EXPECT_EQ(ports[2].product, "FT232R USB UART");
    EXPECT_EQ(ports[2].stableNames,
              std::vector<std::string>{(tree.dev() / "serial" / "by-id" / "usb-FTDI_FT232R_USB_UART_A10-if00-port0")
                                           .string()});
}

TEST(SerialPortDetails, MissingTreeHasNoPorts)
{
    EXPECT_TRUE(describeSerialPorts("/nonexistent-sysfs", "/nonexistent-dev").empty());
}

}  // namespace
}  // namespace pst
