// Preparing updates and downloads: the program file's model tag, the wait,
// the loader's first write, the DownloadList rows, the logo bank and its
// pictures, the BMP reader and the logo list's selections.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/int_conversion.h"
#include "protocol/bmp_reader.h"
#include "protocol/downloads.h"
#include "protocol/input_error.h"
#include "protocol/logo_bank.h"
#include "protocol/program_file.h"

using namespace pst;

namespace {

MonochromePicture blackPicture(int width, int height)
{
    MonochromePicture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setBlack(x, y, true);
    return picture;
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// A BMP file as a picture program would write it.
std::vector<std::uint8_t> makeBmp(int width, int height, int bits, bool topDown,
                                  const std::function<Rgb(int, int)>& colour)
{
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t paletteSize = bits <= 8 ? (4u << bits) : 0;
    const std::size_t offset = 54 + paletteSize;
    std::vector<std::uint8_t> b(offset + rowBytes * static_cast<std::size_t>(height), 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    if (b.size() < 54)
        return b;
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, static_cast<std::uint32_t>(offset));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(topDown ? -height : height));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    if (bits <= 8) {
        // Grey ramp: index 0 black, last index white.
        const unsigned colours = 1u << bits;
        for (unsigned i = 0; i < colours; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (colours - 1));
            b[54 + i * 4] = b[54 + i * 4 + 1] = b[54 + i * 4 + 2] = grey;
        }
    }
    for (int y = 0; y < height; ++y) {
        const std::size_t row =
            topDown ? static_cast<std::size_t>(y) : static_cast<std::size_t>(height - 1 - y);
        std::uint8_t* line = b.data() + offset + row * rowBytes;
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            if (bits == 24) {
                line[x * 3] = c.blue;
                line[x * 3 + 1] = c.green;
                line[x * 3 + 2] = c.red;
            } else if (bits == 32) {
                line[x * 4] = c.blue;
                line[x * 4 + 1] = c.green;
                line[x * 4 + 2] = c.red;
            } else if (bits == 16) {
                const unsigned v = ((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3);
                line[x * 2] = static_cast<std::uint8_t>(v);
                line[x * 2 + 1] = static_cast<std::uint8_t>(v >> 8);
            } else {
                const unsigned index = c.red == 0 ? 0 : (1u << bits) - 1;
                const int bit = x * bits;
                line[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
            }
        }
    }
    return b;
}

Rgb checker(int x, int y)
{
    return (x + y) % 2 == 0 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
}

}  // namespace

TEST(ProgramFile, TagIsReadOnlyFromFilesLongerThanItsOffset)
{
    std::vector<std::uint8_t> file(12288, 'x');
    EXPECT_EQ(ProgramFileTag(file), "");
    file.resize(12296, 0);
    file[12288] = 'a';
    file[12289] = 'b';
    file[12290] = '1';
    file[12291] = '2';
    EXPECT_EQ(ProgramFileTag(file), "AB12");
    // Eight letters and no zero: all eight.
    file.resize(12400, 'q');
    for (std::size_t i = 12288; i < 12296; ++i)
        file[i] = 'p';
    EXPECT_EQ(ProgramFileTag(file), "PPPPPPPP");
}

TEST(ProgramFile, WaitTimeAndStatusText)
{
    EXPECT_EQ(WaitTimeMs(12), 12000);
    EXPECT_EQ(ProgramUpdateStatusText("更新程序", "C:\\fw\\P80.bin", 70000), "更新程序:P80.bin Size:70000");
    EXPECT_EQ(ProgramUpdateStatusText("更新程序", "/tmp/fw/P80.bin", 5), "更新程序:P80.bin Size:5");
}

TEST(ProgramFile, LoaderFirstWriteCarriesTheLowSizeBitsAndPaddedBlock)
{
    std::vector<std::uint8_t> file(70000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(i);
    const auto first = FirmwareFirstWrite(file);
    EXPECT_EQ(std::vector<std::uint8_t>(first.begin(), first.begin() + 6),
              (std::vector<std::uint8_t>{0x1F, 0x75, 0x00, 0x01, 0x11, 0x70}));
    EXPECT_EQ(first[6], 0);
    EXPECT_EQ(first[261], 255);

    const std::vector<std::uint8_t> small(10, 0x11);
    const auto shortWrite = FirmwareFirstWrite(small);
    EXPECT_EQ(shortWrite[5], 10);
    EXPECT_EQ(shortWrite[15], 0x11);
    EXPECT_EQ(shortWrite[16], 0xFF);

    const std::vector<std::uint8_t> thousand(1000, 0x22);
    const auto last = PaddedBlock(thousand, 768);
    EXPECT_EQ(std::count(last.begin(), last.end(), 0x22), 232);
    EXPECT_EQ(std::count(last.begin(), last.end(), 0xFF), 24);
}

TEST(DownloadRows, FontAndLogoRowsCarryDollarHexTexts)
{
    const DownloadRow font = FontDownloadRow("/f/font.bin", 0x10000);
    EXPECT_EQ(font.path, "/f/font.bin");
    EXPECT_EQ(font.displayName, "FONT");
    EXPECT_EQ(font.commandText, "$35");
    EXPECT_EQ(font.baseText, "$10000");
    EXPECT_EQ(FontDownloadRow("x", 0).baseText, "$0000");
    EXPECT_EQ(FontDownloadRow("x", 0xABC).baseText, "$0abc");
    EXPECT_EQ(strToInt(font.baseText), 0x10000);
    EXPECT_EQ(strToInt(font.commandText), 0x35);

    const DownloadRow logo = LogoDownloadRow("/p/1.bin");
    EXPECT_EQ(logo.displayName, "LOGO");
    EXPECT_EQ(logo.baseText, "$1cf000");
    EXPECT_EQ(LogoBankPath("/p"), "/p/1.bin");
}

TEST(DownloadRows, ReadBackTextsAreStrict)
{
    const ReadBackRequest r = ReadBackFromTexts("100", "10");
    EXPECT_EQ(r.startAddress, 0x100);
    EXPECT_EQ(r.length, 10);
    EXPECT_EQ(ReadBackFromTexts("0", "$400").length, 1024);
    EXPECT_THROW(ReadBackFromTexts("", "10"), EConvertError);
    EXPECT_THROW(ReadBackFromTexts("xyz", "10"), EConvertError);
    try {
        ReadBackFromTexts("10", "ten");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'ten' is not a valid integer value");
    }
}

TEST(LogoList, DeleteAndPrintSelections)
{
    EXPECT_EQ(LogoEntriesToDelete({false, true, true}), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(LogoEntriesToDelete({false, false, false}), (std::vector<std::size_t>{2}));
    EXPECT_TRUE(LogoEntriesToDelete({}).empty());
    EXPECT_EQ(LogoPrintListFor({true, false, true}), "1,3");
    EXPECT_EQ(LogoPrintListFor({false, false}), "");
}

TEST(LogoBank, TwoPicturesGiveTheDirectoryImagesAndSize)
{
    const auto bank = BuildLogoBank({blackPicture(100, 50), blackPicture(384, 100)});
    ASSERT_EQ(bank.size(), 4096u + 5720u);
    EXPECT_EQ(le32(bank, 0), 0x1D0000u);
    EXPECT_EQ(le16(bank, 4), 13);
    EXPECT_EQ(le16(bank, 6), 7);
    EXPECT_EQ(le32(bank, 8), 0x1D0000u + 728u);
    EXPECT_EQ(le16(bank, 12), 48);
    EXPECT_EQ(le16(bank, 14), 13);
    EXPECT_TRUE(std::all_of(bank.begin() + 16, bank.begin() + 4096, [](auto b) { return b == 0; }));
    // 100 dots: twelve full bytes and four dots of the thirteenth.
    EXPECT_EQ(bank[4096 + 11], 0xFF);
    EXPECT_EQ(bank[4096 + 12], 0xF0);
    // Rows 50 to 55 lie below the picture.
    EXPECT_EQ(bank[4096 + 50 * 13], 0x00);
    EXPECT_EQ(BuildLogoBank({blackPicture(100, 50)}).size(), 4824u);
}

TEST(LogoBank, DotsBecomeBitsLeftmostInBitSeven)
{
    const LogoImage black = EncodeLogoImage(blackPicture(8, 8));
    EXPECT_EQ(black.widthBytes, 1);
    EXPECT_EQ(black.heightBands, 1);
    EXPECT_EQ(black.bytes, std::vector<std::uint8_t>(8, 0xFF));

    const LogoImage narrow = EncodeLogoImage(blackPicture(7, 3));
    for (const std::uint8_t b : narrow.bytes)
        EXPECT_EQ(b & 1, 0);
    EXPECT_EQ(narrow.bytes[0], 0xFE);

    MonochromePicture one(16, 1);
    one.setBlack(0, 0, true);
    one.setBlack(9, 0, true);
    const LogoImage dots = EncodeLogoImage(one);
    EXPECT_EQ(dots.bytes[0], 0x80);
    EXPECT_EQ(dots.bytes[1], 0x40);
}

TEST(LogoBank, LimitsAreRefused)
{
    EXPECT_EQ(LogoBankSizeProblem(262144), "");
    EXPECT_EQ(LogoBankSizeProblem(262145), "BMP 文件不能超过256");
    // 200 pictures of 384 × 32 dots: 4096 + 200 × 1536 bytes, over the limit.
    const std::vector<MonochromePicture> many(200, blackPicture(384, 32));
    EXPECT_FALSE(LogoBankSizeProblem(BuildLogoBank(many).size()).empty());
    const std::vector<MonochromePicture> tooMany(513, blackPicture(8, 8));
    EXPECT_THROW(BuildLogoBank(tooMany), EInvalidInput);
}

TEST(LogoBank, PicturesBeyondTheDirectorysSixteenBitFieldsAreRefused)
{
    // 600000 dots wide would be 75000 bytes a row, written as 9464 in the
    // 16-bit field: the printer would read another picture than the bytes.
    const MonochromePicture wide(600000, 1);
    const MonochromePicture high(8, kLogoMaxDots + 1);
    EXPECT_FALSE(FitsLogoDirectory(wide));
    EXPECT_FALSE(FitsLogoDirectory(high));
    EXPECT_TRUE(FitsLogoDirectory(MonochromePicture(kLogoMaxDots, kLogoMaxDots / 65535)));
    for (const MonochromePicture* tooLarge : {&wide, &high}) {
        try {
            BuildLogoBank({blackPicture(8, 8), *tooLarge});
            ADD_FAILURE() << "built";
        } catch (const EInvalidInput& refusal) {
            EXPECT_EQ(refusal.messageKey(), kLogoSizeErrorKey);
        }
        EXPECT_THROW(EncodeLogoImage(*tooLarge), EInvalidInput);
    }
    const LogoImage widest = EncodeLogoImage(MonochromePicture(kLogoMaxDots, 1));
    EXPECT_EQ(widest.widthBytes, 65535);
    EXPECT_EQ(widest.heightBands, 1);
}

TEST(LogoBank, FilesAreSkippedWhenMissingAndRefusedWhenNotPictures)
{
    const auto folder = std::filesystem::temp_directory_path() / ("pst-logo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (folder / name).string();
    };
    const std::string a = write("a.bmp", makeBmp(8, 8, 1, false, [](int, int) { return Rgb{}; }));
    const std::string b = write("b.bmp", makeBmp(16, 8, 24, false, [](int, int) { return Rgb{}; }));
    const std::string text = write("notes.bmp", {'h', 'e', 'l', 'l', 'o'});

    const auto bank = BuildLogoBankFromFiles({a, (folder / "gone.bmp").string(), b}, LoadBmpAsMonochrome);
    EXPECT_EQ(le16(bank, 12), 2);  // b is the second logo
    EXPECT_EQ(bank.size(), 4096u + 8u + 16u);
    try {
        BuildLogoBankFromFiles({a, text}, LoadBmpAsMonochrome);
        FAIL();
    } catch (const EInvalidInput& e) {
        EXPECT_NE(std::string(e.what()).find(text), std::string::npos);
    }
    std::filesystem::remove_all(folder);
}

TEST(Pictures, BlackPrintsAndWhiteDoesNot)
{
    const RgbPicture colours(4, 1, {{0, 0, 0}, {255, 255, 255}, {0, 0, 255}, {255, 255, 0}});
    const MonochromePicture mono = ToMonochrome(colours);
    EXPECT_TRUE(mono.isBlack(0, 0));
    EXPECT_FALSE(mono.isBlack(1, 0));
    EXPECT_TRUE(mono.isBlack(2, 0));   // dark blue
    EXPECT_FALSE(mono.isBlack(3, 0));  // bright yellow
}

TEST(Pictures, EveryUncompressedDepthAndRowOrderDecodesAlike)
{
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        for (const bool topDown : {false, true}) {
            const auto bytes = makeBmp(13, 5, bits, topDown, checker);
            const MonochromePicture mono = ToMonochrome(DecodeBmp(bytes, "p.bmp"));
            ASSERT_EQ(mono.width(), 13);
            ASSERT_EQ(mono.height(), 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    EXPECT_EQ(mono.isBlack(x, y), (x + y) % 2 == 0) << bits << " bits, " << x << "," << y;
        }
    }
}

TEST(Pictures, DamagedOrCompressedFilesAreRefusedByName)
{
    auto bytes = makeBmp(8, 8, 24, false, checker);
    auto refused = [](const std::vector<std::uint8_t>& b) {
        try {
            DecodeBmp(b, "logo.bmp");
        } catch (const EInvalidInput& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    auto compressed = bytes;
    compressed[30] = 1;  // run-length
    EXPECT_NE(refused(compressed).find("logo.bmp: not a BMP picture"), std::string::npos);
    EXPECT_NE(refused(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 100)).find("truncated"),
              std::string::npos);
    auto huge = bytes;
    huge[21] = 0x7F;  // width near 2^31
    EXPECT_FALSE(refused(huge).empty());
    auto deep = bytes;
    deep[28] = 2;
    EXPECT_FALSE(refused(deep).empty());
    EXPECT_FALSE(refused({'B', 'M'}).empty());
}
