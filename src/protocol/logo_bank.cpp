#include "protocol/logo_bank.h"

#include <algorithm>

#include "platform/file_bytes.h"
#include "protocol/byte_order.h"
#include "protocol/input_error.h"

namespace pst {

namespace {

EInvalidInput tooManyLogos(std::size_t count)
{
    const std::string pictures = std::to_string(count), room = std::to_string(kLogoDirectoryRoom);
    return EInvalidInput::withMessageValues("sTooManyLogosMsg", {pictures, room},
                                            "Too many logos: " + pictures +
                                                " pictures, the printer's logo directory holds " + room);
}

}  // namespace

bool FitsLogoDirectory(const MonochromePicture& picture)
{
    return picture.width() <= kLogoMaxDots && picture.height() <= kLogoMaxDots;
}

std::uint64_t LogoImageSize(std::int64_t widthDots, std::int64_t heightDots)
{
    if (widthDots <= 0 || heightDots <= 0)
        return 0;
    const auto widthBytes = static_cast<std::uint64_t>(widthDots + 7) / 8;
    const auto heightBands = static_cast<std::uint64_t>(heightDots + 7) / 8;
    return widthBytes * heightBands * 8;
}

EInvalidInput LogoBankTooLargeRefusal()
{
    const std::string limit = std::to_string(kLogoBankLimit / 1024);
    return EInvalidInput::withMessageValues("sDnLogFileMsg", {limit}, "BMP 文件不能超过" + limit);
}

LogoImage EncodeLogoImage(const MonochromePicture& picture)
{
    // A size cut down to 16 bits would describe another picture than the
    // bytes that follow.
    if (!FitsLogoDirectory(picture))
        throw EInvalidInput::withMessageKey(kLogoSizeErrorKey);
    LogoImage image;
    image.widthBytes = static_cast<std::uint16_t>((picture.width() + 7) / 8);
    image.heightBands = static_cast<std::uint16_t>((picture.height() + 7) / 8);
    const int rows = image.heightBands * 8;
    image.bytes.reserve(static_cast<std::size_t>(rows) * image.widthBytes);
    for (int y = 0; y < rows; ++y) {
        for (int column = 0; column < image.widthBytes; ++column) {
            std::uint8_t byte = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (picture.isBlack(column * 8 + bit, y))
                    byte |= static_cast<std::uint8_t>(0x80 >> bit);
            image.bytes.push_back(byte);
        }
    }
    return image;
}

std::vector<std::uint8_t> BuildLogoBank(const std::vector<MonochromePicture>& pictures)
{
    if (pictures.size() > kLogoDirectoryRoom)
        throw tooManyLogos(pictures.size());
    for (const auto& picture : pictures)
        if (!FitsLogoDirectory(picture))
            throw EInvalidInput::withMessageKey(kLogoSizeErrorKey);
    std::vector<std::uint8_t> bank(kLogoDirectorySize, 0);
    std::uint32_t address = kFirstLogoAddress;
    std::size_t entry = 0;
    for (const auto& picture : pictures) {
        const LogoImage image = EncodeLogoImage(picture);
        putU32(bank.data() + entry, address);
        putU16(bank.data() + entry + 4, image.widthBytes);
        putU16(bank.data() + entry + 6, image.heightBands);
        entry += 8;
        address += static_cast<std::uint32_t>(image.bytes.size());
        bank.insert(bank.end(), image.bytes.begin(), image.bytes.end());
    }
    return bank;
}

std::vector<std::uint8_t> BuildLogoBankFromFiles(const std::vector<std::string>& paths,
                                                 const PictureLoader& load)
{
    std::vector<std::string> existing;
    for (const auto& path : paths)
        if (isRegularFile(path))
            existing.push_back(path);
    if (existing.size() > kLogoDirectoryRoom)
        throw tooManyLogos(existing.size());
    std::vector<MonochromePicture> pictures;
    pictures.reserve(existing.size());
    std::uint64_t imageBytes = 0;
    for (const auto& path : existing) {
        pictures.push_back(load(path));
        const MonochromePicture& picture = pictures.back();
        if (!FitsLogoDirectory(picture))
            throw EInvalidInput::withMessageKey(kLogoSizeErrorKey, " (" + path + ")");
        // Refused before the next picture is even read: the sum is what the
        // printer cannot hold, whichever picture tips it over.
        imageBytes += LogoImageSize(picture.width(), picture.height());
        if (imageBytes > kLogoImageRoom)
            throw LogoBankTooLargeRefusal();
    }
    return BuildLogoBank(pictures);
}

std::optional<AddressSpan> LogoAreaOverlap(std::uint32_t start, std::uint64_t length)
{
    constexpr std::uint64_t kAreaEnd = std::uint64_t{kLogoBankBase} + kLogoBankLimit;
    const std::uint64_t first = std::max<std::uint64_t>(start, kLogoBankBase);
    const std::uint64_t end = std::min(std::uint64_t{start} + length, kAreaEnd);
    if (length == 0 || first >= end)
        return std::nullopt;
    return AddressSpan{static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(end - 1)};
}

std::string LogoBankSizeProblem(std::size_t bankSize)
{
    if (bankSize <= kLogoBankLimit)
        return {};
    return LogoBankTooLargeRefusal().what();
}

}  // namespace pst
