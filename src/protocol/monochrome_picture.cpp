#include "protocol/monochrome_picture.h"

namespace pst {

RgbPicture::RgbPicture(int width, int height, std::vector<Rgb> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels))
{
}

Rgb RgbPicture::Pixel(int x, int y) const
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

bool MonochromePicture::IsBlack(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return false;
    return black_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(x)];
}

void MonochromePicture::SetBlack(int x, int y, bool black)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    black_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
        black;
}

MonochromePicture ToMonochrome(const PixelSource& source)
{
    MonochromePicture picture(source.Width(), source.Height());
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb c = source.Pixel(x, y);
            // Brightness × 1000, compared with half of full white.
            const unsigned brightness = 299u * c.red + 587u * c.green + 114u * c.blue;
            picture.SetBlack(x, y, brightness < 128u * 1000u);
        }
    }
    return picture;
}

}  // namespace pst
