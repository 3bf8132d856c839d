#pragma once
// A small BMP decoder: 1, 4, 8, 16, 24 and 32 bits per pixel, bit fields,
// run-length coded 4 and 8 bits, rows stored bottom-up or top-down.
// Anything else is refused with a text naming the file (picture_file then
// tries the picture library, which reads the old OS/2 headers).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/monochrome_picture.h"

namespace pst {

// Pictures beyond this many dots are not logos; refusing them keeps a
// corrupt header from asking for gigabytes.
inline constexpr std::int64_t kMaxPictureDots = 64LL * 1024 * 1024;

// Throws EInvalidInput("<name>: not a BMP picture this tool can read (...)").
RgbPicture DecodeBmp(std::span<const std::uint8_t> bytes, const std::string& name);
RgbPicture ReadBmpFile(const std::string& path);

// The loader the logo bank build uses on the command line.
MonochromePicture LoadBmpAsMonochrome(const std::string& path);

}  // namespace pst
