#include <gtest/gtest.h>

#include "platform/int_conversion.h"

using namespace pst;

TEST(IntConversion, StrictAcceptsWholeNumbersAsTyped)
{
    EXPECT_EQ(strToInt("9600"), 9600);
    EXPECT_EQ(strToInt("  115200"), 115200);
    EXPECT_EQ(strToInt("-12"), -12);
    EXPECT_EQ(strToInt("+7"), 7);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("0x10000"), 65536);
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
}

TEST(IntConversion, StrictRefusesEverythingElseWithTheUsersMessage)
{
    for (const char* bad :
         {"", " ", "96 00", "9600 ", "abc", "12a", "$", "0x", "-", "2147483648", "$100000000", "1.5"}) {
        try {
            strToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(IntConversion, TolerantFallsBackToTheDefault)
{
    EXPECT_EQ(strToIntDef("5100", 1), 5100);
    EXPECT_EQ(strToIntDef("51x", 5100), 5100);
    EXPECT_EQ(strToIntDef("", 5100), 5100);
}
