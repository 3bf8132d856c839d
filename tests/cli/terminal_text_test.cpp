// Printer-supplied text on the terminal: controls escaped, letters kept.

#include <gtest/gtest.h>

#include "cli/terminal_text.h"

using pst::cli::TerminalSafe;

TEST(TerminalSafe, ControlsAndBrokenUtf8AreEscapedLettersStay)
{
    EXPECT_EQ(TerminalSafe("PNF80"), "PNF80");
    EXPECT_EQ(TerminalSafe("收银台 café"), "收银台 café");
    EXPECT_EQ(TerminalSafe(std::string("A\0\r\n\x7F\\", 6)), "A\\x00\\x0d\\x0a\\x7f\\\\");
    // U+009B, a control some terminals start escape sequences with; a lone
    // lead byte; an overlong slash; a lead byte cut off at the end.
    EXPECT_EQ(TerminalSafe("\xC2\x9B" "2J"), "\\xc2\\x9b2J");
    EXPECT_EQ(TerminalSafe("\xE4" "A"), "\\xe4A");
    EXPECT_EQ(TerminalSafe("\xC0\xAF"), "\\xc0\\xaf");
    EXPECT_EQ(TerminalSafe("Z\xE6\x94"), "Z\\xe6\\x94");
}
