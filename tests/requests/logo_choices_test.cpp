// The download page's logo choices without the window: the lists' positions
// as conversions, the thumbnails' dots, and the stored logos in words.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "protocol/logo_bank.h"
#include "protocol/picture_file.h"
#include "requests/logo_choices.h"
#include "texts/message_texts.h"

using namespace pst;
using namespace pst::requests;

namespace {

// A 24-bit BMP of `width` × 8 dots, black on the left half, white on the right.
std::string halfBlackBmp(const std::filesystem::path& path, int width)
{
    const std::size_t row = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
    std::vector<char> b(54 + row * 8, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, 8);
    b[26] = 1;
    b[28] = 24;
    for (std::size_t y = 0; y < 8; ++y)
        for (std::size_t x = static_cast<std::size_t>(width) / 2; x < static_cast<std::size_t>(width); ++x)
            for (std::size_t c = 0; c < 3; ++c)
                b[54 + y * row + x * 3 + c] = static_cast<char>(0xFF);
    std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
    return path.string();
}

}  // namespace

TEST(LogoChoices, ListPositionsBecomeConversions)
{
    const PictureConversion plain = ConversionFromChoices(0, 128, 0);
    EXPECT_EQ(plain.method, DitherMethod::Threshold);
    EXPECT_EQ(plain.fitWidth, 0);
    const PictureConversion narrow = ConversionFromChoices(1, 100, 1);
    EXPECT_EQ(narrow.method, DitherMethod::FloydSteinberg);
    EXPECT_EQ(narrow.threshold, 100);
    EXPECT_EQ(narrow.fitWidth, 384);
    const PictureConversion wide = ConversionFromChoices(2, "255", 2);
    EXPECT_EQ(wide.method, DitherMethod::Atkinson);
    EXPECT_EQ(wide.threshold, 255);
    EXPECT_EQ(wide.fitWidth, 576);
    // No selection in either list: the first items.
    EXPECT_EQ(ConversionFromChoices(-1, 128, -1).method, DitherMethod::Threshold);
    EXPECT_EQ(ConversionFromChoices(-1, 128, -1).fitWidth, 0);
}

TEST(LogoChoices, AThumbnailShowsTheBitsTheBankWillHoldOrWhyThereAreNone)
{
    const auto folder = std::filesystem::temp_directory_path() / ("pst-thumbs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string small = halfBlackBmp(folder / "small.bmp", 20);
    const LogoThumbnail thumbnail = ThumbnailFor(small, {});
    ASSERT_TRUE(thumbnail.problem.empty()) << thumbnail.problem;
    const auto bank = BuildLogoBankFromFiles({small}, [](const std::string& path) {
        return LoadLogoPicture(path, {});
    });
    ASSERT_EQ(thumbnail.dots.width, 24);
    ASSERT_EQ(thumbnail.dots.height, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool bit = (bank[kLogoDirectorySize + static_cast<std::size_t>(y) * 3 + x / 8] & (0x80 >> (x % 8))) != 0;
            EXPECT_EQ(thumbnail.dots.at(x, y), bit ? kPreviewBlack : kPreviewWhite) << x << "," << y;
        }
    EXPECT_EQ(thumbnail.dots.at(9, 0), kPreviewBlack);
    EXPECT_EQ(thumbnail.dots.at(10, 0), kPreviewWhite);

    const std::string wide = halfBlackBmp(folder / "wide.bmp", 800);
    const LogoThumbnail refused = ThumbnailFor(wide, {});
    EXPECT_EQ(refused.problem, MessageText("sLogoTooWideMsg") + " (" + wide + ")");
    EXPECT_TRUE(refused.dots.pixels.empty());
    EXPECT_EQ(ThumbnailFor(wide, {.fitWidth = 384}).dots.width, 384);
    EXPECT_FALSE(ThumbnailFor((folder / "gone.png").string(), {}).problem.empty());
    std::filesystem::remove_all(folder);
}

TEST(LogoChoices, StoredLogosAreToldOneALineOrAsNoneOrAsDamaged)
{
    EXPECT_EQ(StoredLogoLines({}), std::vector<std::string>{"打印机中没有存储徽标"});
    std::vector<StoredLogo> two{{1, 0x1D0000, 13, 7}, {2, 0x1D02D8, 48, 13}};
    EXPECT_EQ(StoredLogoLines(two), (std::vector<std::string>{"徽标 1：104 × 56 点", "徽标 2：384 × 104 点"}));
    two[1].widthBytes = 26945;
    EXPECT_EQ(StoredLogoLines(two),
              std::vector<std::string>{"打印机的徽标目录已损坏（第 2 项不可能是徽标）：未使用其中的任何徽标，请重新下载徽标"});
}
