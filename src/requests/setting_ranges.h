#pragma once

#include <cstdint>

namespace pst::requests {

// The ranges of the settings typed as numbers. The window's spin edits, the
// request builders, the command line and profiles all hold to them: a value
// outside would be cut to fit the packet's field and sent as another value.
inline constexpr std::int32_t kMinTimeSeconds = 1;
inline constexpr std::int32_t kMaxSleepSeconds = 999999999;  // sleep and power-off times
inline constexpr std::int32_t kMaxRecyclingSeconds = 255;    // receipt recycling time

}  // namespace pst::requests
