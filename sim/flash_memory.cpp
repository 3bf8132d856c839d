#include "flash_memory.h"

#include <algorithm>

namespace pst::sim {

// Both walk the range a page at a time; addresses wrap at 4 GiB as the
// printer's do, which always happens on a page boundary.
void FlashMemory::write(std::uint32_t address, std::span<const std::uint8_t> bytes)
{
    std::uint32_t at = address;
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t offset = at % kPageSize;
        const std::size_t n = std::min(bytes.size() - done, kPageSize - offset);
        auto& page = pages_[at / kPageSize];
        if (page.empty())
            page.assign(kPageSize, 0xFF);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(done), n,
                    page.begin() + static_cast<std::ptrdiff_t>(offset));
        done += n;
        at += static_cast<std::uint32_t>(n);
    }
    if (!bytes.empty())
        noteRegion(address, address + static_cast<std::uint32_t>(bytes.size()));
}

std::vector<std::uint8_t> FlashMemory::read(std::uint32_t address, std::size_t count) const
{
    std::vector<std::uint8_t> out(count, 0xFF);
    std::uint32_t at = address;
    for (std::size_t done = 0; done < count;) {
        const std::size_t offset = at % kPageSize;
        const std::size_t n = std::min(count - done, kPageSize - offset);
        const auto page = pages_.find(at / kPageSize);
        if (page != pages_.end()) {
            std::copy_n(page->second.begin() + static_cast<std::ptrdiff_t>(offset), n,
                        out.begin() + static_cast<std::ptrdiff_t>(done));
        }
        done += n;
        at += static_cast<std::uint32_t>(n);
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
