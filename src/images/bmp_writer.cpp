#include "images/bmp_writer.h"

#include "images/picture.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace zub {
namespace {

// 96 dots per inch, in dots per metre.
constexpr std::uint32_t kPixelsPerMetre = 3780;

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(char* out) : m_out(out) {}
    void u8(std::uint32_t value) { *m_out++ = static_cast<char>(value & 0xff); }
    void u16(std::uint32_t value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value & 0xffff);
        u16(value >> 16);
    }
    char* position() const { return m_out; }

private:
    char* m_out;
};

// The palette a paletted image is written with: its own, cut to what the depth can index.
QList<QRgb> paletteFor(const QImage& image, int depth) {
    QList<QRgb> palette = image.colorTable();
    const qsizetype most = qsizetype{1} << depth;
    if (palette.size() > most) palette.resize(most);
    if (palette.isEmpty()) {
        for (qsizetype i = 0; i < most; ++i) {
            const int grey = static_cast<int>(i * 255 / (most - 1));
            palette.append(qRgb(grey, grey, grey));
        }
    }
    return palette;
}

void writeRow(const QImage& image, int y, int depth, char* out) {
    const uchar* in = image.constScanLine(y);
    const int width = image.width();
    switch (depth) {
    case 1:
        std::memcpy(out, in, (static_cast<std::size_t>(width) + 7) / 8);
        break;
    case 4:
        for (int x = 0; x < width; x += 2) {
            const int high = in[x] & 0x0f;
            const int low = x + 1 < width ? in[x + 1] & 0x0f : 0;
            out[x / 2] = static_cast<char>(high << 4 | low);
        }
        break;
    case 8:
        std::memcpy(out, in, static_cast<std::size_t>(width));
        break;
    default: {
        const auto* pixels = reinterpret_cast<const QRgb*>(in);
        LittleEndianWriter w(out);
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixels[x];
            if (depth == 16) {
                w.u16(static_cast<std::uint32_t>(qRed(p) >> 3 << 10 | qGreen(p) >> 3 << 5 |
                                                 qBlue(p) >> 3));
                continue;
            }
            w.u8(qBlue(p));
            w.u8(qGreen(p));
            w.u8(qRed(p));
            if (depth == 32) w.u8(0);
        }
    }
    }
}

} // namespace

std::string encodeBmp(const QImage& source, int bitsPerPixel) {
    const int depth = standardBitmapDepth(bitsPerPixel);
    const QImage image = bitmapPixels(source, depth);
    if (image.isNull()) throw std::invalid_argument("encodeBmp: no picture");

    const QList<QRgb> palette = depth <= 8 ? paletteFor(image, depth) : QList<QRgb>();
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(image.width()) * depth + 31) / 32 * 4;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(image.height());
    const std::uint64_t dataOffset = 14 + 40 + 4 * static_cast<std::uint64_t>(palette.size());
    const std::uint64_t fileSize = dataOffset + pixelBytes;
    if (fileSize > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("encodeBmp: picture too large for a bitmap file");

    std::string bytes(fileSize, '\0');
    LittleEndianWriter w(bytes.data());
    w.u8('B');
    w.u8('M');
    w.u32(static_cast<std::uint32_t>(fileSize));
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(dataOffset));

    w.u32(40);
    w.u32(static_cast<std::uint32_t>(image.width()));
    w.u32(static_cast<std::uint32_t>(image.height()));
    w.u16(1);
    w.u16(static_cast<std::uint32_t>(depth));
    w.u32(0); // uncompressed
    w.u32(static_cast<std::uint32_t>(pixelBytes));
    w.u32(kPixelsPerMetre);
    w.u32(kPixelsPerMetre);
    // 0 means a full palette, as most writers put it.
    const bool fullPalette = depth <= 8 && palette.size() == (qsizetype{1} << depth);
    w.u32(fullPalette ? 0 : static_cast<std::uint32_t>(palette.size()));
    w.u32(0);
    for (const QRgb colour : palette) {
        w.u8(qBlue(colour));
        w.u8(qGreen(colour));
        w.u8(qRed(colour));
        w.u8(0);
    }

    char* pixels = bytes.data() + dataOffset;
    for (int y = image.height() - 1; y >= 0; --y) {
        writeRow(image, y, depth, pixels);
        pixels += rowBytes;
    }
    return bytes;
}

} // namespace zub
