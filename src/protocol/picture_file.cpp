#include "protocol/picture_file.h"

#include <climits>
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

RgbPicture decodeWithStb(std::span<const std::uint8_t> bytes, const std::string& name)
{
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        throw PictureRefusal(name, kReader, PictureProblem::TooLarge, "too large");
    const auto length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    // The size first: a header may announce more than memory holds.
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels))
        throw libraryRefusal(name, stbi_failure_reason(), "unknown format");
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxPictureDots)
        throw PictureSizeRefusal(name, kReader, width, height);
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

}  // namespace

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

MonochromePicture LoadLogoPicture(const std::string& path, const PictureConversion& conversion)
{
    const RgbPicture picture = ReadPictureFile(path);
    try {
        return ConvertPicture(picture, conversion);
    } catch (const EInvalidInput& refused) {
        if (refused.messageKey().empty())
            throw;
        throw refused.followedBy(" (" + path + ")");
    }
}

}  // namespace pst
