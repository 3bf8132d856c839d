#pragma once
// A small BMP decoder for the command line, which has no image library:
// uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, rows stored
// bottom-up or top-down. Anything else is refused with a text naming the
// file.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/monochrome_picture.h"

namespace pst {

class BmpPicture : public PixelSource {
public:
    BmpPicture(int width, int height, std::vector<Rgb> pixels);
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    Rgb Pixel(int x, int y) const override;

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;  // rows from the top
};

// Throws EInvalidInput("<name>: not a BMP picture this tool can read (...)").
BmpPicture DecodeBmp(std::span<const std::uint8_t> bytes, const std::string& name);
BmpPicture ReadBmpFile(const std::string& path);

// The loader the logo bank build uses on the command line.
MonochromePicture LoadBmpAsMonochrome(const std::string& path);

}  // namespace pst
