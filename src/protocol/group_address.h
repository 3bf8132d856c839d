#pragma once
// Addresses that reach many devices at once. A reply bound to its printer
// needs one printer to ask: none of these is ever a printer's address.

#include <cstdint>

namespace pst {

// `address` is IPv4 in host byte order: the limited broadcast
// 255.255.255.255 or a multicast group (224.0.0.0/4).
constexpr bool isGroupAddress(std::uint32_t address)
{
    return address == 0xFFFFFFFFu || (address >> 28) == 0xEu;
}

// The engine's fixed text for the refusal (the message table's
// "sGroupAddressMsg").
inline constexpr const char* kGroupAddressText =
    "Broadcast and multicast addresses are not a printer's address";

}  // namespace pst
