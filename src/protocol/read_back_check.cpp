#include "protocol/read_back_check.h"

#include <algorithm>
#include <cstdio>

namespace pst {

std::optional<ReadBackMismatch> CompareReadBack(std::span<const std::uint8_t> sent,
                                                std::span<const std::uint8_t> readBack, std::uint32_t base,
                                                std::size_t blockSize)
{
    if (blockSize == 0)
        blockSize = 1;
    std::optional<ReadBackMismatch> mismatch;
    for (std::size_t start = 0; start < sent.size(); start += blockSize) {
        const std::size_t end = std::min(sent.size(), start + blockSize);
        for (std::size_t i = start; i < end; ++i) {
            if (i < readBack.size() && readBack[i] == sent[i])
                continue;
            if (!mismatch)
                mismatch = ReadBackMismatch{base + static_cast<std::uint32_t>(i), 0};
            ++mismatch->differingBlocks;
            break;
        }
    }
    return mismatch;
}

std::string AddressText(std::uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", address);
    return text;
}

}  // namespace pst
