// The command line's BMP reader and the logo bank built from its pictures:
// any bytes are either refused with EInvalidInput or give a picture whose
// dots all read, and the bank built from it describes it faithfully.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "protocol/bmp_reader.h"
#include "protocol/byte_order.h"
#include "protocol/input_error.h"
#include "protocol/logo_bank.h"
#include "protocol/monochrome_picture.h"

namespace {

// A few bytes of run-length coding can describe the largest picture the
// reader takes; pictures are decoded only up to this size, so that each
// run stays short (larger ones go only as far as the header check).
constexpr long long kMaxCheckedDots = 1 << 14;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::vector<pst::MonochromePicture> pictures;
    try {
        // Beyond the reader's limit the header alone refuses: decoding such a
        // header is cheap. Between the two it would only be slow.
        const auto header = pst::BmpHeaderSize(bytes);
        const long long dots = header ? header->width * header->height : 0;
        if (dots > kMaxCheckedDots && dots <= pst::kMaxPictureDots && header->width > 0)
            return 0;
        const pst::RgbPicture bmp = pst::DecodeBmp(bytes, "fuzz.bmp");
        PST_FUZZ_CHECK(header && bmp.width() == header->width && bmp.height() == header->height);
        PST_FUZZ_CHECK(bmp.width() > 0 && bmp.height() > 0 && dots <= kMaxCheckedDots);
        pictures.push_back(pst::ToMonochrome(bmp));
        PST_FUZZ_CHECK(pictures.back().width() == bmp.width() && pictures.back().height() == bmp.height());
    } catch (const pst::EInvalidInput&) {
        return 0;
    }
    const pst::MonochromePicture picture = pictures.front();

    std::vector<std::uint8_t> bank;
    try {
        // Twice, so that the second directory entry's address is checked too.
        pictures.push_back(picture);
        bank = pst::BuildLogoBank(pictures);
    } catch (const pst::EInvalidInput&) {
        // Refused as too large for the directory to describe.
        PST_FUZZ_CHECK((picture.width() + 7) / 8 > 0xFFFF || (picture.height() + 7) / 8 > 0xFFFF);
        return 0;
    }

    // Each directory entry names where its image starts and how large it is;
    // the images follow the directory one after another and fill the bank.
    std::size_t expectedAddress = pst::kFirstLogoAddress;
    for (std::size_t entry = 0; entry < pictures.size(); ++entry) {
        const std::uint8_t* field = bank.data() + entry * 8;
        const std::size_t widthBytes = pst::readU16(field + 4);
        const std::size_t heightBands = pst::readU16(field + 6);
        PST_FUZZ_CHECK(pst::readU32(field) == expectedAddress);
        PST_FUZZ_CHECK(widthBytes * 8 >= static_cast<std::size_t>(picture.width()));
        PST_FUZZ_CHECK(heightBands * 8 >= static_cast<std::size_t>(picture.height()));
        // The first image's dots are the picture's dots.
        if (entry == 0) {
            const std::uint8_t* image = bank.data() + pst::kLogoDirectorySize;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const std::uint8_t byte = image[static_cast<std::size_t>(y) * widthBytes + static_cast<std::size_t>(x) / 8];
                    PST_FUZZ_CHECK(((byte >> (7 - x % 8)) & 1) == (picture.isBlack(x, y) ? 1 : 0));
                }
        }
        expectedAddress += widthBytes * heightBands * 8;
    }
    PST_FUZZ_CHECK(bank.size() == expectedAddress - pst::kLogoBankBase);
    (void)pst::LogoBankSizeProblem(bank.size());
    return 0;
}
