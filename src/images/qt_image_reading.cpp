#include "images/qt_image_reading.h"

#include "images/picture.h"

#include <QBuffer>
#include <QImageReader>

#include <mutex>

namespace zub {

void allowQtImagesUpToPixelLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Megabytes for the largest picture at 8 bytes per pixel, and some to spare.
        constexpr int kLimitMegabytes =
            static_cast<int>(kMaxPicturePixels * 8 / (1024 * 1024)) + 64;
        if (QImageReader::allocationLimit() < kLimitMegabytes)
            QImageReader::setAllocationLimit(kLimitMegabytes);
    });
}

QImage readImageWithQt(std::string_view bytes, const char* format, int index) {
    allowQtImagesUpToPixelLimit();
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (index > 0 && !reader.jumpToImage(index)) return {};
    return reader.read();
}

} // namespace zub
