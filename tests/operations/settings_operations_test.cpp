// The settings handlers over a fake context: refusals before the link is
// touched, and what a failure leaves when closing fails too.

#include <gtest/gtest.h>

#include "operations/fake_context.h"
#include "operations/operation.h"
#include "operations/settings_operations.h"

using namespace pst;
using namespace pst::test;

TEST(SettingsOperations, AWrongSizedHandOverIsRefusedBeforeTheLinkIsOpened)
{
    FakeContext context;
    context.given.paramBlock = {1, 2, 3};
    context.operation = operationNumber(Operation::SetBluetooth);

    RunConfirmedSetting(context);

    EXPECT_EQ(context.code, 1);
    EXPECT_EQ(context.text, "The Bluetooth parameters were not handed over (3 bytes, 56 expected)");
    EXPECT_EQ(context.count("open"), 0);
    EXPECT_EQ(context.confirmedSends, 0);
}

TEST(SettingsOperations, AFailedCloseAfterAFailureKeepsTheFirstFailuresText)
{
    FakeContext context;
    context.unconfirmedSend = 1;
    context.closeFailure = "the port went away";
    context.operation = operationNumber(Operation::RestoreDefaults);

    RunConfirmedSetting(context);

    EXPECT_EQ(context.code, 1);
    EXPECT_EQ(context.text, "Download Data Failed");
    EXPECT_EQ(context.cause, "the port went away");
    EXPECT_EQ(context.calls.back(), "close");
}

TEST(SettingsOperations, TheBaudRateIsRememberedAndNotSwitchedBack)
{
    FakeContext context;
    context.arg1 = 5;

    RunSetBaudRate(context);

    ASSERT_EQ(context.code, 0) << context.text;
    EXPECT_EQ(context.count("restore speed"), 0);
    EXPECT_EQ(context.calls.back(), "close");
    EXPECT_EQ(context.calls[context.calls.size() - 2].rfind("remember device speed ", 0), 0u);
}
