#include "protocol/bmp_reader.h"

#include "platform/file_bytes.h"
#include "protocol/bmp_rle.h"
#include "protocol/byte_order.h"
#include "protocol/input_error.h"
#include "protocol/picture_refusal.h"

namespace pst {

namespace {

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at)
{
    return readU32(b.data() + at);
}

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at)
{
    return readU16(b.data() + at);
}

// The value of `pixel` under a channel mask, scaled to 0..255.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(value * 255u / max);
}

}  // namespace

std::optional<PictureSize> BmpHeaderSize(std::span<const std::uint8_t> b)
{
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    const std::uint32_t headerSize = u32(b, 14);
    if (headerSize < 40 || 14 + static_cast<std::size_t>(headerSize) > b.size())
        return std::nullopt;
    const auto rawHeight = static_cast<std::int32_t>(u32(b, 22));
    return PictureSize{static_cast<std::int32_t>(u32(b, 18)),
                       rawHeight < 0 ? -static_cast<std::int64_t>(rawHeight) : rawHeight};
}

RgbPicture DecodeBmp(std::span<const std::uint8_t> b, const std::string& name)
{
    constexpr std::string_view reader = "BMP picture";
    auto refuse = [&](PictureProblem problem, const std::string& why) {
        return PictureRefusal(name, reader, problem, why);
    };
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        throw refuse(PictureProblem::UnknownFormat, "no BMP signature");
    const std::uint32_t dataOffset = u32(b, 10);
    const std::uint32_t headerSize = u32(b, 14);
    if (headerSize < 40 || 14 + static_cast<std::size_t>(headerSize) > b.size())
        throw refuse(PictureProblem::Header, "unsupported header");
    const auto width = static_cast<std::int32_t>(u32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(u32(b, 22));
    const std::uint16_t bits = u16(b, 28);
    const std::uint32_t compression = u32(b, 30);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPictureDots)
        throw PictureSizeRefusal(name, reader, width, rawHeight);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw PictureBitsRefusal(name, reader, bits);
    const bool bitfields = compression == 3 && (bits == 16 || bits == 32);
    const bool runLength = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    if (compression != 0 && !bitfields && !runLength)
        throw refuse(PictureProblem::Compressed, "compressed");
    // Run-length rows are always stored from the bottom.
    if (runLength && topDown)
        throw refuse(PictureProblem::Compressed, "run-length coded from the top");

    std::uint32_t redMask = 0x00FF0000, greenMask = 0x0000FF00, blueMask = 0x000000FF;
    if (bits == 16) {
        redMask = 0x7C00;
        greenMask = 0x03E0;
        blueMask = 0x001F;
    }
    if (bitfields) {
        // The masks follow a 40-byte header, or sit inside a longer one.
        if (14 + 40 + 12 > b.size())
            throw refuse(PictureProblem::Damaged, "truncated");
        redMask = u32(b, 54);
        greenMask = u32(b, 58);
        blueMask = u32(b, 62);
    }

    std::vector<Rgb> palette;
    if (bits <= 8) {
        std::uint32_t colours = u32(b, 46);
        if (colours == 0 || colours > (1u << bits))
            colours = 1u << bits;
        const std::size_t at = 14 + headerSize;
        if (at + static_cast<std::size_t>(colours) * 4 > b.size())
            throw refuse(PictureProblem::Damaged, "truncated palette");
        for (std::uint32_t i = 0; i < colours; ++i)
            palette.push_back({b[at + i * 4 + 2], b[at + i * 4 + 1], b[at + i * 4]});
    }

    if (runLength) {
        if (dataOffset > b.size())
            throw refuse(PictureProblem::Damaged, "truncated pixel data");
        const auto indexes = ExpandBmpRle(b.subspan(dataOffset), width, static_cast<int>(height), bits);
        if (!indexes)
            throw refuse(PictureProblem::Damaged, "truncated pixel data");
        const auto rows = static_cast<std::size_t>(height);
        std::vector<Rgb> pixels(indexes->size());
        for (std::size_t row = 0; row < rows; ++row)
            for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
                const std::uint8_t index = (*indexes)[row * static_cast<std::size_t>(width) + x];
                pixels[(rows - 1 - row) * static_cast<std::size_t>(width) + x] =
                    index < palette.size() ? palette[index] : Rgb{0, 0, 0};
            }
        return RgbPicture(width, static_cast<int>(height), std::move(pixels));
    }

    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const auto rows = static_cast<std::size_t>(height);
    if (dataOffset > b.size() || rowBytes * rows > b.size() - dataOffset)
        throw refuse(PictureProblem::Damaged, "truncated pixel data");

    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t y = topDown ? row : rows - 1 - row;
        const std::uint8_t* line = b.data() + dataOffset + row * rowBytes;
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
            Rgb colour;
            if (bits <= 8) {
                const std::size_t bitIndex = x * bits;
                const unsigned shift = 8 - bits - static_cast<unsigned>(bitIndex % 8);
                const unsigned index = (line[bitIndex / 8] >> shift) & ((1u << bits) - 1);
                colour = index < palette.size() ? palette[index] : Rgb{0, 0, 0};
            } else if (bits == 24) {
                colour = {line[x * 3 + 2], line[x * 3 + 1], line[x * 3]};
            } else {
                const std::uint32_t value =
                    bits == 16 ? u16({line, rowBytes}, x * 2) : u32({line, rowBytes}, x * 4);
                colour = {channel(value, redMask), channel(value, greenMask), channel(value, blueMask)};
            }
            pixels[y * static_cast<std::size_t>(width) + x] = colour;
        }
    }
    return RgbPicture(width, static_cast<int>(height), std::move(pixels));
}

RgbPicture ReadBmpFile(const std::string& path)
{
    const auto bytes = readFileBytes(path);
    if (!bytes)
        throw PictureNotOpenedRefusal(path);
    return DecodeBmp(*bytes, path);
}

MonochromePicture LoadBmpAsMonochrome(const std::string& path)
{
    return ToMonochrome(ReadBmpFile(path));
}

}  // namespace pst
