// Comparing what a download wrote with what the printer reads back.

#include <gtest/gtest.h>

#include "protocol/read_back_check.h"

using namespace pst;

TEST(ReadBackCheck, NamesTheFirstDifferingAddressAndCountsBlocks)
{
    std::vector<std::uint8_t> sent(600);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i);
    // The printer answers in whole replies: more than was written is fine.
    std::vector<std::uint8_t> back = sent;
    back.resize(768, 0xFF);
    EXPECT_FALSE(CompareReadBack(sent, back, 0x10000, 256));

    back[300] ^= 1;
    back[310] ^= 1;  // the same block
    back[599] ^= 1;  // the last, short block
    const auto mismatch = CompareReadBack(sent, back, 0x10000, 256);
    ASSERT_TRUE(mismatch);
    EXPECT_EQ(mismatch->firstAddress, 0x10000u + 300);
    EXPECT_EQ(mismatch->differingBlocks, 2u);
    EXPECT_EQ(AddressText(mismatch->firstAddress), "0x1012C");

    // A read-back that stops short: the missing bytes differ.
    const auto shortRead = CompareReadBack(sent, std::span(sent).first(256), 0x10000, 256);
    ASSERT_TRUE(shortRead);
    EXPECT_EQ(shortRead->firstAddress, 0x10100u);
    EXPECT_EQ(shortRead->differingBlocks, 2u);
}
