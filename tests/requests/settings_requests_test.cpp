// What each settings button of the parameter window (and the matching
// command) asks the worker for, and the input it refuses.

#include <gtest/gtest.h>

#include "texts/message_texts.h"
#include "requests/group_texts.h"
#include "requests/raw_requests.h"
#include "requests/settings_requests.h"
#include "platform/int_conversion.h"
#include "protocol/input_error.h"
#include "texts/input_refusal_text.h"

using namespace pst;
using namespace pst::requests;

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Requests, ListsWithoutASelectionDoNothing)
{
    EXPECT_FALSE(BaudRateRequest(kNoSelection));
    EXPECT_FALSE(CodePageRequest(kNoSelection));
    EXPECT_FALSE(FlowControlRequest(kNoSelection));
    EXPECT_FALSE(InterfaceOptionRequest(InterfaceOption::PaperType, kNoSelection));
    EXPECT_FALSE(BluetoothHidingRequest(kNoSelection));
    EXPECT_FALSE(BluetoothWorkModeRequest(kNoSelection));
    EXPECT_FALSE(InfraredRequest(kNoSelection, true, 0));
    EXPECT_FALSE(InfraredRequest(0, true, kNoSelection));
    EXPECT_FALSE(BluetoothControlTextRequestIfGiven(""));
}

TEST(Requests, SingleSettingsCarryTheirCodeAsArguments)
{
    const auto baud = BaudRateRequest(7);  // 115200
    ASSERT_TRUE(baud);
    EXPECT_EQ(operationNumber(baud->operation), 8);
    EXPECT_EQ(baud->argument1, 4);
    EXPECT_TRUE(baud->refreshConnection);
    EXPECT_EQ(CodePageRequest(52)->argument1, 250);  // EUC-KR
    EXPECT_EQ(operationNumber(FlowControlRequest(0)->operation), 42);
    EXPECT_EQ(operationNumber(FlowControlRequest(1)->operation), 43);
    EXPECT_TRUE(FlowControlRequest(1)->handOver.paramBlock.empty());
    EXPECT_EQ(operationNumber(BluetoothHidingRequest(0)->operation), 30);
    EXPECT_EQ(operationNumber(BluetoothHidingRequest(1)->operation), 27);
    const auto order = InterfaceOptionRequest(InterfaceOption::PrintOrder, 0);
    EXPECT_EQ(operationNumber(order->operation), 23);
    EXPECT_EQ(order->argument1, 2);
    EXPECT_EQ(order->argument2, 0);
    EXPECT_FALSE(order->refreshConnection);
}

TEST(Requests, BasicBlocksCarryTheTypedTimes)
{
    const Request sleep = test::groupRequests("sleep", {"1000", "3000"}).front();
    EXPECT_EQ(operationNumber(sleep.operation), 18);
    EXPECT_EQ(sleep.handOver.paramBlock, (Bytes{0xE8, 0x03, 0, 0, 0xB8, 0x0B, 0, 0}));
    BasicPageValues none;  // nothing selected anywhere
    none.sleepText = "1000";
    none.powerOffText = "3000";
    const Request all = AllParametersRequest(none);
    EXPECT_EQ(operationNumber(all.operation), 19);
    EXPECT_EQ(all.handOver.paramBlock, (Bytes{255, 0, 0xFF, 0xFF, 0xE8, 0x03, 0, 0, 0xB8, 0x0B, 0, 0}));
    EXPECT_EQ(SwitchOptionsRequest(3, 3, true, true, 1).handOver.paramBlock, (Bytes{0xED, 1}));
    EXPECT_EQ(operationNumber(RestoreDefaultsRequest().operation), 10);
}

TEST(Requests, EmptyProductNameIsRefusedWithItsMessage)
{
    try {
        ProductRequest("", "1704269998");
        FAIL() << "no refusal";
    } catch (const EInvalidInput& refusal) {
        EXPECT_EQ(InputRefusalText(refusal), "设备名称不能为空");
    }
    const Request product = ProductRequest("P80", "");
    EXPECT_EQ(operationNumber(product.operation), 15);
    ASSERT_EQ(product.handOver.paramBlock.size(), 40u);
    EXPECT_EQ(product.handOver.paramBlock[3], 0);
}

TEST(Requests, NetworkPageChecksItsInput)
{
    const Request ip = EthernetAddressRequest(EthernetField::IpAddress, "192.168.1.87");
    EXPECT_EQ(operationNumber(ip.operation), 41);
    EXPECT_EQ(ip.handOver.paramBlock, (Bytes{0xC0, 0xA8, 0x01, 0x57}));
    EXPECT_EQ(operationNumber(EthernetAddressRequest(EthernetField::SubnetMask, "255.255.255.0").operation), 37);
    EXPECT_EQ(operationNumber(EthernetAddressRequest(EthernetField::Gateway, "192.168.1.1").operation), 38);
    EXPECT_EQ(EthernetPortRequest("65535").handOver.paramBlock, (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(operationNumber(EthernetPortRequest("9100").operation), 39);

    EXPECT_EQ(EthernetMacRequest({"A0", "66", "67", "68"}).handOver.paramBlock,
              (Bytes{0xA0, 0x66, 0x67, 0x68}));
    EXPECT_EQ(EthernetMacRequest({"65", "66", "67", "0xFF"}).handOver.paramBlock,
              (Bytes{0x65, 0x66, 0x67, 0xFF}));
}

TEST(Requests, BlackMarkValuesAndTests)
{
    EXPECT_EQ(BlackMarkDistanceRequest("400").handOver.paramBlock, (Bytes{0x01, 0x90}));
    EXPECT_EQ(BlackMarkWidthRequest("40").handOver.paramBlock, (Bytes{0x00, 0x28}));
    EXPECT_EQ(FeedAfterMarkRequest("1700").handOver.paramBlock, (Bytes{0xA4, 0x06}));
    EXPECT_TRUE(BlackMarkDistanceRequest("4000").refreshConnection);
    EXPECT_EQ(operationNumber(BlackMarkModeRequest().operation), 31);
    EXPECT_EQ(operationNumber(CancelBlackMarkRequest().operation), 32);
    EXPECT_EQ(operationNumber(FindBlackMarkRequest().operation), 36);
    EXPECT_EQ(operationNumber(FindBlackMarkAndCutRequest().operation), 44);
    const Request print = BlackMarkTestPrintRequest();
    EXPECT_EQ(operationNumber(print.operation), 45);
    ASSERT_EQ(print.handOver.paramBlock.size(), 235u);
    EXPECT_EQ(print.handOver.paramBlock.front(), 0x1B);
    EXPECT_EQ(print.handOver.paramBlock.back(), 0x69);
}

TEST(Requests, SerialNumberStepsWithTheChosenDirection)
{
    EXPECT_EQ(SteppedSerialNumber("1704269998", false, true), "1704269999");
    EXPECT_EQ(SteppedSerialNumber("1704269998", true, false), "1704269997");
    EXPECT_EQ(SteppedSerialNumber("1704269998", false, false), std::nullopt);
    EXPECT_EQ(SteppedSerialNumber("", false, true), std::nullopt);
    // No overflow at the top of the range.
    EXPECT_EQ(SteppedSerialNumber("2147483647", false, true), "2147483648");
    EXPECT_THROW(SteppedSerialNumber("99999999999", false, true), EConvertError);
}

}  // namespace
