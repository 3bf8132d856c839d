#pragma once

#include "flash_memory.h"

#include <string>

namespace pst::sim {

inline constexpr std::uint32_t kLogoDirectoryAddress = 0x1CF000;
inline constexpr unsigned kLogoDirectoryRoom = 512;

// How many logos the stored bank's directory holds: entries from the first
// up to the first that points nowhere.
unsigned storedLogoCount(const FlashMemory& flash);

// What printing stored logo `number` (1-based) puts on paper, as text:
// "logo 3: 100x56 dots, 728 bytes, 350 black" or "logo 3: not stored".
std::string printedLogoText(const FlashMemory& flash, unsigned number);

}  // namespace pst::sim
