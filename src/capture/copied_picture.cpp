#include "capture/copied_picture.h"

#include "images/picture.h"
#include "images/qt_image_reading.h"
#include "platform/error.h"

#include <QBuffer>
#include <QImageReader>

#include <string>

namespace zub {

QImage decodeCopiedPicture(const QByteArray& bytes) {
    allowQtImagesUpToPixelLimit();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // A bitmap is pixels; a drawing (SVG) would be drawn at whatever size it asks for, for as
    // long as it takes.
    const QByteArray format = reader.format();
    if (format.isEmpty() || format.startsWith("svg")) throw Error(kBitmapNotValid);
    const QSize size = reader.size();
    if (size.isValid() &&
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
            kMaxPicturePixels)
        throw Error("Bitmap image is too large (" + std::to_string(size.width()) + " x " +
                    std::to_string(size.height()) + " pixels)");
    QImage image = reader.read();
    if (image.isNull()) throw Error(kBitmapNotValid);
    return image;
}

} // namespace zub
