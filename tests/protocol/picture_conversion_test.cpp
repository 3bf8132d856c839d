// Turning pictures into printed dots: the plain threshold of line art,
// dithering of shaded pictures, scaling to a head's width and the refusal
// of pictures the head would cut off.

#include <gtest/gtest.h>

#include <functional>

#include "protocol/picture_conversion.h"
#include "protocol/test_support.h"

using namespace pst;

namespace {

RgbPicture filled(int width, int height, const std::function<Rgb(int, int)>& colour)
{
    std::vector<Rgb> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(colour(x, y));
    return RgbPicture(width, height, std::move(pixels));
}

Rgb grey(int level)
{
    const auto v = static_cast<std::uint8_t>(level);
    return {v, v, v};
}

double blackShare(const MonochromePicture& picture)
{
    int black = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            black += picture.isBlack(x, y) ? 1 : 0;
    return static_cast<double>(black) / (picture.width() * picture.height());
}

}  // namespace

TEST(PictureConversion, TheDefaultThresholdKeepsTheOldRuleForEveryColour)
{
    // Every brightness around the middle, in colours that weigh differently.
    const RgbPicture colours = filled(256, 3, [](int x, int y) {
        const auto v = static_cast<std::uint8_t>(x);
        return y == 0 ? Rgb{v, v, v} : y == 1 ? Rgb{v, 128, 0} : Rgb{0, v, 255};
    });
    const MonochromePicture converted = ConvertPicture(colours, {});
    const MonochromePicture old = ToMonochrome(colours);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(converted.isBlack(x, y), old.isBlack(x, y)) << x << "," << y;
}

TEST(PictureConversion, HalfGreyIsHalfInkWhenDitheredAndAllOrNothingWhenThresholded)
{
    const RgbPicture half = filled(64, 64, [](int, int) { return grey(128); });
    EXPECT_EQ(blackShare(ConvertPicture(half, {})), 0.0);
    EXPECT_EQ(blackShare(ConvertPicture(half, {.threshold = 129})), 1.0);
    const double floyd = blackShare(ConvertPicture(half, {.method = DitherMethod::FloydSteinberg}));
    EXPECT_NEAR(floyd, 0.5, 0.02);
    const double atkinson = blackShare(ConvertPicture(half, {.method = DitherMethod::Atkinson}));
    EXPECT_NEAR(atkinson, 0.5, 0.05);

    // Dithering follows the shade: a darker grey takes more ink, and pure
    // black and white stay clean.
    const RgbPicture dark = filled(64, 64, [](int, int) { return grey(64); });
    EXPECT_NEAR(blackShare(ConvertPicture(dark, {.method = DitherMethod::FloydSteinberg})), 0.75, 0.02);
    for (const DitherMethod method : {DitherMethod::FloydSteinberg, DitherMethod::Atkinson}) {
        EXPECT_EQ(blackShare(ConvertPicture(filled(16, 16, [](int, int) { return grey(0); }), {.method = method})),
                  1.0);
        EXPECT_EQ(blackShare(ConvertPicture(filled(16, 16, [](int, int) { return grey(255); }), {.method = method})),
                  0.0);
    }
}

TEST(PictureConversion, FittingScalesToTheWidthAndKeepsTheAspect)
{
    const RgbPicture wide = filled(1000, 500, [](int x, int) { return grey(x < 500 ? 0 : 255); });
    const MonochromePicture fitted = ConvertPicture(wide, {.fitWidth = kWidestHeadDots});
    EXPECT_EQ(fitted.width(), 576);
    EXPECT_EQ(fitted.height(), 288);
    EXPECT_TRUE(fitted.isBlack(0, 0));
    EXPECT_TRUE(fitted.isBlack(286, 100));
    EXPECT_FALSE(fitted.isBlack(290, 100));
    EXPECT_EQ(ConvertPicture(wide, {.fitWidth = kNarrowHeadDots}).height(), 192);

    // A reduction averages: a fine checkerboard halved is an even grey.
    const GreyPlane checker = BrightnessOf(filled(8, 8, [](int x, int y) { return grey((x + y) % 2 ? 255 : 0); }));
    const GreyPlane halved = ScaledToWidth(checker, 4);
    ASSERT_EQ(halved.height, 4);
    for (const float value : halved.values)
        EXPECT_NEAR(value, 127.5F, 0.01F);
    // Enlarging a small picture keeps its dots' shades where they were.
    const GreyPlane doubled = ScaledToWidth(BrightnessOf(filled(2, 1, [](int x, int) { return grey(x * 255); })), 4);
    EXPECT_EQ(doubled.values, (std::vector<float>{0, 0, 255, 255, 0, 0, 255, 255}));
}

TEST(PictureConversion, APictureWiderThanTheWidestHeadIsRefusedUnlessScaled)
{
    const RgbPicture widest = filled(576, 2, [](int, int) { return grey(0); });
    EXPECT_EQ(ConvertPicture(widest, {}).width(), 576);
    const RgbPicture tooWide = filled(577, 2, [](int, int) { return grey(0); });
    EXPECT_REFUSAL_TEXT_IS(ConvertPicture(tooWide, {}),
                           "图片比最宽的打印头（576 点）还宽：请缩放到 576 点或 384 点");
    EXPECT_EQ(ConvertPicture(tooWide, {.fitWidth = 384}).width(), 384);
    EXPECT_THROW(ConvertPicture(widest, {.fitWidth = 577}), EInvalidInput);
    // A thread of a picture widened to the head would be taller than any logo.
    const RgbPicture thread = filled(1, 1000, [](int, int) { return grey(0); });
    EXPECT_REFUSAL_TEXT_IS(ConvertPicture(thread, {.fitWidth = 576}), "徽标图片的宽度和高度不能超过 524280 点");
    EXPECT_EQ(ConvertPicture(thread, {.fitWidth = 8}).height(), 8000);
    EXPECT_THROW(ConvertPicture(widest, {.threshold = 256}), EInvalidInput);
}

TEST(PictureConversion, MethodsAreNamedAsTheCommandLineWritesThem)
{
    EXPECT_EQ(DitherMethodNamed("threshold"), DitherMethod::Threshold);
    EXPECT_EQ(DitherMethodNamed("floyd-steinberg"), DitherMethod::FloydSteinberg);
    EXPECT_EQ(DitherMethodNamed("atkinson"), DitherMethod::Atkinson);
    EXPECT_FALSE(DitherMethodNamed("Atkinson"));
}
