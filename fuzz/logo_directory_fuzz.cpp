// The logo directory as the printer returns it: any bytes give the entries
// up to the first that points nowhere, each exactly as its eight bytes say;
// a directory built by the tool reads back as built; the check of the logo
// numbers to print names the first number that is not stored.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "protocol/byte_order.h"
#include "protocol/logo_bank.h"
#include "protocol/logo_directory.h"

namespace {

bool pointsNowhere(const std::uint8_t* entry)
{
    const std::uint32_t address = pst::readU32(entry);
    const std::uint16_t width = pst::readU16(entry + 4), height = pst::readU16(entry + 6);
    return address == 0 || address == 0xFFFFFFFF || width == 0 || width == 0xFFFF || height == 0 ||
        height == 0xFFFF;
}

// Up to four small pictures whose sizes come from the bytes, in a bank:
// its directory must read back as what was built.
void checkBuiltDirectory(std::span<const std::uint8_t> sizes)
{
    std::vector<pst::MonochromePicture> pictures;
    for (std::size_t i = 0; i + 1 < sizes.size() && pictures.size() < 4; i += 2)
        pictures.emplace_back(1 + sizes[i] % 64, 1 + sizes[i + 1] % 64);
    const std::vector<std::uint8_t> bank = pst::BuildLogoBank(pictures);
    const auto logos = pst::ParseLogoDirectory(bank);
    PST_FUZZ_CHECK(logos.size() == pictures.size());
    std::uint32_t address = pst::kFirstLogoAddress;
    for (std::size_t i = 0; i < logos.size(); ++i) {
        PST_FUZZ_CHECK(logos[i].address == address);
        PST_FUZZ_CHECK(logos[i].widthDots() == (pictures[i].width() + 7) / 8 * 8);
        PST_FUZZ_CHECK(logos[i].heightDots() == (pictures[i].height() + 7) / 8 * 8);
        address += static_cast<std::uint32_t>(logos[i].imageSize());
    }
    PST_FUZZ_CHECK(address - pst::kLogoBankBase == bank.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto logos = pst::ParseLogoDirectory(bytes);
    const std::size_t entries = std::min(size, pst::kLogoDirectorySize) / 8;
    PST_FUZZ_CHECK(logos.size() <= entries);
    for (std::size_t i = 0; i < logos.size(); ++i) {
        const std::uint8_t* entry = data + i * 8;
        PST_FUZZ_CHECK(logos[i].number == static_cast<int>(i + 1));
        PST_FUZZ_CHECK(!pointsNowhere(entry));
        PST_FUZZ_CHECK(logos[i].address == pst::readU32(entry));
        PST_FUZZ_CHECK(logos[i].widthBytes == pst::readU16(entry + 4));
        PST_FUZZ_CHECK(logos[i].heightBands == pst::readU16(entry + 6));
        PST_FUZZ_CHECK(logos[i].imageSize() == std::size_t{logos[i].widthBytes} * logos[i].heightBands * 8);
    }
    if (logos.size() < entries)
        PST_FUZZ_CHECK(pointsNowhere(data + logos.size() * 8));

    // The numbers a print asks for: the first byte says how many.
    if (size > 0) {
        const auto numbers = bytes.subspan(1, std::min<std::size_t>(data[0] % 8, size - 1));
        const int missing = pst::FirstMissingLogo(logos, numbers);
        int expected = -1;
        for (const std::uint8_t number : numbers)
            if (number == 0 || number > logos.size()) {
                expected = number;
                break;
            }
        PST_FUZZ_CHECK(missing == expected);
    }

    checkBuiltDirectory(bytes.first(std::min<std::size_t>(size, 8)));
    return 0;
}
