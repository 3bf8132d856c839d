#pragma once
// Reading a logo bank's directory back: from the bank file, or from the
// bytes the printer returns for the bank's address. Logo n is the n-th
// entry; the list ends at the first entry that points nowhere (zeros, or
// flash never written, which reads 0xFF).

#include <cstdint>
#include <span>
#include <vector>

namespace pst {

struct StoredLogo {
    int number = 0;  // 1-based, as the print command names it
    std::uint32_t address = 0;
    std::uint16_t widthBytes = 0;
    std::uint16_t heightBands = 0;

    int widthDots() const { return widthBytes * 8; }
    int heightDots() const { return heightBands * 8; }
    std::size_t imageSize() const { return static_cast<std::size_t>(widthBytes) * heightBands * 8; }
};

std::vector<StoredLogo> ParseLogoDirectory(std::span<const std::uint8_t> directory);

// The first entry that no logo bank download could have written: wider
// than the widest print head, an image outside the logo bank's room, or
// images that together outgrow it. Junk written over the directory (a font
// sent to the wrong address) reads as sizes of hundreds of thousands of
// dots; a bank read from such a directory describes nothing. -1 when every
// entry could be a logo.
int FirstDamagedLogo(const std::vector<StoredLogo>& stored);

// The first of the numbers that is not a stored logo; -1 when all are.
int FirstMissingLogo(const std::vector<StoredLogo>& stored, std::span<const std::uint8_t> numbers);

}  // namespace pst
