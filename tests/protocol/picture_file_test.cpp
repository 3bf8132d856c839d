// Pictures from files (BMP, PNG, JPEG, GIF) into the logo bank, and the
// preview drawn back from the bank's own bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <stb_image.h>
#include <stb_image_write.h>

#include "protocol/input_error.h"
#include "protocol/logo_bank.h"
#include "protocol/logo_directory.h"
#include "protocol/logo_preview.h"
#include "protocol/picture_file.h"
#include "support/grey_bmp.h"
#include "texts/input_refusal_text.h"

using namespace pst;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
            ("pst-pictures-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (folder / name).string();
    }

    // A 24-bit BMP, every dot `level` grey.
    std::string bmp(const std::string& name, int width, int height, std::uint8_t level)
    {
        return write(name, pst::test::GreyBmp(width, height, level));
    }

    // RGBA dots from `colour`, as a PNG (or a JPEG, which drops the alpha).
    std::string encoded(const std::string& name, int width, int height,
                        const std::function<std::array<std::uint8_t, 4>(int, int)>& colour)
    {
        std::vector<std::uint8_t> rgba;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto c = colour(x, y);
                rgba.insert(rgba.end(), c.begin(), c.end());
            }
        const std::string path = (folder / name).string();
        const bool ok = name.ends_with(".png")
            ? stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0
            : stbi_write_jpg(path.c_str(), width, height, 4, rgba.data(), 95) != 0;
        EXPECT_TRUE(ok) << name;
        return path;
    }

    std::filesystem::path folder;
};

std::array<std::uint8_t, 4> opaque(std::uint8_t level)
{
    return {level, level, level, 255};
}

PictureLoader loaderFor(PictureConversion conversion)
{
    return [conversion](const std::string& path) { return LoadLogoPicture(path, conversion); };
}

// A 1 × 1 GIF whose one dot is colour 0 (black); with its transparency flag
// set that colour is see-through.
std::vector<std::uint8_t> oneDotGif(bool transparent)
{
    return {'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
            0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, static_cast<std::uint8_t>(transparent ? 0x01 : 0x00),
            0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02,
            0x02, 0x44, 0x01, 0x00, 0x3B};
}

}  // namespace

TEST_F(PictureFiles, ABlackSquareGivesTheSameBankFromEveryFormat)
{
    const auto load = loaderFor({});
    const auto fromBmp = BuildLogoBankFromFiles({bmp("square.bmp", 24, 24, 0)}, load);
    ASSERT_EQ(fromBmp.size(), 4096u + 3u * 3u * 8u);
    for (const char* name : {"square.png", "square.jpg"}) {
        const std::string path = encoded(name, 24, 24, [](int, int) { return opaque(0); });
        EXPECT_EQ(BuildLogoBankFromFiles({path}, load), fromBmp) << name;
    }
    EXPECT_TRUE(LoadLogoPicture(write("dot.gif", oneDotGif(false)), {}).isBlack(0, 0));
}

TEST_F(PictureFiles, SeeThroughPartsArePaper)
{
    // Black ink at no opacity, as drawing programs save an empty background.
    const std::string png = encoded("clear.png", 8, 8, [](int x, int) {
        return std::array<std::uint8_t, 4>{0, 0, 0, static_cast<std::uint8_t>(x < 4 ? 255 : 0)};
    });
    const MonochromePicture picture = LoadLogoPicture(png, {});
    EXPECT_TRUE(picture.isBlack(3, 0));
    EXPECT_FALSE(picture.isBlack(4, 0));
    EXPECT_FALSE(LoadLogoPicture(write("clear.gif", oneDotGif(true)), {}).isBlack(0, 0));
}

TEST_F(PictureFiles, DamagedPicturesAreRefusedByNameAndWidePicturesNeedScaling)
{
    const std::string png = encoded("logo.png", 40, 40, [](int x, int) { return opaque(x % 2 ? 0 : 255); });
    std::ifstream in(png, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::size_t keep : {std::size_t{8}, bytes.size() / 2, bytes.size() - 20}) {
        const std::string cut = write("cut.png", {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep)});
        try {
            LoadLogoPicture(cut, {});
            ADD_FAILURE() << "a PNG cut to " << keep << " bytes was read";
        } catch (const EInvalidInput& e) {
            EXPECT_EQ(std::string(e.what()).rfind(cut + ": not a picture this tool can read", 0), 0u) << e.what();
        }
    }
    EXPECT_THROW(LoadLogoPicture(write("notes.txt", {'h', 'i'}), {}), EInvalidInput);
    EXPECT_THROW(LoadLogoPicture((folder / "gone.png").string(), {}), EInvalidInput);

    const std::string wide = bmp("wide.bmp", 1000, 10, 0);
    try {
        LoadLogoPicture(wide, {});
        ADD_FAILURE() << "a picture of 1000 dots was taken unscaled";
    } catch (const EInvalidInput& e) {
        EXPECT_EQ(e.messageKey(), kLogoTooWideKey);
        EXPECT_EQ(e.detail(), " (" + wide + ")");
    }
    EXPECT_EQ(LoadLogoPicture(wide, {.fitWidth = 576}).width(), 576);
}

namespace {

// A 24-bit BMP's header alone, announcing `width` x `height` dots.
std::vector<std::uint8_t> bmpHeader(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> header = pst::test::GreyBmp(1, 1, 0);
    header.resize(54);
    for (int i = 0; i < 4; ++i) {
        header[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(width >> (8 * i));
        header[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(height >> (8 * i));
    }
    return header;
}

}  // namespace

TEST_F(PictureFiles, AHugePictureIsRefusedFromItsHeaderBeforeDecoding)
{
    // Headers alone, 576 x 116000 dots: a decoder would refuse the missing
    // dots, so the size refusal proves nothing was decoded.
    const std::vector<std::uint8_t> pngHeader{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13,
                                              'I', 'H', 'D', 'R', 0, 0, 0x02, 0x40, 0, 0x01, 0xC5, 0x20,
                                              8, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const auto& [name, bytes] : {std::pair{"tall.png", pngHeader}, std::pair{"tall.bmp", bmpHeader(576, 116000)}}) {
        const std::string path = write(name, bytes);
        try {
            LoadLogoPicture(path, {});
            ADD_FAILURE() << name << " was read";
        } catch (const EInvalidInput& e) {
            EXPECT_EQ(e.messageKey(), kLogoTooLargeKey) << e.what();
            EXPECT_EQ(InputRefusalText(e), "576 × 116000 点的徽标占 8352000 字节，打印机最多存放 258048 字节的徽标："
                                           "请缩小图片 (" + path + ")");
        }
    }
    // Scaled down it would fit, but more dots than a photo are not decoded.
    const std::string vast = write("vast.bmp", bmpHeader(8192, 2049));
    try {
        LoadLogoPicture(vast, {.fitWidth = 384});
        ADD_FAILURE() << "8192 x 2049 dots were read";
    } catch (const EInvalidInput& e) {
        EXPECT_EQ(e.messageKey(), "sPictureSizeMsg") << e.what();
    }
}

TEST_F(PictureFiles, ThePreviewsDotsAreTheBanksBits)
{
    // A shaded ramp dithered, and a small black square under it.
    const std::string ramp = encoded("ramp.png", 100, 30, [](int x, int) { return opaque(static_cast<std::uint8_t>(x * 255 / 99)); });
    const std::string square = bmp("square.bmp", 10, 10, 0);
    const auto bank = BuildLogoBankFromFiles({ramp, square}, loaderFor({.method = DitherMethod::FloydSteinberg}));
    const std::string out = (folder / "preview.png").string();
    WritePreviewPng(out, BankPreview(bank));

    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(out.c_str(), &width, &height, &channels, 1),
                                                          &stbi_image_free);
    ASSERT_TRUE(pixels);
    const auto logos = ParseLogoDirectory(bank);
    ASSERT_EQ(logos.size(), 2u);
    EXPECT_EQ(width, 104);
    EXPECT_EQ(height, 32 + kPreviewGapRows + 16);
    int top = 0, inked = 0;
    for (const StoredLogo& logo : logos) {
        const std::uint8_t* image = bank.data() + (logo.address - kLogoBankBase);
        for (int y = 0; y < logo.heightDots(); ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t shown = pixels.get()[static_cast<std::size_t>(top + y) * width + x];
                if (x >= logo.widthDots()) {
                    ASSERT_EQ(shown, kPreviewGap);
                    continue;
                }
                const bool bit = (image[y * logo.widthBytes + x / 8] & (0x80 >> (x % 8))) != 0;
                ASSERT_EQ(shown, bit ? kPreviewBlack : kPreviewWhite) << "logo " << logo.number << " " << x << "," << y;
                inked += bit ? 1 : 0;
            }
        top += logo.heightDots() + kPreviewGapRows;
    }
    EXPECT_GT(inked, 100);  // a blank preview would pass the comparison too
}

TEST(LogoDirectory, TheListEndsAtTheFirstEntryThatPointsNowhere)
{
    std::vector<std::uint8_t> directory(4096, 0xFF);  // flash never written
    EXPECT_TRUE(ParseLogoDirectory(directory).empty());
    const std::uint8_t first[8] = {0x00, 0x00, 0x1D, 0x00, 13, 0, 7, 0};
    std::copy(std::begin(first), std::end(first), directory.begin());
    const auto one = ParseLogoDirectory(directory);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].address, 0x1D0000u);
    EXPECT_EQ(one[0].widthDots(), 104);
    EXPECT_EQ(one[0].heightDots(), 56);
    std::fill(directory.begin() + 8, directory.end(), 0);  // a bank's unused room
    EXPECT_EQ(ParseLogoDirectory(directory).size(), 1u);
    EXPECT_EQ(ParseLogoDirectory(std::span(directory).first(5)).size(), 0u);

    const std::uint8_t numbers[] = {1, 2};
    EXPECT_EQ(FirstMissingLogo(one, std::span(numbers).first(1)), -1);
    EXPECT_EQ(FirstMissingLogo(one, numbers), 2);
}

TEST(LogoDirectory, AnEntryNoLogoBankCouldHoldMarksTheDirectoryDamaged)
{
    const auto entry = [](int number, std::uint32_t address, std::uint16_t widthBytes,
                          std::uint16_t heightBands) {
        return StoredLogo{number, address, widthBytes, heightBands};
    };
    // The widest head's width, and an image that ends on the bank's last byte.
    const std::uint32_t bankEnd = kLogoBankBase + kLogoBankLimit;
    const StoredLogo wide = entry(1, kFirstLogoAddress, 72, 10);
    const StoredLogo last = entry(2, bankEnd - 8 * 8, 1, 8);
    EXPECT_EQ(FirstDamagedLogo({wide, last}), -1);

    EXPECT_EQ(FirstDamagedLogo({wide, entry(2, kFirstLogoAddress, 73, 1)}), 2);   // 584 dots
    EXPECT_EQ(FirstDamagedLogo({wide, entry(2, bankEnd - 8 * 8 + 1, 1, 8)}), 2);  // one byte past
    EXPECT_EQ(FirstDamagedLogo({entry(1, kFirstLogoAddress - 8, 1, 1)}), 1);      // in the directory
    // Each inside the room, together more than it holds.
    const auto bands = static_cast<std::uint16_t>(kLogoImageRoom / 512 / 2 + 1);
    const StoredLogo half = entry(1, kFirstLogoAddress, 64, bands);
    EXPECT_EQ(FirstDamagedLogo({half, entry(2, kFirstLogoAddress, 64, bands)}), 2);
    // What the testers read after 4 KiB of junk over the directory.
    EXPECT_EQ(FirstDamagedLogo({entry(1, 0x7A3C91E2, 26945, 31535)}), 1);
}

TEST(LogoArea, AWriteMeetsTheLogoAreaOnlyWhereItCoversIt)
{
    const auto overlap = [](std::uint32_t start, std::uint64_t length) {
        const auto span = LogoAreaOverlap(start, length);
        return span ? std::pair(span->first, span->last) : std::pair(0u, 0u);
    };
    EXPECT_EQ(overlap(0x1CE000, 0x1000), std::pair(0u, 0u));
    EXPECT_EQ(overlap(0x1CE000, 0x1001), std::pair(0x1CF000u, 0x1CF000u));
    EXPECT_EQ(overlap(0x20EFFF, 0x100000), std::pair(0x20EFFFu, 0x20EFFFu));
    EXPECT_EQ(overlap(0x20F000, 0x100000), std::pair(0u, 0u));
    EXPECT_EQ(overlap(0x1CF000, 0), std::pair(0u, 0u));
    // A 1 MiB font at 100000 runs over the whole area.
    EXPECT_EQ(overlap(0x100000, 0x100000), std::pair(0x1CF000u, 0x1FFFFFu));
    EXPECT_EQ(overlap(0, 0x400000), std::pair(0x1CF000u, 0x20EFFFu));
}
