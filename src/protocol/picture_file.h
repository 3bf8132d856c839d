#pragma once
// Logo pictures from files: BMP, PNG, JPEG and GIF (its first frame), for
// every front end alike. Transparent parts count as paper, so a logo drawn
// on a transparent background does not print as a black block.

#include <cstdint>
#include <span>
#include <string>

#include "protocol/bmp_reader.h"
#include "protocol/monochrome_picture.h"
#include "protocol/picture_conversion.h"

namespace pst {

// The size the picture's header gives, read without decoding it. Throws
// EInvalidInput("<name>: not a picture this tool can read (...)") when no
// header is recognised.
PictureSize ReadPictureSize(std::span<const std::uint8_t> bytes, const std::string& name);

// Throws EInvalidInput("<name>: not a picture this tool can read (...)"),
// from the header alone for a size beyond kMaxPictureDots.
RgbPicture DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name);
RgbPicture ReadPictureFile(const std::string& path);

// Decoded and converted: what the logo bank build loads. A size the
// conversion refuses (CheckConversionSize) is refused from the header,
// before any decoding; a refusal of the conversion names the file.
MonochromePicture DecodeLogoPicture(std::span<const std::uint8_t> bytes, const std::string& name,
                                    const PictureConversion& conversion);
MonochromePicture LoadLogoPicture(const std::string& path, const PictureConversion& conversion);

}  // namespace pst
