// Pictures of any kind (BMP, PNG, JPEG, GIF) into logos: any bytes are
// either refused with EInvalidInput or have a header whose size is the
// decoded picture's; the size checks made on the header alone refuse
// exactly what the conversion refuses; every conversion gives dots of the
// promised size, and the preview drawn from the bank shows exactly those.

#include <cstddef>
#include <iterator>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "protocol/input_error.h"
#include "protocol/logo_bank.h"
#include "protocol/logo_preview.h"
#include "protocol/picture_conversion.h"
#include "protocol/picture_file.h"

namespace {

// Larger pictures are decoded only as far as their header: valid, but
// they would make each run slow. Their conversions are still checked on
// the header's size.
constexpr long long kMaxDecodedDots = 1 << 12;
// A thin picture fitted to a wide head gives many dots from few: such
// conversions are checked on the header's size only.
constexpr long long kMaxConvertedDots = 1 << 15;
// Previews larger than this are compared on their first and last rows.
constexpr long long kMaxComparedDots = 1 << 12;

const pst::PictureConversion kConversions[] = {
    {.method = pst::DitherMethod::Threshold},
    {.method = pst::DitherMethod::FloydSteinberg, .fitWidth = 16},
    {.method = pst::DitherMethod::Atkinson, .fitWidth = 576},
    {.method = pst::DitherMethod::Threshold, .fitWidth = 8},
};

bool headerRefuses(const pst::PictureSize& size, const pst::PictureConversion& conversion)
{
    try {
        pst::CheckConversionSize(static_cast<int>(size.width), static_cast<int>(size.height), conversion);
        return false;
    } catch (const pst::EInvalidInput& refused) {
        PST_FUZZ_CHECK(!refused.messageKey().empty());
        return true;
    }
}

void checkConversion(const pst::RgbPicture& picture, const pst::PictureConversion& conversion, bool refusedEarly)
{
    pst::MonochromePicture dots;
    try {
        dots = pst::ConvertPicture(picture, conversion);
    } catch (const pst::EInvalidInput&) {
        PST_FUZZ_CHECK(refusedEarly);
        return;
    }
    PST_FUZZ_CHECK(!refusedEarly);
    if (conversion.fitWidth > 0) {
        PST_FUZZ_CHECK(dots.width() == conversion.fitWidth && dots.height() >= 1);
    } else {
        PST_FUZZ_CHECK(dots.width() == picture.width() && dots.height() == picture.height());
    }
    PST_FUZZ_CHECK(pst::LogoImageSize(dots.width(), dots.height()) <= pst::kLogoImageRoom);
    const auto bank = pst::BuildLogoBank({dots});
    const pst::GreyImage preview = pst::BankPreview(bank);
    PST_FUZZ_CHECK(preview.width == (dots.width() + 7) / 8 * 8);
    PST_FUZZ_CHECK(preview.height == (dots.height() + 7) / 8 * 8);
    std::vector<int> rows{0, preview.height - 1};
    if (static_cast<long long>(preview.width) * preview.height <= kMaxComparedDots)
        for (int y = 1; y < preview.height - 1; ++y)
            rows.push_back(y);
    for (const int y : rows)
        for (int x = 0; x < preview.width; ++x)
            PST_FUZZ_CHECK(preview.at(x, y) == (dots.isBlack(x, y) ? pst::kPreviewBlack : pst::kPreviewWhite));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const pst::PictureSize header = pst::ReadPictureSize(bytes, "fuzz");
        const bool decodable =
            header.width > 0 && header.height > 0 && header.width * header.height <= pst::kMaxPictureDots;
        bool refusedEarly[std::size(kConversions)] = {};
        for (std::size_t i = 0; i < std::size(kConversions); ++i)
            refusedEarly[i] = decodable && headerRefuses(header, kConversions[i]);
        if (header.width * header.height > kMaxDecodedDots && decodable)
            return 0;

        const pst::RgbPicture picture = pst::DecodePicture(bytes, "fuzz");
        PST_FUZZ_CHECK(decodable);
        PST_FUZZ_CHECK(picture.width() == header.width && picture.height() == header.height);
        for (std::size_t i = 0; i < std::size(kConversions); ++i) {
            const pst::PictureConversion& conversion = kConversions[i];
            const int width = conversion.fitWidth > 0 ? conversion.fitWidth : picture.width();
            if (refusedEarly[i] ||
                width * pst::FittedHeight(picture.width(), picture.height(), conversion.fitWidth) <= kMaxConvertedDots)
                checkConversion(picture, conversion, refusedEarly[i]);
        }
    } catch (const pst::EInvalidInput&) {
        return 0;
    }
    return 0;
}
