#pragma once
// The speeds a serial printer is looked for at, in the order worth trying.

#include <array>
#include <cstdint>
#include <vector>

namespace pst {

// The factory speed and the usual transfer speed first, the rarely chosen
// slow ones last.
inline constexpr std::array<std::uint32_t, 9> kSearchSpeeds{9600, 115200, 19200, 38400, 57600,
                                                            230400, 4800, 2400, 1200};

// `first`, then every other speed of kSearchSpeeds in its order.
std::vector<std::uint32_t> searchOrder(std::uint32_t first);

}  // namespace pst
