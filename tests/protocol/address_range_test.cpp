// Address blocks as a technician types them for a network search.

#include <gtest/gtest.h>

#include "protocol/address_range.h"

using namespace pst;

namespace {

AddressRange parsed(const std::string& text, std::uint16_t defaultPort = 5100)
{
    const AddressRangeParse result = parseAddressRange(text, defaultPort);
    EXPECT_TRUE(result.range) << text << ": " << static_cast<int>(result.fault) << " " << result.part;
    return result.range.value_or(AddressRange{});
}

}  // namespace

TEST(AddressRange, BlockLeavesOutItsNetworkAndBroadcastAddresses)
{
    const AddressRange block = parsed("192.168.1.0/24");
    EXPECT_EQ(block.port, 5100);
    const auto addresses = block.addresses();
    ASSERT_EQ(addresses.size(), 254u);
    EXPECT_EQ(dottedAddress(addresses.front()), "192.168.1.1");
    EXPECT_EQ(dottedAddress(addresses.back()), "192.168.1.254");

    // The smallest blocks have no such addresses to spare.
    EXPECT_EQ(parsed("10.0.0.7/32").addresses(), std::vector<std::uint32_t>{0x0A000007});
    EXPECT_EQ(parsed("10.0.0.6/31").addresses(), (std::vector<std::uint32_t>{0x0A000006, 0x0A000007}));
    EXPECT_EQ(parsed("127.0.0.0/29").addresses().size(), 6u);
}

TEST(AddressRange, PortAndHostBitsAreTakenAsWritten)
{
    const AddressRange block = parsed("192.168.1.87/24:9100");
    EXPECT_EQ(block.port, 9100);
    EXPECT_EQ(dottedAddress(block.first), "192.168.1.0");
    EXPECT_EQ(block.count, 256u);
}

TEST(AddressRange, LargestBlockIsASlash22)
{
    EXPECT_EQ(parsed("10.1.4.0/22").count, kMaxRangeAddresses);
    for (const char* text : {"10.1.0.0/21", "10.0.0.0/16", "0.0.0.0/0"}) {
        const AddressRangeParse result = parseAddressRange(text, 5100);
        EXPECT_FALSE(result.range) << text;
        EXPECT_EQ(result.fault, AddressRangeFault::TooLarge) << text;
    }
}

TEST(AddressRange, MalformedTextsAreRefusedWithTheReason)
{
    for (const char* text :
         {"", "192.168.1.0", "192.168.1/24", "192.168.1.0.0/24", "192.168.1.256/24", "192.168.-1.0/24",
          "192.168.1.0/", "192.168.1.0/33", "192.168.1.0/2x", "192.168.1.0/24:", "192.168.1.0/24:0",
          "192.168.1.0/24:65536", "192.168.1.0/24:http", " 192.168.1.0/24", "192.168.1.0/24/24", "a.b.c.d/24",
          "192.168.01234.0/24"}) {
        const AddressRangeParse result = parseAddressRange(text, 5100);
        EXPECT_FALSE(result.range) << text;
        EXPECT_NE(result.fault, AddressRangeFault::None) << text;
    }

    // The part that is wrong is named.
    EXPECT_EQ(parseAddressRange("192.168.1.0/24:0", 5100).part, "0");
    EXPECT_EQ(parseAddressRange("a.b.c.d/24", 5100).fault, AddressRangeFault::NotAnAddress);
    EXPECT_EQ(parseAddressRange("192.168.1.0/2x", 5100).fault, AddressRangeFault::NotAPrefix);
    EXPECT_EQ(parseAddressRange("10.0.0.0/16", 5100).part, "65536");
}
