// How each kind of request reaches the printer, which the command line
// relies on to set up the link and wait for the bytes: answered packets,
// raw bytes after the link setup, bare bytes; and the printer's new speed
// after a speed change.

#include <gtest/gtest.h>

#include "requests/group_texts.h"
#include "requests/download_requests.h"
#include "requests/raw_requests.h"
#include "protocol/input_error.h"
#include "requests/settings_requests.h"

using namespace pst;
using namespace pst::requests;

namespace {

TEST(RequestSending, SettingsGoAsAnsweredPackets)
{
    EXPECT_EQ(CodePageRequest(0)->sending, Sending::Packet);
    EXPECT_EQ(test::groupRequests("sleep", {"1", "2"}).front().sending, Sending::Packet);
    EXPECT_EQ(SetIpRequest(1, 2).argument2, 2);
    EXPECT_EQ(SwitchOptionsRequest(0, 0, false, false, 0, Operation::SetSwitchOptionsAlone).operation,
              Operation::SetSwitchOptionsAlone);
}

TEST(RequestSending, SpeedChangesNameTheNewSpeed)
{
    EXPECT_EQ(BaudRateRequest(7)->newDeviceSpeed, 115200u);
    AllParameters all;
    all.codePagePosition = 0;
    all.baudRatePosition = 3;  // 9600
    all.densityPosition = 0;
    all.fontPosition = 0;
    all.paperFeedPosition = 0;
    all.sleepSeconds = 1;
    all.powerOffSeconds = 1;
    EXPECT_EQ(AllParametersRequest(all).newDeviceSpeed, 9600u);
    EXPECT_FALSE(CodePageRequest(0)->newDeviceSpeed);
}

TEST(RequestSending, BareAndOpenedBytesAreCounted)
{
    EXPECT_EQ(FlowControlRequest(0)->sending, Sending::Bare);
    EXPECT_EQ(FlowControlRequest(0)->bytesToSend, 18u);
    EXPECT_EQ(BluetoothHidingRequest(0)->bytesToSend, 2u);
    EXPECT_EQ(RawPair8DRequest(1).operation, Operation::RawPair8D01);
    EXPECT_EQ(EthernetPortRequest("9100").bytesToSend, 4u);
    EXPECT_EQ(EthernetMacRequest({"1", "2", "3", "4"}).bytesToSend, 6u);
    EXPECT_EQ(BlackMarkModeRequest().sending, Sending::Opened);
    EXPECT_EQ(BlackMarkDistanceRequest(400).bytesToSend, 9u);
    EXPECT_EQ(BlackMarkTestPrintRequest().bytesToSend, 235u);
    EXPECT_EQ(InterfaceOptionRequest(InterfaceOption::PaperType, 1)->bytesToSend, 3u);
    const Request logos = PrintLogosRequest({1, 3});
    EXPECT_EQ(logos.bytesToSend, 8u);
    EXPECT_EQ(logos.handOver.logoPrintList, "1,3");
}

TEST(RequestSending, TheWindowsTextsGiveTheSameRequestAsTheNumbers)
{
    EXPECT_EQ(FeedAfterMarkRequest("99").handOver.paramBlock, FeedAfterMarkRequest(99).handOver.paramBlock);
    EXPECT_THROW(BluetoothRequest(BluetoothParameters{}), EInvalidInput);
}

}  // namespace
