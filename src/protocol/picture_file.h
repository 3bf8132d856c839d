#pragma once
// Logo pictures from files: BMP, PNG, JPEG and GIF (its first frame), for
// every front end alike. Transparent parts count as paper, so a logo drawn
// on a transparent background does not print as a black block.

#include <cstdint>
#include <span>
#include <string>

#include "protocol/monochrome_picture.h"
#include "protocol/picture_conversion.h"

namespace pst {

// Throws EInvalidInput("<name>: not a picture this tool can read (...)").
RgbPicture DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name);
RgbPicture ReadPictureFile(const std::string& path);

// Decoded and converted: what the logo bank build loads. A refusal of the
// conversion names the file.
MonochromePicture LoadLogoPicture(const std::string& path, const PictureConversion& conversion);

}  // namespace pst
