#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pst::sim {

std::uint8_t xorOf(std::span<const std::uint8_t> bytes);

// Encodes a packet with correct checks; fault injection corrupts it afterwards.
std::vector<std::uint8_t> buildFrame(std::uint16_t command, std::uint32_t arg1, std::uint32_t arg2,
                                     std::span<const std::uint8_t> payload);

}  // namespace pst::sim
