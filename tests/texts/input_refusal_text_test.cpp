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

TEST(InputRefusalText, ANumberThatIsNoneNamesItselfInTheChosenLanguage)
{
    ResetMessageTexts();
    try {
        strToInt("G1");
        FAIL() << "G1 was taken for a number";
    } catch (const EConvertError& refusal) {
        EXPECT_STREQ(refusal.what(), "'G1' is not a valid integer value");
        EXPECT_EQ(InputRefusalText(refusal), "'G1' 不是有效的整数值");
        ASSERT_TRUE(SetMessageText("sNotIntegerMsg", "'%s' is no number"));
        EXPECT_EQ(InputRefusalText(refusal), "'G1' is no number");
        // A translation without the place for the text keeps the original.
        ASSERT_TRUE(SetMessageText("sNotIntegerMsg", "not a number"));
        EXPECT_EQ(InputRefusalText(refusal), "'G1' is not a valid integer value");
    }
    // An error worded by its thrower is shown as worded.
    EXPECT_EQ(InputRefusalText(EConvertError("Baud rate box is empty")), "Baud rate box is empty");
    ResetMessageTexts();
}
