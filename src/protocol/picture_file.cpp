#include "protocol/picture_file.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <memory>

#include <stb_image.h>

#include "platform/file_bytes.h"
#include "protocol/bmp_reader.h"
#include "protocol/input_error.h"
#include "protocol/picture_refusal.h"

namespace pst {

namespace {

constexpr std::string_view kReader = "picture";

// The library's reasons are short English phrases; the user is told which
// kind of problem it was.
EInvalidInput libraryRefusal(const std::string& name, const char* reason, const char* orElse)
{
    const std::string why = reason ? reason : orElse;
    PictureProblem problem = PictureProblem::Damaged;
    if (why == "unknown image type" || why == "unknown format")
        problem = PictureProblem::UnknownFormat;
    else if (why == "too large" || why == "outofmem")
        problem = PictureProblem::TooLarge;
    return PictureRefusal(name, kReader, problem, why);
}

std::uint8_t overWhite(std::uint8_t colour, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((colour * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// Whether every chunk of a PNG lies within the file. The library sets aside
// room for a chunk as long as its header says before it reads it: a few
// bytes claiming a chunk of a gigabyte would take a gigabyte.
bool pngChunksFit(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (bytes.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
        return true;  // not a PNG
    std::size_t at = 8;
    while (bytes.size() - at >= 8) {
        const std::uint64_t length = std::uint64_t{bytes[at]} << 24 | std::uint64_t{bytes[at + 1]} << 16 |
            std::uint64_t{bytes[at + 2]} << 8 | bytes[at + 3];
        // The length, the type, the data and the check sum.
        if (length + 12 > bytes.size() - at)
            return false;
        at += 12 + static_cast<std::size_t>(length);
    }
    return true;
}

bool decodable(PictureSize size)
{
    return size.width > 0 && size.height > 0 && size.width * size.height <= kMaxPictureDots;
}

RgbPicture decodeWithStb(std::span<const std::uint8_t> bytes, const std::string& name)
{
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        throw PictureRefusal(name, kReader, PictureProblem::TooLarge, "too large");
    const auto length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    // The size first: a header may announce more than memory holds.
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels))
        throw libraryRefusal(name, stbi_failure_reason(), "unknown format");
    if (!decodable({width, height}))
        throw PictureSizeRefusal(name, kReader, width, height);
    if (!pngChunksFit(bytes))
        throw PictureRefusal(name, kReader, PictureProblem::Damaged, "a chunk longer than the file");
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4), &stbi_image_free);
    if (!rgba)
        throw libraryRefusal(name, stbi_failure_reason(), "damaged");
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const stbi_uc* p = rgba.get() + i * 4;
        pixels[i] = {overWhite(p[0], p[3]), overWhite(p[1], p[3]), overWhite(p[2], p[3])};
    }
    return RgbPicture(width, height, std::move(pixels));
}

// The conversion's refusals name no file: the file is named after them.
template <class Step> auto namingTheFile(const std::string& name, Step step)
{
    try {
        return step();
    } catch (const EInvalidInput& refused) {
        if (refused.messageKey().empty())
            throw;
        throw refused.followedBy(" (" + name + ")");
    }
}

}  // namespace

PictureSize ReadPictureSize(std::span<const std::uint8_t> bytes, const std::string& name)
{
    // As DecodePicture reads it: the BMP headers of our own reader, the
    // library for the rest.
    if (const auto bmp = BmpHeaderSize(bytes))
        return *bmp;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        throw PictureRefusal(name, kReader, PictureProblem::TooLarge, "too large");
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels))
        throw libraryRefusal(name, stbi_failure_reason(), "unknown format");
    return {width, height};
}

RgbPicture DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name)
{
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        // Our own reader keeps every uncompressed variant exactly as it was;
        // the library takes what it refuses (such as the old OS/2 headers).
        try {
            return DecodeBmp(bytes, name);
        } catch (const EInvalidInput& own) {
            try {
                return decodeWithStb(bytes, name);
            } catch (const EInvalidInput&) {
                throw own;
            }
        }
    }
    return decodeWithStb(bytes, name);
}

RgbPicture ReadPictureFile(const std::string& path)
{
    const auto bytes = readFileBytes(path);
    if (!bytes)
        throw PictureNotOpenedRefusal(path);
    return DecodePicture(*bytes, path);
}

MonochromePicture DecodeLogoPicture(std::span<const std::uint8_t> bytes, const std::string& name,
                                    const PictureConversion& conversion)
{
    const PictureSize size = ReadPictureSize(bytes, name);
    // A size that is no size is refused by the decoder, as for any picture.
    if (size.width > 0 && size.height > 0 && size.width <= INT_MAX && size.height <= INT_MAX)
        namingTheFile(name, [&] {
            CheckConversionSize(static_cast<int>(size.width), static_cast<int>(size.height), conversion);
        });
    const RgbPicture picture = DecodePicture(bytes, name);
    return namingTheFile(name, [&] { return ConvertPicture(picture, conversion); });
}

MonochromePicture LoadLogoPicture(const std::string& path, const PictureConversion& conversion)
{
    const auto bytes = readFileBytes(path);
    if (!bytes)
        throw PictureNotOpenedRefusal(path);
    return DecodeLogoPicture(*bytes, path, conversion);
}

}  // namespace pst
