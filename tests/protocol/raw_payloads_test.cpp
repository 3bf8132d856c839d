// The raw printer commands and the blocks their operations read, byte for
// byte, and the dotted-address checks of the network and WiFi pages.

#include <gtest/gtest.h>

#include "platform/int_conversion.h"
#include "protocol/dotted_address.h"
#include "protocol/input_error.h"
#include "protocol/raw_payloads.h"
#include "protocol/test_support.h"

using namespace pst;
using Bytes = std::vector<std::uint8_t>;

TEST(RawPayloads, BlackMarkValuesAndCommands)
{
    EXPECT_EQ(BlackMarkDistanceBlock(400), (Bytes{0x01, 0x90}));
    EXPECT_EQ(BlackMarkWidthBlock(40), (Bytes{0x00, 0x28}));
    EXPECT_EQ(FeedAfterMarkBlock(40), (Bytes{0x28, 0x00}));  // low byte first, unlike the other two
    EXPECT_EQ(FeedAfterMarkBlock(1700), (Bytes{0xA4, 0x06}));
    EXPECT_EQ(BlackMarkDistanceBlock(0x12345), (Bytes{0x23, 0x45}));  // the low 16 bits only

    EXPECT_EQ(BlackMarkModeCommand(), (Bytes{0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06, 0x44}));
    EXPECT_EQ(CancelBlackMarkCommand(), (Bytes{0x1F, 0x1B, 0x1F, 0x80, 0x04, 0x05, 0x06, 0x66}));
    EXPECT_EQ(BlackMarkDistanceCommand(BlackMarkDistanceBlock(400)),
              (Bytes{0x1F, 0x1B, 0x1F, 0x81, 0x04, 0x05, 0x06, 0x01, 0x90}));
    EXPECT_EQ(BlackMarkWidthCommand(BlackMarkWidthBlock(40)),
              (Bytes{0x1F, 0x1B, 0x1F, 0x82, 0x04, 0x05, 0x06, 0x00, 0x28}));
    EXPECT_EQ(FeedAfterMarkCommand(FeedAfterMarkBlock(40)),
              (Bytes{0x1D, 0x28, 0x46, 0x04, 0x00, 0x01, 0x00, 0x28, 0x00}));
    EXPECT_EQ(FindBlackMarkCommand(), (Bytes{0x0C}));
    EXPECT_EQ(FindBlackMarkAndCutCommand(), (Bytes{0x0C, 0x1B, 0x69}));
    EXPECT_THROW(BlackMarkDistanceCommand({}), EInvalidInput);
}

TEST(RawPayloads, EthernetFieldCommands)
{
    EXPECT_EQ(EthernetFieldCommand(EthernetField::IpAddress, EthernetAddressBlock("192.168.1.87")),
              (Bytes{0x1F, 0x49, 0xC0, 0xA8, 0x01, 0x57}));
    EXPECT_EQ(EthernetFieldCommand(EthernetField::SubnetMask, EthernetAddressBlock("255.255.255.0")),
              (Bytes{0x1F, 0x53, 0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_EQ(EthernetFieldCommand(EthernetField::Gateway, EthernetAddressBlock("192.168.1.1")),
              (Bytes{0x1F, 0x4E, 0xC0, 0xA8, 0x01, 0x01}));
    EXPECT_EQ(EthernetFieldCommand(EthernetField::Port, EthernetPortBlock("9100")),
              (Bytes{0x1F, 0x50, 0x23, 0x8C}));
    EXPECT_EQ(EthernetFieldCommand(EthernetField::Mac, EthernetMacBlock({"65", "66", "67", "68"})),
              (Bytes{0x1F, 0x4D, 0x65, 0x66, 0x67, 0x68}));
    EXPECT_EQ(EthernetMacBlock({"A0", "ff", "0", "f"}), (Bytes{0xA0, 0xFF, 0x00, 0x0F}));
    EXPECT_EQ(EthernetMacBlock({"0x65", "0X66", "00", "0xff"}), (Bytes{0x65, 0x66, 0x00, 0xFF}));
    EXPECT_EQ(EthernetPortBlock("65535"), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(EthernetPortBlock("2"), (Bytes{0x00, 0x02}));
    // A block that is not the field's size is refused, never sent short.
    EXPECT_THROW(EthernetFieldCommand(EthernetField::Port, Bytes{1, 2, 3, 4}), EInvalidInput);
}

TEST(RawPayloads, EthernetInputChecks)
{
    try {
        EthernetAddressBlock("192.168.1.256");
        ADD_FAILURE() << "a part above 255 was taken";
    } catch (const EInvalidInput& refusal) {
        EXPECT_EQ(refusal.messageKey(), "sAddressPartMsg");
    }
    EXPECT_THROW_MESSAGE_IS(EthernetAddressBlock("192.168.1"), invalidIntegerMessage(""));
    EXPECT_THROW_MESSAGE_IS(EthernetAddressBlock("192.168.1.2.5"), invalidIntegerMessage("2.5"));
    EXPECT_THROW(EthernetAddressBlock("192.16x.1.2"), EConvertError);
    EXPECT_THROW(EthernetPortBlock("1"), EInvalidInput);
    EXPECT_THROW(EthernetPortBlock("65536"), EInvalidInput);
    EXPECT_THROW(EthernetPortBlock(""), EConvertError);
    EXPECT_THROW_MESSAGE_IS(EthernetMacBlock({"65", "zz", "67", "68"}), invalidIntegerMessage("zz"));
    EXPECT_THROW(EthernetMacBlock({"65", "", "67", "68"}), EConvertError);
    // A byte above FF is refused, not cut down to its low byte.
    for (const char* tooBig : {"100", "1ff", "0x100", "FFFFFFFF"}) {
        try {
            EthernetMacBlock({tooBig, "0", "0", "0"});
            ADD_FAILURE() << tooBig << " accepted";
        } catch (const EInvalidInput& refusal) {
            EXPECT_EQ(refusal.messageKey(), "sMacByteError");
            EXPECT_EQ(refusal.detail(), std::string(" (") + tooBig + ")");
        }
    }

    EXPECT_TRUE(IsAcceptedAddress("192.168.1.87"));
    EXPECT_TRUE(IsAcceptedAddress("10.1"));  // the platform's short form
    EXPECT_TRUE(IsAcceptedAddress("0x7f.1"));
    EXPECT_FALSE(IsAcceptedAddress("192.168.1.300"));
    EXPECT_FALSE(IsAcceptedAddress("255.255.255.255"));
    EXPECT_FALSE(IsAcceptedAddress(""));
}

TEST(RawPayloads, InterfaceOptions)
{
    EXPECT_EQ(InterfaceOptionCommand(InterfaceOption::UsbDeviceType, 0), (Bytes{0x12, 0x55, 0x00}));
    EXPECT_EQ(InterfaceOptionCommand(InterfaceOption::UsbDeviceType, 1), (Bytes{0x12, 0x55, 0x01}));
    EXPECT_EQ(InterfaceOptionCommand(InterfaceOption::PaperType, 1), (Bytes{0x1F, 0x41, 0x01}));
    EXPECT_EQ(InterfaceOptionCommand(InterfaceOption::PrintOrder, 0), (Bytes{0x1B, 0x7B, 0xF1}));
    EXPECT_EQ(InterfaceOptionCommand(InterfaceOption::PrintOrder, 1), (Bytes{0x1B, 0x7B, 0xF0}));
    EXPECT_THROW(InterfaceOptionCommand(InterfaceOption::PaperType, 2), EInvalidInput);
}

TEST(RawPayloads, LogoPrinting)
{
    EXPECT_EQ(LogoPrintList({1, 3}), "1,3");
    EXPECT_EQ(ParseLogoPrintList("1,3"), (Bytes{1, 3}));
    EXPECT_EQ(LogoPrintCommand(1), (Bytes{0x1C, 0x70, 0x01, 0x00}));
    EXPECT_EQ(LogoPrintCommand(3), (Bytes{0x1C, 0x70, 0x03, 0x00}));
    for (const char* bad : {"", "0", "1,,3", "256", "1,x"})
        EXPECT_THROW(ParseLogoPrintList(bad), EInvalidInput) << bad;
}

TEST(RawPayloads, TestReceiptFromItsHexadecimalText)
{
    ASSERT_EQ(kTestReceiptHex.size(), 470u);
    const Bytes receipt = HexTextToBlock(kTestReceiptHex);
    ASSERT_EQ(receipt.size(), 235u);
    EXPECT_EQ(Bytes(receipt.begin(), receipt.begin() + 5), (Bytes{0x1B, 0x40, 0x1B, 0x61, 0x01}));
    EXPECT_EQ(Bytes(receipt.end() - 3, receipt.end()), (Bytes{0x0C, 0x1B, 0x69}));

    EXPECT_EQ(HexTextToBlock("0aFFzz1"), (Bytes{0x0A, 0xFF, 0x00, 0x01}));  // bad pair 0, lone digit alone
    EXPECT_TRUE(HexTextToBlock("").empty());
}
