#pragma once
// The download page's logo choices worked out without the window: how the
// pictures are converted, what each list entry's thumbnail shows, and how
// the printer's stored logos are told.

#include <string>
#include <string_view>
#include <vector>

#include "protocol/logo_directory.h"
#include "protocol/logo_preview.h"
#include "protocol/picture_conversion.h"

namespace pst::requests {

// The positions of the page's two lists ("Dither Method", "Logo Width")
// and the threshold (its text as typed, or the number); a position out of
// range gives the first item, a threshold outside 0 to 255 is refused
// (EFieldRefusal).
PictureConversion ConversionFromChoices(int methodIndex, int threshold, int widthIndex);
PictureConversion ConversionFromChoices(int methodIndex, std::string_view thresholdText, int widthIndex);

// What the entry will print, drawn from the bytes the bank will hold; or
// why the picture cannot be a logo as chosen (and no dots).
struct LogoThumbnail {
    GreyImage dots;
    std::string problem;
};
LogoThumbnail ThumbnailFor(const std::string& path, const PictureConversion& conversion);

// One line per stored logo, "徽标 1：104 × 56 点", or the one line that says
// there is none, or that the directory is damaged.
std::vector<std::string> StoredLogoLines(const std::vector<StoredLogo>& logos);

}  // namespace pst::requests
