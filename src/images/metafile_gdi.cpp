#include "images/metafile_drawing.h"

#include "platform/gdi_metafiles.h"

// Metafiles drawn by Windows itself.

namespace zub {

bool emfRecordIsDrawable(const char*) {
    // GDI checks the records it plays; the reader has checked that each lies in the file.
    return true;
}

QImage drawEmf(std::string emf, std::uint64_t, MetafilePixels size) {
    return gdi::drawEnhancedMetafile(emf, QSize(size.width, size.height));
}

QImage drawWmf(std::string wmf, MetafilePixels size, QSizeF) {
    constexpr std::size_t kPlaceableHeaderSize = 22;
    return gdi::drawWindowsMetafile(std::string_view(wmf).substr(kPlaceableHeaderSize),
                                    QSize(size.width, size.height));
}

} // namespace zub
