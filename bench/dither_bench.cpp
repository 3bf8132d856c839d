// How long turning a picture as wide as the widest head (576 × 576 dots)
// into printed dots takes, per method: a report, never a pass/fail test.
// The threshold is the floor: the dithering methods are shown as their
// time and as a multiple of it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "protocol/picture_conversion.h"

using namespace pst;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSide = 576;
constexpr int kRounds = 15;

// A shaded picture: a diagonal ramp with a ripple, so every method has
// error to spread.
RgbPicture shadedPicture()
{
    std::vector<Rgb> pixels;
    pixels.reserve(static_cast<std::size_t>(kSide) * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int level = ((x + y) * 255 / (2 * kSide - 2) + ((x * 7 + y * 3) % 23) - 11);
            const auto v = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
            pixels.push_back({v, v, v});
        }
    return RgbPicture(kSide, kSide, std::move(pixels));
}

// The median of kRounds conversions, in milliseconds.
double medianMs(const RgbPicture& picture, const PictureConversion& conversion, int& inked)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        const MonochromePicture dots = ConvertPicture(picture, conversion);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        inked = dots.isBlack(kSide / 2, kSide / 2) ? 1 : 0;  // keeps the work from being dropped
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main()
{
    const RgbPicture picture = shadedPicture();
    int inked = 0;
    const double threshold = medianMs(picture, {}, inked);
    std::printf("%d x %d picture, median of %d: threshold %.2f ms\n", kSide, kSide, kRounds, threshold);
    const struct {
        const char* name;
        DitherMethod method;
    } methods[] = {{"Floyd-Steinberg", DitherMethod::FloydSteinberg}, {"Atkinson", DitherMethod::Atkinson}};
    for (const auto& m : methods) {
        const double ms = medianMs(picture, {.method = m.method}, inked);
        std::printf("  %s: %.2f ms (%.2f x the threshold)\n", m.name, ms, ms / threshold);
    }
    const double fitted = medianMs(picture, {.method = DitherMethod::FloydSteinberg, .fitWidth = 384}, inked);
    std::printf("  Floyd-Steinberg scaled to 384 dots: %.2f ms (%.2f x the threshold)\n", fitted, fitted / threshold);
    return inked < 0 ? 1 : 0;
}
