#pragma once

#include <cstdint>
#include <vector>

namespace pst::sim {

// One request as the printer understood it.
struct ReceivedFrame {
    std::uint16_t command = 0;
    std::uint32_t arg1 = 0;
    std::uint32_t arg2 = 0;
    std::vector<std::uint8_t> payload;
};

}  // namespace pst::sim
