#pragma once
// From a decoded picture to the dots a logo prints. Every front end goes
// through ConvertPicture, so a picture prints the same whichever one
// prepared it, and the preview shows exactly what will print.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/monochrome_picture.h"

namespace pst {

// The print heads' widths in dots: 58 mm paper and 80 mm paper.
inline constexpr int kNarrowHeadDots = 384;
inline constexpr int kWidestHeadDots = 576;
inline constexpr const char* kLogoTooWideKey = "sLogoTooWideMsg";

enum class DitherMethod { Threshold, FloydSteinberg, Atkinson };

struct PictureConversion {
    DitherMethod method = DitherMethod::Threshold;
    // A dot is black when its brightness (0 black to 255 white) is below
    // this, 0 to 255.
    int threshold = 128;
    // Scale to this many dots wide, keeping the aspect; 0 keeps the size.
    int fitWidth = 0;
};

// "threshold", "floyd-steinberg", "atkinson"; nothing for another name.
std::optional<DitherMethod> DitherMethodNamed(std::string_view name);

// Brightness 0..255 of every dot, rows from the top (ITU-R 601 weights).
struct GreyPlane {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
};

GreyPlane BrightnessOf(const PixelSource& source);

// Each new dot is the average of the part of the picture it covers, so
// shading survives a reduction and dithering can render it. The height
// follows the aspect (at least one dot).
GreyPlane ScaledToWidth(const GreyPlane& plane, int width);

// The height in dots a picture of `width` × `height` has at `fitWidth`
// dots wide (at least one); `height` itself when nothing is fitted.
std::int64_t FittedHeight(int width, int height, int fitWidth);

MonochromePicture Thresholded(const GreyPlane& plane, int threshold);
MonochromePicture FloydSteinbergDithered(const GreyPlane& plane, int threshold);
MonochromePicture AtkinsonDithered(const GreyPlane& plane, int threshold);

// The size checks of the conversion, on the picture's size alone, so that a
// file is refused from its header before it is decoded. Refuses
// (EInvalidInput, kLogoTooWideKey) a picture wider than the widest head
// when it is not scaled, and a fit width out of range; (kLogoSizeErrorKey)
// one that scaling makes higher than a logo can be; (kLogoTooLargeKey) one
// whose logo alone outgrows the printer's room for logos.
void CheckConversionSize(int width, int height, const PictureConversion& conversion);
inline constexpr const char* kLogoTooLargeKey = "sLogoTooLargeMsg";

// Refuses what CheckConversionSize refuses, and a threshold out of range.
MonochromePicture ConvertPicture(const PixelSource& source, const PictureConversion& conversion);

}  // namespace pst
