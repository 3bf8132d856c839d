// Pictures of any kind (BMP, PNG, JPEG, GIF) into logos: any bytes are
// either refused with EInvalidInput or decode to a picture that every
// conversion turns into dots of the promised size, and the preview drawn
// from the bank shows exactly those dots.

#include <cstddef>
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

// Larger pictures are valid but would only make each run slow.
constexpr long long kMaxCheckedDots = 1 << 18;

void checkConversion(const pst::RgbPicture& picture, const pst::PictureConversion& conversion)
{
    pst::MonochromePicture dots;
    try {
        dots = pst::ConvertPicture(picture, conversion);
    } catch (const pst::EInvalidInput&) {
        PST_FUZZ_CHECK((conversion.fitWidth == 0 && picture.Width() > pst::kWidestHeadDots) ||
                       pst::FittedHeight(picture.Width(), picture.Height(), conversion.fitWidth) > pst::kLogoMaxDots);
        return;
    }
    if (conversion.fitWidth > 0) {
        PST_FUZZ_CHECK(dots.Width() == conversion.fitWidth && dots.Height() >= 1);
    } else {
        PST_FUZZ_CHECK(dots.Width() == picture.Width() && dots.Height() == picture.Height());
    }
    const auto bank = pst::BuildLogoBank({dots});
    const pst::GreyImage preview = pst::BankPreview(bank);
    PST_FUZZ_CHECK(preview.width == (dots.Width() + 7) / 8 * 8);
    PST_FUZZ_CHECK(preview.height == (dots.Height() + 7) / 8 * 8);
    for (int y = 0; y < preview.height; ++y)
        for (int x = 0; x < preview.width; ++x)
            PST_FUZZ_CHECK(preview.At(x, y) == (dots.IsBlack(x, y) ? pst::kPreviewBlack : pst::kPreviewWhite));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const pst::RgbPicture picture = pst::DecodePicture(std::span(data, size), "fuzz");
        PST_FUZZ_CHECK(picture.Width() > 0 && picture.Height() > 0);
        if (static_cast<long long>(picture.Width()) * picture.Height() > kMaxCheckedDots)
            return 0;
        for (const pst::DitherMethod method :
             {pst::DitherMethod::Threshold, pst::DitherMethod::FloydSteinberg, pst::DitherMethod::Atkinson})
            for (const int fit : {0, 16})
                checkConversion(picture, {.method = method, .fitWidth = fit});
    } catch (const pst::EInvalidInput&) {
        return 0;
    }
    return 0;
}
