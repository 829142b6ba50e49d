#include "images/qt_image_reading.h"

#include "images/picture.h"

#include <QBuffer>
#include <QImageReader>

namespace zub {

QImage readImageWithQt(std::string_view bytes, const char* format, int index) {
    // Megabytes for the largest picture at 4 bytes per pixel, and some to spare.
    constexpr int kLimitMegabytes = static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 64;
    if (QImageReader::allocationLimit() < kLimitMegabytes)
        QImageReader::setAllocationLimit(kLimitMegabytes);

    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (index > 0 && !reader.jumpToImage(index)) return {};
    return reader.read();
}

} // namespace zub
