#pragma once

#include "flash_memory.h"

#include <string>

namespace pst::sim {

inline constexpr std::uint32_t kLogoDirectoryAddress = 0x1CF000;
inline constexpr unsigned kLogoDirectoryRoom = 512;
// The directory and the images together; an image outside it is not one the
// bank holds.
inline constexpr std::uint32_t kLogoBankSize = 256 * 1024;
inline constexpr unsigned kWidestHeadBytes = 576 / 8;

// How many logos the stored bank's directory holds: entries from the first
// up to the first that points nowhere.
unsigned storedLogoCount(const FlashMemory& flash);

// What printing stored logo `number` (1-based) puts on paper, as text:
// "logo 3: 100x56 dots, 728 bytes, 350 black", "logo 3: not stored", or,
// for an entry no bank could hold (junk over the directory),
// "logo 3: damaged entry (215560x252280 dots at 0x...), nothing printed".
std::string printedLogoText(const FlashMemory& flash, unsigned number);

}  // namespace pst::sim
