#include "protocol/logo_directory.h"

#include <algorithm>

#include "protocol/byte_order.h"
#include "protocol/logo_bank.h"
#include "protocol/picture_conversion.h"

namespace pst {

namespace {

bool pointsSomewhere(std::uint32_t address, std::uint16_t width, std::uint16_t height)
{
    return address != 0 && address != 0xFFFFFFFF && width != 0 && width != 0xFFFF && height != 0 &&
        height != 0xFFFF;
}

}  // namespace

std::vector<StoredLogo> ParseLogoDirectory(std::span<const std::uint8_t> directory)
{
    std::vector<StoredLogo> logos;
    const std::size_t entries = std::min(directory.size(), kLogoDirectorySize) / 8;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry = directory.data() + i * 8;
        StoredLogo logo{static_cast<int>(i + 1), readU32(entry), readU16(entry + 4), readU16(entry + 6)};
        if (!pointsSomewhere(logo.address, logo.widthBytes, logo.heightBands))
            break;
        logos.push_back(logo);
    }
    return logos;
}

int FirstDamagedLogo(const std::vector<StoredLogo>& stored)
{
    constexpr std::uint64_t kImageRoomEnd = kLogoBankBase + kLogoBankLimit;
    std::uint64_t imageBytes = 0;
    for (const StoredLogo& logo : stored) {
        imageBytes += logo.imageSize();
        if (logo.widthDots() > kWidestHeadDots || logo.address < kFirstLogoAddress ||
            logo.address + std::uint64_t{logo.imageSize()} > kImageRoomEnd || imageBytes > kLogoImageRoom)
            return logo.number;
    }
    return -1;
}

int FirstMissingLogo(const std::vector<StoredLogo>& stored, std::span<const std::uint8_t> numbers)
{
    for (const std::uint8_t number : numbers)
        if (number == 0 || number > stored.size())
            return number;
    return -1;
}

}  // namespace pst
