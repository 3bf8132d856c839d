#include "flash_memory.h"

#include <algorithm>

namespace pst::sim {

void FlashMemory::write(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        auto& page = pages_[at / kPageSize];
        if (page.empty())
            page.assign(kPageSize, 0xFF);
        page[at % kPageSize] = bytes[i];
    }
    if (!bytes.empty())
        noteRegion(address, address + static_cast<std::uint32_t>(bytes.size()));
}

std::vector<std::uint8_t> FlashMemory::read(std::uint32_t address, std::size_t count) const
{
    std::vector<std::uint8_t> out(count, 0xFF);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        const auto page = pages_.find(at / kPageSize);
        if (page != pages_.end())
            out[i] = page->second[at % kPageSize];
    }
    return out;
}

std::uint32_t FlashMemory::readU32(std::uint32_t address) const
{
    const auto b = read(address, 4);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint16_t FlashMemory::readU16(std::uint32_t address) const
{
    const auto b = read(address, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

void FlashMemory::noteRegion(std::uint32_t start, std::uint32_t end)
{
    regions_.emplace_back(start, end);
    std::sort(regions_.begin(), regions_.end());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> merged;
    for (const auto& region : regions_) {
        if (!merged.empty() && region.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, region.second);
        else
            merged.push_back(region);
    }
    regions_ = std::move(merged);
}

}  // namespace pst::sim
