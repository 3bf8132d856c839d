#include "protocol/bmp_rle.h"

#include <cstddef>

namespace pst {

std::optional<std::vector<std::uint8_t>> ExpandBmpRle(std::span<const std::uint8_t> data, int width, int height,
                                                       int bits)
{
    if (width <= 0 || height <= 0 || (bits != 4 && bits != 8))
        return std::nullopt;
    std::vector<std::uint8_t> dots(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::int64_t x = 0, y = 0;
    // Dots past a row's end or the last row are dropped, as a viewer would.
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height)
            dots[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = index;
        ++x;
    };
    // The i-th dot of a byte: one dot in RLE8, high then low half in RLE4.
    auto dotOf = [bits](std::uint8_t byte, std::size_t i) -> std::uint8_t {
        return bits == 8 ? byte : static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
    };
    std::size_t at = 0;
    while (y < height) {
        if (at + 2 > data.size())
            return std::nullopt;
        const std::uint8_t count = data[at];
        const std::uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (std::size_t i = 0; i < count; ++i)
                put(dotOf(value, i));
            continue;
        }
        switch (value) {
        case 0:  // end of the row
            x = 0;
            ++y;
            break;
        case 1:  // end of the picture
            return dots;
        case 2:  // move right and up
            if (at + 2 > data.size())
                return std::nullopt;
            x += data[at];
            y += data[at + 1];
            at += 2;
            break;
        default: {  // `value` dots as they are, padded to whole 16-bit words
            const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2u;
            if (at + bytes > data.size())
                return std::nullopt;
            for (std::size_t i = 0; i < value; ++i)
                put(dotOf(data[at + (bits == 8 ? i : i / 2)], i));
            at += bytes + (bytes % 2);
            break;
        }
        }
    }
    return dots;
}

}  // namespace pst
