#include "requests/logo_choices.h"

#include "platform/input_error.h"
#include "protocol/logo_bank.h"
#include "protocol/picture_file.h"
#include "requests/field_refusal.h"
#include "texts/input_refusal_text.h"
#include "texts/message_texts.h"

namespace pst::requests {

PictureConversion ConversionFromChoices(int methodIndex, int threshold, int widthIndex)
{
    constexpr DitherMethod kMethods[] = {DitherMethod::Threshold, DitherMethod::FloydSteinberg,
                                         DitherMethod::Atkinson};
    constexpr int kWidths[] = {0, kNarrowHeadDots, kWidestHeadDots};
    PictureConversion conversion;
    if (methodIndex >= 0 && methodIndex < 3)
        conversion.method = kMethods[methodIndex];
    conversion.threshold = FieldValue(kLogoThresholdField, threshold);
    if (widthIndex >= 0 && widthIndex < 3)
        conversion.fitWidth = kWidths[widthIndex];
    return conversion;
}

PictureConversion ConversionFromChoices(int methodIndex, std::string_view thresholdText, int widthIndex)
{
    return ConversionFromChoices(methodIndex, FieldValue(kLogoThresholdField, thresholdText), widthIndex);
}

LogoThumbnail ThumbnailFor(const std::string& path, const PictureConversion& conversion)
{
    LogoThumbnail thumbnail;
    try {
        thumbnail.dots = LogoDots(EncodeLogoImage(LoadLogoPicture(path, conversion)));
    } catch (const EInvalidInput& refused) {
        thumbnail.problem = InputRefusalText(refused);
    } catch (const std::exception& failed) {
        thumbnail.problem = failed.what();
    }
    return thumbnail;
}

std::vector<std::string> StoredLogoLines(const std::vector<StoredLogo>& logos)
{
    if (logos.empty())
        return {MessageText("sNoStoredLogoMsg")};
    if (const int damaged = FirstDamagedLogo(logos); damaged >= 0)
        return {MessageWithNumbers("sLogoDirectoryDamagedMsg", {damaged})};
    std::vector<std::string> lines;
    for (const StoredLogo& logo : logos)
        lines.push_back(MessageWithNumbers("sStoredLogoMsg", {logo.number, logo.widthDots(), logo.heightDots()}));
    return lines;
}

}  // namespace pst::requests
