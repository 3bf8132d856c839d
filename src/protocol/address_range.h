#pragma once
// A block of IPv4 addresses to search for printers, written the way network
// people write one: "192.168.1.0/24", with an optional ":PORT".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pst {

// More than this many addresses would take minutes to ask, and is rarely a
// printer's network: a /22 is the largest block searched.
inline constexpr std::uint32_t kMaxRangeAddresses = 1024;

struct AddressRange {
    std::uint32_t first = 0;  // host byte order
    std::uint32_t count = 0;
    std::uint16_t port = 0;

    // The addresses in order. A block larger than two leaves out its
    // network and broadcast addresses, where no printer lives.
    std::vector<std::uint32_t> addresses() const;
};

// Why a text is no block; the words are the caller's, in its language.
enum class AddressRangeFault {
    None,
    NotABlock,     // no "/"
    NotAnAddress,  // `part` is the text before the "/"
    NotAPort,      // `part` is the text after the ":"
    NotAPrefix,    // `part` is the prefix length as written
    TooLarge,      // `part` is the number of addresses the block holds
};

struct AddressRangeParse {
    std::optional<AddressRange> range;
    AddressRangeFault fault = AddressRangeFault::None;  // when range is empty
    std::string part;
};

// "A.B.C.D/N" or "A.B.C.D/N:PORT": four decimal parts from 0 to 255, a
// prefix length from 22 to 32 (a shorter one is refused for its size) and a
// port from 1 to 65535 (`defaultPort` when none is given). Bits past the
// prefix are ignored, so "192.168.1.87/24" is the block of 192.168.1.87.
AddressRangeParse parseAddressRange(std::string_view text, std::uint16_t defaultPort);

// "192.168.1.87": the dotted form of an address in host byte order.
std::string dottedAddress(std::uint32_t address);

}  // namespace pst
