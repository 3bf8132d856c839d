#pragma once
// Whether the printer's memory holds what a download wrote: the bytes sent
// against the bytes read back from the same addresses, block by block as
// they were written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pst {

struct ReadBackMismatch {
    std::uint32_t firstAddress = 0;  // of the first byte that differs
    std::size_t differingBlocks = 0;
};

// Nothing when every byte matches. Bytes missing from the read-back count
// as different.
std::optional<ReadBackMismatch> CompareReadBack(std::span<const std::uint8_t> sent,
                                                std::span<const std::uint8_t> readBack, std::uint32_t base,
                                                std::size_t blockSize);

// "0x1D0010": how the failure names an address.
std::string AddressText(std::uint32_t address);

}  // namespace pst
