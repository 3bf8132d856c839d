// The link test over a fake context: which outcome it reports.

#include <gtest/gtest.h>

#include "operations/fake_context.h"
#include "operations/link_check.h"

using namespace pst;
using namespace pst::test;

TEST(LinkCheck, AFoundPrinterIsReportedAndTheLinkClosed)
{
    FakeContext context;
    context.run.comName = "COM3";

    RunLinkTest(context);

    EXPECT_TRUE(context.linkFound);
    EXPECT_FALSE(context.linkFailed);
    EXPECT_EQ(context.code, 0);
    EXPECT_EQ(context.calls, (std::vector<std::string>{"open", "restore speed", "close"}));
    EXPECT_EQ(context.statusTexts, (std::vector<std::string>{"CheckingCOM3", "COM3Found"}));
}

TEST(LinkCheck, AFailedOpenIsReportedWithItsCauseKept)
{
    FakeContext context;
    context.openFailure = "Set Baudrate Failed";

    RunLinkTest(context);

    EXPECT_TRUE(context.linkFailed);
    EXPECT_FALSE(context.linkFound);
    EXPECT_EQ(context.code, 1);
    EXPECT_EQ(context.text, "Connecting Failed");
    EXPECT_EQ(context.cause, "Set Baudrate Failed");
    EXPECT_EQ(context.calls.back(), "close");
}

TEST(LinkCheck, NetworkTellsItsAddressAndUsbNothingNeitherSwitchingSpeed)
{
    FakeContext network;
    network.run.kind = LinkKind::Network;
    network.run.ipAddress = "192.168.1.40";
    network.run.port = 9100;
    RunLinkTest(network);
    EXPECT_EQ(network.calls, (std::vector<std::string>{"open", "close"}));
    EXPECT_EQ(network.statusTexts,
              (std::vector<std::string>{"Checking192.168.1.40:9100", "192.168.1.40:9100 Found"}));

    FakeContext usb;
    usb.run.kind = LinkKind::Usb;
    RunLinkTest(usb);
    EXPECT_TRUE(usb.linkFound);
    EXPECT_EQ(usb.calls, (std::vector<std::string>{"open", "close"}));
    EXPECT_TRUE(usb.statusTexts.empty());
}
