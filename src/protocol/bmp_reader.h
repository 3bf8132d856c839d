#pragma once
// A small BMP decoder: 1, 4, 8, 16, 24 and 32 bits per pixel, bit fields,
// run-length coded 4 and 8 bits, rows stored bottom-up or top-down.
// Anything else is refused with a text naming the file (picture_file then
// tries the picture library, which reads the old OS/2 headers).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/monochrome_picture.h"

namespace pst {

// Pictures beyond this many dots (a 16-megapixel photo) are not logos even
// scaled down; refusing them from the header keeps a small file from asking
// for the memory of a large picture (decoded, each dot takes some 15 bytes
// on its way to the logo).
inline constexpr std::int64_t kMaxPictureDots = 4096LL * 4096;

struct PictureSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The size a BMP header gives (rows stored from the top or the bottom
// alike), when it is a header DecodeBmp reads; nothing otherwise.
std::optional<PictureSize> BmpHeaderSize(std::span<const std::uint8_t> bytes);

// Throws EInvalidInput("<name>: not a BMP picture this tool can read (...)").
RgbPicture DecodeBmp(std::span<const std::uint8_t> bytes, const std::string& name);
RgbPicture ReadBmpFile(const std::string& path);

// The loader the logo bank build uses on the command line.
MonochromePicture LoadBmpAsMonochrome(const std::string& path);

}  // namespace pst
