// The text shown for refused input.

#include <gtest/gtest.h>

#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"

using namespace pst;

TEST(InputRefusalText, AKeyedRefusalShowsTheKeysTextInTheChosenLanguage)
{
    ResetMessageTexts();
    EXPECT_EQ(InputRefusalText(EInvalidInput::withMessageKey("SIPError")), MessageText("SIPError"));
    ASSERT_TRUE(SetMessageText("SIPError", "Wrong IP address"));
    EXPECT_EQ(InputRefusalText(EInvalidInput::withMessageKey("SIPError", ": 10.0.0")),
              "Wrong IP address: 10.0.0");
    ResetMessageTexts();
}

TEST(InputRefusalText, APlainRefusalShowsItsOwnText)
{
    EXPECT_EQ(InputRefusalText(EInvalidInput("No logo chosen to print")), "No logo chosen to print");
}
