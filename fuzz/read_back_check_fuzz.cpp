// The check of a download against what the printer's memory gives back:
// it finds no mismatch exactly when the read-back begins with every byte
// sent, and otherwise names the first differing address and counts each
// block that holds a difference once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "protocol/byte_order.h"
#include "protocol/read_back_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Block size, the base address, where the sent bytes end; then the bytes.
    if (size < 6)
        return 0;
    const std::size_t blockSize = data[0];
    const std::uint32_t base = pst::readU32(data + 1);
    const std::span<const std::uint8_t> rest(data + 6, size - 6);
    const std::size_t split = rest.empty() ? 0 : data[5] % (rest.size() + 1);
    const auto sent = rest.first(split);
    auto readBack = rest.subspan(split);
    // Mostly a read-back that repeats the sent bytes, with what follows
    // changing some of them: the interesting case.
    std::vector<std::uint8_t> echoed(sent.begin(), sent.end());
    for (std::size_t i = 0; i + 1 < readBack.size(); i += 2)
        if (!echoed.empty())
            echoed[readBack[i] % echoed.size()] ^= readBack[i + 1];
    if (blockSize % 2 == 0)
        readBack = echoed;

    const auto mismatch = pst::CompareReadBack(sent, readBack, base, blockSize);
    const std::size_t step = blockSize == 0 ? 1 : blockSize;
    // Every differing byte, and the blocks they fall in.
    std::size_t first = sent.size(), blocks = 0, lastBlock = SIZE_MAX;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (i < readBack.size() && readBack[i] == sent[i])
            continue;
        first = std::min(first, i);
        blocks += i / step != lastBlock ? 1 : 0;
        lastBlock = i / step;
    }
    PST_FUZZ_CHECK(mismatch.has_value() == (first < sent.size()));
    if (mismatch) {
        PST_FUZZ_CHECK(mismatch->firstAddress == base + static_cast<std::uint32_t>(first));
        PST_FUZZ_CHECK(mismatch->differingBlocks == blocks);
        const std::string text = pst::AddressText(mismatch->firstAddress);
        PST_FUZZ_CHECK(text.starts_with("0x"));
        PST_FUZZ_CHECK(std::strtoul(text.c_str() + 2, nullptr, 16) == mismatch->firstAddress);
    }
    return 0;
}
