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

TEST(IntConversion, HexFieldsTakeTheDigitsWithOrWithout0x)
{
    EXPECT_EQ(hexStrToInt("1CF000"), 0x1CF000);
    EXPECT_EQ(hexStrToInt("0x1CF000"), 0x1CF000);
    EXPECT_EQ(hexStrToInt("0X1cf000"), 0x1CF000);
    EXPECT_EQ(hexStrToInt("0"), 0);
    EXPECT_EQ(hexStrToInt("10"), 16);
    EXPECT_EQ(hexStrToInt("FFFFFFFF"), -1);
    EXPECT_EQ(hexStrToIntDef("0x10000", 0), 0x10000);
    EXPECT_EQ(hexStrToIntDef("12G", 7), 7);
    // The message names the text as typed, never the "$" the general
    // conversion is handed.
    for (const char* bad : {"", "0x", "12G", "$12", " 12", "12 ", "-1", "+1", "0x0x1", "100000000", "0x-1"}) {
        EXPECT_FALSE(parseHexInt32(bad)) << bad;
        try {
            hexStrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}
