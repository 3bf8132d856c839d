#include "para/qimage_picture.h"

#include <QImage>
#include <QImageReader>
#include <stdexcept>

namespace pst::para {

namespace {

class QImagePixels : public PixelSource {
public:
    explicit QImagePixels(QImage image) : image_(std::move(image)) { }
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    Rgb Pixel(int x, int y) const override
    {
        const QRgb dot = image_.pixel(x, y);
        return {static_cast<std::uint8_t>(qRed(dot)), static_cast<std::uint8_t>(qGreen(dot)),
                static_cast<std::uint8_t>(qBlue(dot))};
    }

private:
    QImage image_;
};

}  // namespace

MonochromePicture LoadMonochromePicture(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(path + ": " + reader.errorString().toStdString());
    // One format whatever the file held, so that palette pictures read
    // their colours and not their indexes.
    return ToMonochrome(QImagePixels(image.convertToFormat(QImage::Format_RGB32)));
}

}  // namespace pst::para
