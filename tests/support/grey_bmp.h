#pragma once

// A 24-bit BMP picture, bottom-up, every dot the same grey: the simplest
// picture a technician could hand the tool, built byte by byte so that the
// tests do not read pictures with the code under test.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pst::test {

inline std::vector<std::uint8_t> GreyBmp(int width, int height, std::uint8_t level)
{
    const std::size_t row = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
    std::vector<std::uint8_t> b(54 + row * static_cast<std::size_t>(height), 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            b[54 + static_cast<std::size_t>(y) * row + static_cast<std::size_t>(x)] = level;
    return b;
}

}  // namespace pst::test
