#include "images/picture.h"

#include <array>

namespace zub {
namespace {

// The 16 colours of the Windows VGA palette, for pictures that must fit in 4 bits.
QList<QRgb> vgaPalette() {
    static const std::array<QRgb, 16> colours = {0xff000000, 0xff800000, 0xff008000, 0xff808000,
                                                 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                                                 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                                                 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
    return {colours.begin(), colours.end()};
}

// Exact colours where a picture already fits, no scattered dots where it does not.
constexpr Qt::ImageConversionFlags kPaletteConversion = Qt::ThresholdDither | Qt::AvoidDither;

} // namespace

int standardBitmapDepth(int bitsPerPixel) {
    for (int depth : {1, 4, 8, 16, 24})
        if (bitsPerPixel <= depth) return depth;
    return 32;
}

QImage bitmapPixels(QImage image, int depth) {
    if (image.isNull()) return image;
    switch (depth) {
    case 1:
        if (image.format() == QImage::Format_Mono && image.colorCount() == 2) return image;
        return image.convertToFormat(QImage::Format_Mono, kPaletteConversion);
    case 4:
        if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= 16) return image;
        if (image.format() == QImage::Format_Mono)
            return image.convertToFormat(QImage::Format_Indexed8);
        return image.convertToFormat(QImage::Format_Indexed8, vgaPalette(), kPaletteConversion);
    case 8:
        if (image.format() == QImage::Format_Indexed8) return image;
        return image.convertToFormat(QImage::Format_Indexed8, kPaletteConversion);
    default:
        if (image.format() == QImage::Format_RGB32) return image;
        if (image.format() == QImage::Format_ARGB32) {
            // Bitmaps are opaque: the colours stay, whatever the alpha said.
            QImage opaque = image;
            opaque.reinterpretAsFormat(QImage::Format_RGB32);
            for (int y = 0; y < opaque.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(opaque.scanLine(y));
                for (int x = 0; x < opaque.width(); ++x) line[x] |= 0xff000000u;
            }
            return opaque;
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }
}

Picture Picture::fromBitmap(QImage image, int bitsPerPixel) {
    Picture picture;
    picture.m_format = PictureFormat::Bitmap;
    picture.m_bitsPerPixel = standardBitmapDepth(bitsPerPixel);
    picture.m_image = bitmapPixels(std::move(image), picture.m_bitsPerPixel);
    return picture;
}

Picture Picture::fromIcon(QImage image, std::string fileBytes) {
    return withFileBytes(PictureFormat::Icon, std::move(image), std::move(fileBytes));
}

Picture Picture::fromMetafile(PictureFormat kind, QImage image, std::string fileBytes) {
    return withFileBytes(kind, std::move(image), std::move(fileBytes));
}

Picture Picture::withFileBytes(PictureFormat format, QImage image, std::string fileBytes) {
    Picture picture;
    picture.m_format = format;
    picture.m_bitsPerPixel = 32;
    picture.m_image = image.format() == QImage::Format_ARGB32_Premultiplied
                          ? std::move(image)
                          : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    picture.m_fileBytes = std::make_shared<const std::string>(std::move(fileBytes));
    return picture;
}

const std::string& Picture::fileBytes() const {
    static const std::string none;
    return m_fileBytes ? *m_fileBytes : none;
}

} // namespace zub
