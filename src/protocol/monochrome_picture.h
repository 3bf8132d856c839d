#pragma once
// Pictures as the logo bank needs them: one bit per dot, black or not.
// Whatever decodes a picture (the window's image loader, the command line's
// BMP reader) offers its dots through PixelSource; the conversion below is
// the one rule for every source, so the same picture prints the same.

#include <cstdint>
#include <vector>

namespace pst {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

class PixelSource {
public:
    virtual ~PixelSource() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The dot's colour; grey pictures give three equal values.
    virtual Rgb pixel(int x, int y) const = 0;
};

// A decoded picture's colours, rows from the top; dots outside it are white.
class RgbPicture : public PixelSource {
public:
    RgbPicture(int width, int height, std::vector<Rgb> pixels);
    int width() const override { return width_; }
    int height() const override { return height_; }
    Rgb pixel(int x, int y) const override;

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

class MonochromePicture {
public:
    MonochromePicture() = default;
    MonochromePicture(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isBlack(int x, int y) const;
    void setBlack(int x, int y, bool black);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<bool> black_;
};

// A dot is black when its brightness (ITU-R 601 weights) is below half:
// pure black always prints, pure white never does.
MonochromePicture ToMonochrome(const PixelSource& source);

}  // namespace pst
