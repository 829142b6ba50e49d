#include "images/bmp_reader.h"

#include "images/field_reader.h"
#include "images/qt_image_reading.h"
#include "images/rle_decoder.h"
#include "platform/memory.h"

#include <QtEndian>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace zub {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

// Where everything lies in the file, after checking that it is there.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows, whichever their order
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    bool coreHeader = false;
    std::uint64_t paletteOffset = 0;
    std::uint64_t colours = 0;
    std::uint64_t dataOffset = 0;
};

Layout readLayout(const FieldReader& in) {
    in.require(in.has(0, kFileHeaderSize + 4) && in.u8(0) == 'B' && in.u8(1) == 'M');
    const std::uint32_t headerSize = in.u32(kFileHeaderSize);
    in.require(headerSize == kCoreHeaderSize || headerSize == kInfoHeaderSize ||
               headerSize == 108 || headerSize == 124);
    in.require(in.has(kFileHeaderSize, headerSize));

    Layout l;
    std::uint32_t planes = 0;
    std::uint32_t coloursUsed = 0;
    const std::uint64_t h = kFileHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        l.coreHeader = true;
        l.width = in.u16(h + 4);
        l.height = in.u16(h + 6);
        planes = in.u16(h + 8);
        l.bitsPerPixel = in.u16(h + 10);
    } else {
        l.width = in.i32(h + 4);
        const std::int64_t height = in.i32(h + 8);
        l.topDown = height < 0;
        l.height = height < 0 ? -height : height;
        planes = in.u16(h + 12);
        l.bitsPerPixel = in.u16(h + 14);
        l.compression = in.u32(h + 16);
        coloursUsed = in.u32(h + 32);
    }
    const int bpp = l.bitsPerPixel;
    in.require(planes == 1);
    in.require(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32);
    in.require(l.compression == kRgb || (l.compression == kRle8 && bpp == 8) ||
               (l.compression == kRle4 && bpp == 4) ||
               (l.compression == kBitFields && (bpp == 16 || bpp == 32)));
    in.require(l.width > 0 && l.height > 0);
    in.require(static_cast<std::uint64_t>(l.width) * static_cast<std::uint64_t>(l.height) <=
               kMaxPicturePixels);
    // Compressed rows are always stored bottom-up.
    in.require(!(l.topDown && (l.compression == kRle4 || l.compression == kRle8)));

    std::uint64_t next = kFileHeaderSize + headerSize;
    // An info header is followed by its three colour masks; the later headers hold them.
    if (l.compression == kBitFields && headerSize == kInfoHeaderSize) {
        in.require(in.has(next, 12));
        next += 12;
    }
    if (bpp <= 8) {
        l.colours = coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bpp;
        in.require(l.colours <= 256);
        const std::uint64_t paletteBytes = l.colours * (l.coreHeader ? 3 : 4);
        in.require(in.has(next, paletteBytes));
        l.paletteOffset = next;
        next += paletteBytes;
    }
    // The pixels start where the file header says, unless that points back into the headers.
    const std::uint64_t declared = in.u32(10);
    l.dataOffset = declared > next ? declared : next;

    if (l.compression == kRgb || l.compression == kBitFields) {
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(l.width) * bpp + 31) / 32 * 4;
        in.require(in.has(l.dataOffset, rowBytes * static_cast<std::uint64_t>(l.height)));
    } else {
        in.require(l.dataOffset <= in.size());
    }
    return l;
}

QList<QRgb> readPalette(const FieldReader& in, const Layout& l) {
    QList<QRgb> palette;
    const int entry = l.coreHeader ? 3 : 4;
    for (std::uint64_t i = 0; i < l.colours; ++i) {
        const std::uint64_t at = l.paletteOffset + i * entry;
        palette.append(qRgb(in.u8(at + 2), in.u8(at + 1), in.u8(at)));
    }
    return palette;
}

// Monochrome rows straight into a Format_Mono image, whose bits are in the same order. (Qt's
// reader swaps the two colours of a palette whose first colour is the lighter, which would save
// back a different file.)
QImage decodeMonochrome(const FieldReader& in, const Layout& l, QList<QRgb> palette) {
    QImage image(static_cast<int>(l.width), static_cast<int>(l.height), QImage::Format_Mono);
    if (image.isNull()) return image;
    palette.resize(2, qRgb(0, 0, 0));
    image.setColorTable(palette);
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(l.width) + 31) / 32 * 4;
    const std::size_t copy = std::min<std::size_t>(rowBytes, image.bytesPerLine());
    for (std::int64_t row = 0; row < l.height; ++row) {
        const std::string_view source = in.slice(l.dataOffset + row * rowBytes, rowBytes);
        const int y = static_cast<int>(l.topDown ? row : l.height - 1 - row);
        std::memcpy(image.scanLine(y), source.data(), copy);
    }
    return image;
}

// An RGB32 image whose memory the system may give in huge pages: a large picture then costs a
// few page faults instead of one per 4 KiB, which is most of the time of opening it.
QImage largeImage(int width, int height) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const std::size_t bytes =
        static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(height);
    if (bytes < kHugePage) return QImage(width, height, QImage::Format_RGB32);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = ::operator new (rounded, std::align_val_t{kHugePage}, std::nothrow);
    if (!memory) return {};
    adviseHugePages(memory, rounded);
    return QImage(
        static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(width) * 4,
        QImage::Format_RGB32, [](void* p) { ::operator delete (p, std::align_val_t{kHugePage}); },
        memory);
}

// One row of blue-green-red pixels, `Stride` bytes apart, as opaque RGB32. In memory a pixel's
// three bytes are already in RGB32's order, so four 24-bit pixels come from three 32-bit loads.
template <int Stride> void convertRow(const unsigned char* source, QRgb* line, int width) {
    int x = 0;
    if constexpr (Stride == 3) {
        auto load = [](const unsigned char* p) {
            std::uint32_t v;
            std::memcpy(&v, p, sizeof v);
            return qFromLittleEndian(v);
        };
        for (; x + 4 <= width; x += 4, source += 12) {
            const std::uint32_t a = load(source);
            const std::uint32_t b = load(source + 4);
            const std::uint32_t c = load(source + 8);
            line[x] = 0xff000000u | (a & 0xffffffu);
            line[x + 1] = 0xff000000u | a >> 24 | (b & 0xffffu) << 8;
            line[x + 2] = 0xff000000u | b >> 16 | (c & 0xffu) << 16;
            line[x + 3] = 0xff000000u | c >> 8;
        }
    }
    for (; x < width; ++x, source += Stride)
        line[x] = 0xff000000u | static_cast<QRgb>(source[2]) << 16 |
                  static_cast<QRgb>(source[1]) << 8 | source[0];
}

// Uncompressed 24- and 32-bit rows, the bulk of large bitmaps, straight into RGB32: Qt's reader
// runs every pixel through its general bit-field conversion, several times slower.
QImage decodeTrueColour(const FieldReader& in, const Layout& l) {
    const int width = static_cast<int>(l.width);
    QImage image = largeImage(width, static_cast<int>(l.height));
    if (image.isNull()) return image;
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(l.width) * l.bitsPerPixel + 31) / 32 * 4;
    const std::string_view data =
        in.slice(l.dataOffset, rowBytes * static_cast<std::uint64_t>(l.height));
    for (std::int64_t row = 0; row < l.height; ++row) {
        const auto* source = reinterpret_cast<const unsigned char*>(data.data() + row * rowBytes);
        auto* line = reinterpret_cast<QRgb*>(
            image.scanLine(static_cast<int>(l.topDown ? row : l.height - 1 - row)));
        if (l.bitsPerPixel == 24)
            convertRow<3>(source, line, width);
        else
            convertRow<4>(source, line, width);
    }
    return image;
}

} // namespace

DecodedBitmap decodeBmp(std::string_view bytes) {
    const FieldReader in(bytes, kBitmapNotValid);
    const Layout l = readLayout(in);
    const QList<QRgb> palette = readPalette(in, l);

    QImage image;
    if (l.bitsPerPixel == 1) {
        image = decodeMonochrome(in, l, palette);
    } else if (l.compression == kRgb && l.bitsPerPixel >= 24) {
        image = decodeTrueColour(in, l);
    } else if (l.compression == kRle4 || l.compression == kRle8) {
        // Qt's decoder leaves the pixels that the codes skip undefined.
        image = decodeRle(bytes.substr(l.dataOffset), static_cast<int>(l.width),
                          static_cast<int>(l.height), l.bitsPerPixel);
        if (!image.isNull()) image.setColorTable(palette);
    } else {
        image = readImageWithQt(bytes, "bmp");
    }
    in.require(!image.isNull() && image.width() == l.width && image.height() == l.height);
    return {bitmapPixels(std::move(image), l.bitsPerPixel), l.bitsPerPixel};
}

Picture readBmp(std::string_view bytes) {
    DecodedBitmap bitmap = decodeBmp(bytes);
    return Picture::fromBitmap(std::move(bitmap.image), bitmap.bitsPerPixel);
}

} // namespace zub
