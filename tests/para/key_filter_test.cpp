// The typing filters of the parameter window's edits.

#include <gtest/gtest.h>

#include "para/key_filter.h"

using namespace pst::para;

namespace {

TEST(ParaKeyFilters, DigitsAndDots)
{
    EXPECT_TRUE(KeyPasses(U'7', KeyFilter::Digits));
    EXPECT_TRUE(KeyPasses(8, KeyFilter::Digits));
    EXPECT_FALSE(KeyPasses(U'.', KeyFilter::Digits));
    EXPECT_FALSE(KeyPasses(U'a', KeyFilter::Digits));
    EXPECT_TRUE(KeyPasses(U'.', KeyFilter::DigitsAndDot));
    EXPECT_FALSE(KeyPasses(U'-', KeyFilter::DigitsAndDot));
}

}  // namespace
