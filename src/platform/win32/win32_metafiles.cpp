#include "platform/gdi_metafiles.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <memory>

namespace zub::gdi {
namespace {

struct EnhMetafileDeleter {
    void operator()(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
};
using EnhMetafile = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, EnhMetafileDeleter>;

// The metafile played into a 32-bit bitmap of `size` first filled with `background`. Null when
// any step is refused.
QImage playOn(HENHMETAFILE metafile, QSize size, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width();
    info.bmiHeader.biHeight = -size.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return {};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    QImage result;
    if (bitmap && bits) {
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        const RECT all{0, 0, size.width(), size.height()};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        if (PlayEnhMetaFile(dc, metafile, &all)) {
            GdiFlush();
            result = QImage(static_cast<const uchar*>(bits), size.width(), size.height(),
                            size.width() * 4, QImage::Format_RGB32)
                         .copy();
        }
        SelectObject(dc, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}

// GDI draws no transparency, so the metafile is played twice, over black and over white: a pixel
// the same in both is the metafile's own, one that went from black to white is background, and
// one between is the metafile's colour partly covering it. Over black, that colour is already
// multiplied by its coverage.
QImage drawTransparent(HENHMETAFILE metafile, QSize size) {
    if (!metafile || size.isEmpty()) return {};
    const QImage overBlack = playOn(metafile, size, RGB(0, 0, 0));
    const QImage overWhite = playOn(metafile, size, RGB(255, 255, 255));
    if (overBlack.isNull() || overWhite.isNull()) return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    for (int y = 0; y < size.height(); ++y) {
        const auto* black = reinterpret_cast<const QRgb*>(overBlack.constScanLine(y));
        const auto* white = reinterpret_cast<const QRgb*>(overWhite.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int shown =
                std::max({qRed(white[x]) - qRed(black[x]), qGreen(white[x]) - qGreen(black[x]),
                          qBlue(white[x]) - qBlue(black[x]), 0});
            const int alpha = 255 - shown;
            out[x] = qRgba(std::min(qRed(black[x]), alpha), std::min(qGreen(black[x]), alpha),
                           std::min(qBlue(black[x]), alpha), alpha);
        }
    }
    return image;
}

} // namespace

QImage drawEnhancedMetafile(std::string_view emf, QSize size) {
    const EnhMetafile metafile(SetEnhMetaFileBits(static_cast<UINT>(emf.size()),
                                                  reinterpret_cast<const BYTE*>(emf.data())));
    return drawTransparent(metafile.get(), size);
}

QImage drawWindowsMetafile(std::string_view records, QSize size) {
    // The placeable box becomes the picture's extent, in hundredths of a millimetre at the
    // 96 pixels per inch the picture is drawn at.
    METAFILEPICT picture{};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = MulDiv(size.width(), 2540, 96);
    picture.yExt = MulDiv(size.height(), 2540, 96);
    HDC screen = GetDC(nullptr);
    const EnhMetafile metafile(SetWinMetaFileBits(static_cast<UINT>(records.size()),
                                                  reinterpret_cast<const BYTE*>(records.data()),
                                                  screen, &picture));
    ReleaseDC(nullptr, screen);
    return drawTransparent(metafile.get(), size);
}

} // namespace zub::gdi
