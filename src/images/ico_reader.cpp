#include "images/ico_reader.h"

#include "images/bmp_reader.h"
#include "images/field_reader.h"
#include "images/qt_image_reading.h"

#include <cstdlib>
#include <optional>

namespace zub {
namespace {

constexpr std::uint64_t kDirectorySize = 6;
constexpr std::uint64_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct Entry {
    int index = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    int directoryWidth = 0;
    int directoryHeight = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitsPerPixel = 0;
    bool png = false;
    // Bitmap entries: where the parts of the image lie.
    std::uint32_t headerSize = 0;
    std::uint64_t colours = 0;
    std::uint64_t xorOffset = 0;
    std::uint64_t xorRowBytes = 0;
    std::uint64_t maskOffset = 0;
    std::uint64_t maskRowBytes = 0;
};

std::uint32_t bigEndian32(const FieldReader& in, std::uint64_t at) {
    return static_cast<std::uint32_t>(in.u8(at)) << 24 | in.u8(at + 1) << 16 | in.u8(at + 2) << 8 |
           in.u8(at + 3);
}

void requireSize(const FieldReader& in, std::int64_t width, std::int64_t height) {
    in.require(width > 0 && height > 0);
    in.require(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
               kMaxPicturePixels);
}

Entry readEntry(const FieldReader& in, int index) {
    const std::uint64_t at = kDirectorySize + kEntrySize * static_cast<std::uint64_t>(index);
    Entry e;
    e.index = index;
    e.directoryWidth = in.u8(at) == 0 ? 256 : in.u8(at);
    e.directoryHeight = in.u8(at + 1) == 0 ? 256 : in.u8(at + 1);
    e.size = in.u32(at + 8);
    e.offset = in.u32(at + 12);
    in.require(e.size > 0 && in.has(e.offset, e.size));

    static constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
    if (e.size >= kPngSignature.size() && in.slice(e.offset, 8) == kPngSignature) {
        // The size is in the PNG header chunk, which must come first.
        in.require(e.size >= 24 && in.slice(e.offset + 12, 4) == "IHDR");
        e.png = true;
        e.width = bigEndian32(in, e.offset + 16);
        e.height = bigEndian32(in, e.offset + 20);
        e.bitsPerPixel = 32;
        requireSize(in, e.width, e.height);
        return e;
    }

    e.headerSize = in.u32(e.offset);
    in.require(e.headerSize == kInfoHeaderSize || e.headerSize == 108 || e.headerSize == 124);
    in.require(e.headerSize <= e.size);
    e.width = in.i32(e.offset + 4);
    // The height counts the colour rows and the mask rows.
    e.height = in.i32(e.offset + 8) / 2;
    e.bitsPerPixel = in.u16(e.offset + 14);
    const int bpp = e.bitsPerPixel;
    in.require(in.u16(e.offset + 12) == 1);
    in.require(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32);
    in.require(in.u32(e.offset + 16) == 0); // uncompressed
    requireSize(in, e.width, e.height);
    if (bpp <= 8) {
        const std::uint32_t used = in.u32(e.offset + 32);
        e.colours = used != 0 ? used : std::uint64_t{1} << bpp;
        in.require(e.colours <= 256);
    }
    const auto w = static_cast<std::uint64_t>(e.width);
    const auto h = static_cast<std::uint64_t>(e.height);
    e.xorRowBytes = (w * bpp + 31) / 32 * 4;
    e.maskRowBytes = (w + 31) / 32 * 4;
    e.xorOffset = e.offset + e.headerSize + 4 * e.colours;
    e.maskOffset = e.xorOffset + e.xorRowBytes * h;
    in.require(e.maskOffset + e.maskRowBytes * h <= e.offset + e.size);
    return e;
}

// The entry to show: the one closest to 32 × 32, the deepest of equally close ones, the first of
// equally deep ones.
const Entry& chooseEntry(const std::vector<Entry>& entries) {
    const Entry* best = &entries.front();
    auto distance = [](const Entry& e) {
        return std::llabs(e.width - 32) + std::llabs(e.height - 32);
    };
    for (const Entry& e : entries) {
        const auto d = distance(e);
        const auto bestDistance = distance(*best);
        if (d < bestDistance || (d == bestDistance && e.bitsPerPixel > best->bitsPerPixel))
            best = &e;
    }
    return *best;
}

bool alphaAllZero(const FieldReader& in, const Entry& e) {
    for (std::int64_t row = 0; row < e.height; ++row) {
        const std::uint64_t line = e.xorOffset + static_cast<std::uint64_t>(row) * e.xorRowBytes;
        for (std::int64_t x = 0; x < e.width; ++x)
            if (in.u8(line + 4 * static_cast<std::uint64_t>(x) + 3) != 0) return false;
    }
    return true;
}

// A bitmap file that holds the colour part of the entry, for the bitmap reader.
std::string colourPartAsBitmapFile(const FieldReader& in, const Entry& e) {
    const std::string_view header = in.slice(e.offset, e.headerSize);
    const std::string_view rest =
        in.slice(e.offset + e.headerSize, e.maskOffset - e.offset - e.headerSize);
    std::string file;
    auto u32 = [&file](std::uint64_t v) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>(v >> (8 * i) & 0xff));
    };
    file += "BM";
    u32(14 + header.size() + rest.size());
    u32(0);
    u32(14 + header.size() + 4 * e.colours);
    file += header;
    // Only the colour rows, without the mask rows that the icon's height counts as well.
    for (int i = 0; i < 4; ++i) file[14 + 8 + i] = static_cast<char>(e.height >> (8 * i) & 0xff);
    file += rest;
    return file;
}

// The colour part through the bitmap reader, and the transparency from the alpha values of a
// 32-bit image that has them, else from the mask, as Windows does.
QImage decodeBitmapEntry(const FieldReader& in, const Entry& e) {
    QImage image;
    try {
        image = decodeBmp(colourPartAsBitmapFile(in, e)).image;
    } catch (const Error&) {
        in.fail();
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return image;
    const bool ownAlpha = e.bitsPerPixel == 32 && !alphaAllZero(in, e);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint64_t row = static_cast<std::uint64_t>(image.height() - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int alpha = 0;
            if (ownAlpha) {
                alpha = in.u8(e.xorOffset + row * e.xorRowBytes +
                              4 * static_cast<std::uint64_t>(x) + 3);
            } else {
                const std::uint8_t bits = in.u8(e.maskOffset + row * e.maskRowBytes + x / 8);
                alpha = (bits >> (7 - x % 8) & 1) != 0 ? 0 : 255;
            }
            line[x] = (line[x] & 0x00ffffffu) | static_cast<QRgb>(alpha) << 24;
        }
    }
    return image;
}

// Qt's icon reader is right for PNG images and for 32-bit bitmaps that carry alpha values and
// agree with the directory about their size. For the others it ignores the mask (Qt 6.4), does
// not read 16 bits, looks for the palette in the wrong place after a longer header, or takes the
// directory's size over the bitmap's own.
bool qtReadsRightly(const FieldReader& in, const Entry& e) {
    return e.png ||
           (e.bitsPerPixel == 32 && e.headerSize == kInfoHeaderSize &&
            e.directoryWidth == e.width && e.directoryHeight == e.height && !alphaAllZero(in, e));
}

} // namespace

Picture readIco(std::string bytes) {
    const FieldReader in(bytes, kIconNotValid);
    in.require(in.has(0, kDirectorySize) && in.u16(0) == 0 && in.u16(2) == 1);
    const int count = in.u16(4);
    in.require(count > 0 && in.has(kDirectorySize, kEntrySize * count));
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) entries.push_back(readEntry(in, i));

    const Entry& e = chooseEntry(entries);
    QImage image =
        qtReadsRightly(in, e) ? readImageWithQt(bytes, "ico", e.index) : decodeBitmapEntry(in, e);
    in.require(!image.isNull() && image.width() == e.width && image.height() == e.height);
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    in.require(!image.isNull());
    return Picture::fromIcon(std::move(image), std::move(bytes));
}

} // namespace zub
