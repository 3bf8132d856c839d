#include "protocol/logo_preview.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <stb_image_write.h>

#include "platform/file_bytes.h"
#include "protocol/input_error.h"
#include "protocol/logo_directory.h"

namespace pst {

namespace {

void drawDots(GreyImage& canvas, int top, int widthBytes, int rows, const std::uint8_t* bits)
{
    for (int y = 0; y < rows; ++y)
        for (int column = 0; column < widthBytes; ++column) {
            const std::uint8_t byte = bits[static_cast<std::size_t>(y) * widthBytes + column];
            for (int bit = 0; bit < 8; ++bit) {
                const bool black = (byte & (0x80 >> bit)) != 0;
                canvas.pixels[static_cast<std::size_t>(top + y) * canvas.width + column * 8 + bit] =
                    black ? kPreviewBlack : kPreviewWhite;
            }
        }
}

}  // namespace

GreyImage LogoDots(const LogoImage& image)
{
    GreyImage dots;
    dots.width = image.widthBytes * 8;
    dots.height = image.heightBands * 8;
    dots.pixels.assign(static_cast<std::size_t>(dots.width) * dots.height, kPreviewWhite);
    if (image.bytes.size() >= static_cast<std::size_t>(image.widthBytes) * dots.height)
        drawDots(dots, 0, image.widthBytes, dots.height, image.bytes.data());
    return dots;
}

GreyImage BankPreview(std::span<const std::uint8_t> bank)
{
    const std::vector<StoredLogo> logos = ParseLogoDirectory(bank);
    if (logos.empty())
        throw EInvalidInput("The logo bank holds no logo");
    GreyImage canvas;
    for (const StoredLogo& logo : logos) {
        const std::size_t offset = logo.address - kLogoBankBase;
        if (logo.address < kFirstLogoAddress || offset > bank.size() || logo.imageSize() > bank.size() - offset)
            throw EInvalidInput("Logo " + std::to_string(logo.number) + " lies outside the logo bank");
        canvas.width = std::max(canvas.width, logo.widthDots());
        canvas.height += logo.heightDots();
    }
    canvas.height += kPreviewGapRows * static_cast<int>(logos.size() - 1);
    canvas.pixels.assign(static_cast<std::size_t>(canvas.width) * canvas.height, kPreviewGap);
    int top = 0;
    for (const StoredLogo& logo : logos) {
        drawDots(canvas, top, logo.widthBytes, logo.heightDots(), bank.data() + (logo.address - kLogoBankBase));
        top += logo.heightDots() + kPreviewGapRows;
    }
    return canvas;
}

void WritePreviewPng(const std::string& path, const GreyImage& image)
{
    // Encoded in memory and written by the platform, which opens any name
    // the user typed (stb's own writer takes names in the ANSI code page).
    std::vector<std::uint8_t> png;
    const auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes->insert(bytes->end(), first, first + size);
    };
    if (image.width <= 0 || image.height <= 0 ||
        !stbi_write_png_to_func(append, &png, image.width, image.height, 1, image.pixels.data(), image.width) ||
        !writeFileBytes(path, png))
        throw std::runtime_error("Cannot write " + path);
}

}  // namespace pst
