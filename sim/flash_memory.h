#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

namespace pst::sim {

// The printer's flash: reads 0xFF where nothing was written. Kept in 4 KiB
// pages so that a font at a high address costs only what it fills.
class FlashMemory {
public:
    static constexpr std::uint32_t kPageSize = 4096;

    void write(std::uint32_t address, std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> read(std::uint32_t address, std::size_t count) const;
    std::uint32_t readU32(std::uint32_t address) const;
    std::uint16_t readU16(std::uint32_t address) const;

    // The stretches written so far, [start, end), merged and in order.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& regions() const { return regions_; }

private:
    void noteRegion(std::uint32_t start, std::uint32_t end);

    std::map<std::uint32_t, std::vector<std::uint8_t>> pages_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> regions_;
};

}  // namespace pst::sim
