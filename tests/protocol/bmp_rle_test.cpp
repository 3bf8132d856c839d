// Run-length coded BMP pictures: every kind of run, and damaged data.

#include <gtest/gtest.h>

#include "protocol/bmp_reader.h"
#include "protocol/bmp_rle.h"
#include "protocol/input_error.h"

using namespace pst;

namespace {

// A BMP header for a bottom-up picture with a black-and-white palette
// (index 0 white, 1 black; the rest of a 16-colour palette grey) and the
// coded `data`.
std::vector<std::uint8_t> rleBmp(int width, int height, int bits, const std::vector<std::uint8_t>& data)
{
    const std::uint32_t colours = 1u << bits;
    const std::uint32_t offset = 54 + colours * 4;
    std::vector<std::uint8_t> b(offset, 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, offset);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = static_cast<std::uint8_t>(bits);
    put(30, bits == 8 ? 1 : 2);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const std::uint8_t grey = i == 0 ? 255 : i == 1 ? 0 : 128;
        b[54 + i * 4] = b[54 + i * 4 + 1] = b[54 + i * 4 + 2] = grey;
    }
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

}  // namespace

TEST(BmpRunLength, RunsLiteralsMovesAndEndsExpandAsStored)
{
    // RLE8, 5 × 3: bottom row a run of 3 black then 2 literal (white, black);
    // then a move of 1 right and 1 up (over the middle row) and a run of 2 black.
    const std::vector<std::uint8_t> rle8{3, 1, 0, 3, 0, 1, 0, 0, 0, 0, 0, 2, 1, 1, 2, 1, 0, 1};
    const auto dots = ExpandBmpRle(rle8, 5, 3, 8);
    ASSERT_TRUE(dots);
    EXPECT_EQ(*dots, (std::vector<std::uint8_t>{1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0}));

    // RLE4 alternates the halves of a run's byte, and of literal bytes.
    const std::vector<std::uint8_t> rle4{4, 0x10, 0, 3, 0x01, 0x10, 0, 1};
    const auto halves = ExpandBmpRle(rle4, 7, 1, 4);
    ASSERT_TRUE(halves);
    EXPECT_EQ(*halves, (std::vector<std::uint8_t>{1, 0, 1, 0, 0, 1, 1}));

    // Damaged: the data end before the picture does, or a literal runs off.
    EXPECT_FALSE(ExpandBmpRle(std::vector<std::uint8_t>{3, 1}, 5, 3, 8));
    EXPECT_FALSE(ExpandBmpRle(std::vector<std::uint8_t>{0, 9, 1}, 9, 1, 8));
    // Runs past the row's end are dropped, not written into the next row.
    const auto clipped = ExpandBmpRle(std::vector<std::uint8_t>{9, 1, 0, 0, 2, 0, 0, 1}, 3, 2, 8);
    ASSERT_TRUE(clipped);
    EXPECT_EQ(*clipped, (std::vector<std::uint8_t>{1, 1, 1, 0, 0, 0}));
}

TEST(BmpRunLength, CodedPicturesDecodeTopRowFirst)
{
    // Bottom row black, top row white.
    const RgbPicture picture = DecodeBmp(rleBmp(4, 2, 8, {4, 1, 0, 0, 4, 0, 0, 1}), "logo.bmp");
    ASSERT_EQ(picture.width(), 4);
    EXPECT_EQ(picture.pixel(0, 0).red, 255);
    EXPECT_EQ(picture.pixel(3, 1).red, 0);
    // The high half of a run's byte comes first: index 0 (white), then 1.
    const RgbPicture four = DecodeBmp(rleBmp(2, 1, 4, {2, 0x01, 0, 1}), "logo.bmp");
    EXPECT_EQ(four.pixel(0, 0).red, 255);
    EXPECT_EQ(four.pixel(1, 0).red, 0);
    EXPECT_THROW(DecodeBmp(rleBmp(4, 2, 8, {4, 1}), "logo.bmp"), EInvalidInput);
}
