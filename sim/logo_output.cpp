#include "logo_output.h"

#include <algorithm>
#include <bit>
#include <sstream>

namespace pst::sim {
namespace {

struct LogoEntry {
    std::uint32_t address = 0;
    std::uint16_t widthBytes = 0;
    std::uint16_t heightBands = 0;
};

LogoEntry entryAt(const FlashMemory& flash, unsigned index)
{
    const std::uint32_t at = kLogoDirectoryAddress + index * 8;
    return {flash.readU32(at), flash.readU16(at + 4), flash.readU16(at + 6)};
}

bool points(const LogoEntry& e)
{
    return e.address != 0 && e.address != 0xFFFFFFFF && e.widthBytes != 0 && e.widthBytes != 0xFFFF &&
        e.heightBands != 0 && e.heightBands != 0xFFFF;
}

}  // namespace

unsigned storedLogoCount(const FlashMemory& flash)
{
    unsigned count = 0;
    while (count < kLogoDirectoryRoom && points(entryAt(flash, count)))
        ++count;
    return count;
}

std::string printedLogoText(const FlashMemory& flash, unsigned number)
{
    const std::string name = "logo " + std::to_string(number);
    if (number == 0 || number > storedLogoCount(flash))
        return name + ": not stored";
    const LogoEntry e = entryAt(flash, number - 1);
    const std::size_t size = static_cast<std::size_t>(e.widthBytes) * e.heightBands * 8;
    // Sizes read from junk run to gigabytes: reading that much would keep
    // the printer from answering anything for minutes.
    const std::uint64_t bankEnd = std::uint64_t{kLogoDirectoryAddress} + kLogoBankSize;
    if (e.widthBytes > kWidestHeadBytes || e.address < kLogoDirectoryAddress ||
        e.address + std::uint64_t{size} > bankEnd) {
        std::ostringstream text;
        text << name << ": damaged entry (" << e.widthBytes * 8 << 'x' << e.heightBands * 8 << " dots at 0x"
             << std::hex << std::uppercase << e.address << "), nothing printed";
        return text.str();
    }
    const auto image = flash.read(e.address, size);
    std::size_t black = 0;
    for (const std::uint8_t b : image)
        black += static_cast<std::size_t>(std::popcount(b));
    return name + ": " + std::to_string(e.widthBytes * 8) + "x" + std::to_string(e.heightBands * 8) +
        " dots, " + std::to_string(size) + " bytes, " + std::to_string(black) + " black";
}

}  // namespace pst::sim
