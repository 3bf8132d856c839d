// The address block the network search is given ("192.168.1.0/24:5100"):
// any text is either refused with a reason or gives a block of at most
// kMaxRangeAddresses addresses, aligned to its prefix, whose addresses all
// lie inside it and read back through the dotted form.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/address_range.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pst::AddressRangeParse parsed = pst::parseAddressRange(text, 5100);
    PST_FUZZ_CHECK(parsed.range.has_value() == (parsed.fault == pst::AddressRangeFault::None));
    if (!parsed.range)
        return 0;
    const pst::AddressRange& range = *parsed.range;
    PST_FUZZ_CHECK(range.count >= 1 && range.count <= pst::kMaxRangeAddresses);
    PST_FUZZ_CHECK((range.count & (range.count - 1)) == 0);
    PST_FUZZ_CHECK(range.first % range.count == 0);
    PST_FUZZ_CHECK(range.port >= 1);

    const auto addresses = range.addresses();
    PST_FUZZ_CHECK(addresses.size() == (range.count > 2 ? range.count - 2 : range.count));
    for (const std::uint32_t address : addresses)
        PST_FUZZ_CHECK(address - range.first < range.count);

    // The block's own address written back parses to the same block.
    const std::string prefix = std::to_string(32 - std::countr_zero(range.count));
    const auto again = pst::parseAddressRange(pst::dottedAddress(range.first) + "/" + prefix + ":" +
                                                  std::to_string(range.port),
                                              1);
    PST_FUZZ_CHECK(again.range && again.range->first == range.first && again.range->count == range.count &&
                   again.range->port == range.port);
    return 0;
}
