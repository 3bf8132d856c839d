#pragma once
// The two ways the parameter window reads a dotted IPv4 address.

#include <array>
#include <cstdint>
#include <string_view>

namespace pst {

// The check on leaving an address edit: what the platform's dotted-address
// conversion accepts, short and hexadecimal forms included, and never
// 255.255.255.255 (which that conversion cannot tell from its failure).
bool IsAcceptedAddress(std::string_view text);

// The network page's parse: four dot-separated parts, each a strict integer
// (EConvertError otherwise) from 0 to 255 (EInvalidInput with the message
// "sAddressPartMsg", "输入的IP有错!", otherwise).
std::array<std::uint8_t, 4> ParseDottedQuad(std::string_view text);

}  // namespace pst
