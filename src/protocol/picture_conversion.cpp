#include "protocol/picture_conversion.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "protocol/input_error.h"
#include "protocol/logo_bank.h"

namespace pst {

namespace {

constexpr float kWhite = 255.0F;

// One error-diffusion pass: each dot is decided against the threshold and
// what it missed by is handed on to the dots not yet decided, by `spread`.
template <typename Spread> MonochromePicture diffused(const GreyPlane& plane, int threshold, Spread spread)
{
    MonochromePicture picture(plane.width, plane.height);
    std::vector<float> work = plane.values;
    auto at = [&](int x, int y) -> float* {
        if (x < 0 || y < 0 || x >= plane.width || y >= plane.height)
            return nullptr;
        return &work[static_cast<std::size_t>(y) * plane.width + x];
    };
    for (int y = 0; y < plane.height; ++y) {
        for (int x = 0; x < plane.width; ++x) {
            const float value = *at(x, y);
            const bool black = value < static_cast<float>(threshold);
            picture.setBlack(x, y, black);
            spread(value - (black ? 0.0F : kWhite), [&](int dx, int dy, float share) {
                if (float* next = at(x + dx, y + dy))
                    *next += share;
            });
        }
    }
    return picture;
}

// The weights of the part of source dots [0, count) that new dot i covers
// when `count` dots become `size`.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> spansFor(int count, int size)
{
    std::vector<Span> spans(static_cast<std::size_t>(size));
    const double step = static_cast<double>(count) / size;
    for (int i = 0; i < size; ++i) {
        const double from = i * step;
        const double to = std::min<double>(count, (i + 1) * step);
        Span& span = spans[static_cast<std::size_t>(i)];
        span.first = std::min(count - 1, static_cast<int>(std::floor(from)));
        double total = 0;
        for (int s = span.first; s < count && s < to; ++s) {
            const double cover = std::min<double>(s + 1, to) - std::max<double>(s, from);
            span.weights.push_back(static_cast<float>(cover));
            total += cover;
        }
        if (span.weights.empty() || total <= 0) {
            span.weights.assign(1, 1.0F);
            total = 1;
        }
        for (float& w : span.weights)
            w = static_cast<float>(w / total);
    }
    return spans;
}

}  // namespace

std::optional<DitherMethod> DitherMethodNamed(std::string_view name)
{
    if (name == "threshold")
        return DitherMethod::Threshold;
    if (name == "floyd-steinberg")
        return DitherMethod::FloydSteinberg;
    if (name == "atkinson")
        return DitherMethod::Atkinson;
    return std::nullopt;
}

GreyPlane BrightnessOf(const PixelSource& source)
{
    GreyPlane plane;
    plane.width = std::max(0, source.width());
    plane.height = std::max(0, source.height());
    plane.values.resize(static_cast<std::size_t>(plane.width) * static_cast<std::size_t>(plane.height));
    std::size_t i = 0;
    for (int y = 0; y < plane.height; ++y) {
        for (int x = 0; x < plane.width; ++x) {
            const Rgb c = source.pixel(x, y);
            // Whole thousandths first: a division of whole numbers that comes
            // out whole is exact, so the plain threshold decides as before.
            const unsigned brightness = 299u * c.red + 587u * c.green + 114u * c.blue;
            plane.values[i++] = static_cast<float>(brightness) / 1000.0F;
        }
    }
    return plane;
}

std::int64_t FittedHeight(int width, int height, int fitWidth)
{
    if (width <= 0 || height <= 0 || fitWidth <= 0)
        return height;
    const double scaled = std::round(static_cast<double>(height) * fitWidth / width);
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::min(scaled, 1e15)));
}

GreyPlane ScaledToWidth(const GreyPlane& plane, int width)
{
    if (plane.width <= 0 || plane.height <= 0 || width <= 0)
        return plane;
    const auto newHeight =
        static_cast<int>(std::min<std::int64_t>(FittedHeight(plane.width, plane.height, width), kLogoMaxDots));
    const std::vector<Span> columns = spansFor(plane.width, width);
    const std::vector<Span> rows = spansFor(plane.height, newHeight);

    // Across first, then down.
    std::vector<float> across(static_cast<std::size_t>(width) * static_cast<std::size_t>(plane.height));
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Span& span = columns[static_cast<std::size_t>(x)];
            float sum = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k)
                sum += span.weights[k] * plane.at(span.first + static_cast<int>(k), y);
            across[static_cast<std::size_t>(y) * width + x] = sum;
        }
    GreyPlane scaled;
    scaled.width = width;
    scaled.height = newHeight;
    scaled.values.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const Span& span = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (std::size_t k = 0; k < span.weights.size(); ++k)
                sum += span.weights[k] *
                    across[static_cast<std::size_t>(span.first + static_cast<int>(k)) * width + x];
            scaled.values[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    return scaled;
}

MonochromePicture Thresholded(const GreyPlane& plane, int threshold)
{
    MonochromePicture picture(plane.width, plane.height);
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x)
            picture.setBlack(x, y, plane.at(x, y) < static_cast<float>(threshold));
    return picture;
}

MonochromePicture FloydSteinbergDithered(const GreyPlane& plane, int threshold)
{
    return diffused(plane, threshold, [](float error, auto give) {
        give(1, 0, error * 7 / 16);
        give(-1, 1, error * 3 / 16);
        give(0, 1, error * 5 / 16);
        give(1, 1, error * 1 / 16);
    });
}

MonochromePicture AtkinsonDithered(const GreyPlane& plane, int threshold)
{
    // Only three quarters of the error travel on: highlights and shadows
    // stay clean, at the cost of some contrast.
    return diffused(plane, threshold, [](float error, auto give) {
        const float share = error / 8;
        give(1, 0, share);
        give(2, 0, share);
        give(-1, 1, share);
        give(0, 1, share);
        give(1, 1, share);
        give(0, 2, share);
    });
}

void CheckConversionSize(int width, int height, const PictureConversion& conversion)
{
    // The head would cut the picture off at its right edge.
    if (conversion.fitWidth < 0 || conversion.fitWidth > kWidestHeadDots ||
        (conversion.fitWidth == 0 && width > kWidestHeadDots))
        throw EInvalidInput::withMessageKey(kLogoTooWideKey);
    // A thin picture widened keeps its aspect: it may grow taller than any
    // logo can be, and than memory holds.
    const std::int64_t fittedHeight = FittedHeight(width, height, conversion.fitWidth);
    if (fittedHeight > kLogoMaxDots)
        throw EInvalidInput::withMessageKey(kLogoSizeErrorKey);
    const int wide = conversion.fitWidth > 0 ? conversion.fitWidth : width;
    const std::uint64_t bytes = LogoImageSize(wide, fittedHeight);
    if (bytes > kLogoImageRoom) {
        const std::string w = std::to_string(wide), h = std::to_string(fittedHeight), size = std::to_string(bytes),
                          room = std::to_string(kLogoImageRoom);
        throw EInvalidInput::withMessageValues(kLogoTooLargeKey, {w, h, size, room},
                                               "A logo of " + w + " x " + h + " dots takes " + size +
                                                   " bytes; the printer keeps " + room + " bytes of logos");
    }
}

MonochromePicture ConvertPicture(const PixelSource& source, const PictureConversion& conversion)
{
    if (conversion.threshold < 0 || conversion.threshold > 255)
        throw EInvalidInput("The threshold must lie between 0 and 255, not " +
                            std::to_string(conversion.threshold));
    CheckConversionSize(source.width(), source.height(), conversion);
    GreyPlane plane = BrightnessOf(source);
    if (conversion.fitWidth > 0)
        plane = ScaledToWidth(plane, conversion.fitWidth);
    switch (conversion.method) {
    case DitherMethod::FloydSteinberg:
        return FloydSteinbergDithered(plane, conversion.threshold);
    case DitherMethod::Atkinson:
        return AtkinsonDithered(plane, conversion.threshold);
    case DitherMethod::Threshold:
        break;
    }
    return Thresholded(plane, conversion.threshold);
}

}  // namespace pst
