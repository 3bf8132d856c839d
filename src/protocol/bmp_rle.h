#pragma once
// The run-length coding of BMP pictures (RLE8 for 8 bits a dot, RLE4 for
// 4), as paint programs save logos to keep them small.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pst {

// The palette index of every dot, rows as stored (the bottom row first);
// dots the coding skips keep index 0. Nothing when the data end before the
// picture does.
std::optional<std::vector<std::uint8_t>> ExpandBmpRle(std::span<const std::uint8_t> data, int width, int height,
                                                       int bits);

}  // namespace pst
