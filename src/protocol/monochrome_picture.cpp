#include "protocol/monochrome_picture.h"

namespace pst {

RgbPicture::RgbPicture(int width, int height, std::vector<Rgb> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels))
{
}

Rgb RgbPicture::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {255, 255, 255};
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

MonochromePicture::MonochromePicture(int width, int height)
    : width_(width < 0 ? 0 : width),
      height_(height < 0 ? 0 : height),
      black_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), false)
{
}

bool MonochromePicture::isBlack(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return false;
    return black_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
}

void MonochromePicture::setBlack(int x, int y, bool black)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    black_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
        black;
}

MonochromePicture ToMonochrome(const PixelSource& source)
{
    MonochromePicture picture(source.width(), source.height());
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb c = source.pixel(x, y);
            // Brightness × 1000, compared with half of full white.
            const unsigned brightness = 299u * c.red + 587u * c.green + 114u * c.blue;
            picture.setBlack(x, y, brightness < 128u * 1000u);
        }
    }
    return picture;
}

}  // namespace pst
