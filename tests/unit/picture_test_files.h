#pragma once

// Picture files built in code for the tests: bitmaps, icons and metafiles with known pixels.

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zub::test {

// Little-endian fields appended to a byte string.
struct Bytes {
    std::string s;
    Bytes& u8(std::uint32_t v) {
        s.push_back(static_cast<char>(v & 0xff));
        return *this;
    }
    Bytes& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    Bytes& i16(std::int32_t v) { return u16(static_cast<std::uint32_t>(v) & 0xffff); }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& raw(std::string_view bytes) {
        s.append(bytes);
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        s.append(n, '\0');
        return *this;
    }
};

void put32(std::string& bytes, std::size_t at, std::uint32_t value);
std::uint32_t get32(std::string_view bytes, std::size_t at);

struct BmpFields {
    int headerSize = 40; // 12, 40, 108 or 124
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows top-down
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<QRgb> palette;
    std::optional<std::uint32_t> coloursUsed; // default: 0 for a full palette, else its size
    std::array<std::uint32_t, 4> masks{};     // red, green, blue, alpha
    std::string pixels;                       // the stored pixel data
    std::optional<std::uint32_t> dataOffset;  // default: right after the palette
};
std::string bmpFile(const BmpFields& fields);

// Pixel rows as stored: each padded with zeros to a multiple of 4 bytes.
std::string paddedRows(const std::vector<std::string>& rows);

// One image of an icon file.
struct IconImage {
    std::string data;
    int directoryWidth = 0; // 256 is written as 0
    int directoryHeight = 0;
    int bitCount = 32;
};
std::string icoFile(const std::vector<IconImage>& images);
// `image` as an icon bitmap at `bitsPerPixel` (palette images through their colour table), with
// the mask set where alpha is below 128. At 32 bits the alpha values are kept unless `noAlpha`.
IconImage dibIcon(const QImage& image, int bitsPerPixel, bool noAlpha = false);
IconImage pngIcon(const QImage& image);

// An enhanced metafile (built with libuemf) of `size` pixels on a 96 dpi reference device, with
// a rectangle of `colour` over `rect` and nothing elsewhere.
std::string emfWithRectangle(QSize size, QRect rect, QRgb colour);
// An enhanced metafile of `size` pixels whose header carries `description`, and no drawing.
std::string emfWithDescription(QSize size, const std::u16string& description);
// An enhanced metafile that writes `text` in `face`, its characters given as glyph indexes of the
// font when `glyphIndexes` is set.
std::string emfWithText(QSize size, const std::u16string& text, const std::u16string& face,
                        bool glyphIndexes);
// Shapes that are costly to draw: one polyline of `points` points, each segment across the whole
// picture; `count` small rectangles.
std::string emfWithPolyline(QSize size, int points);
std::string emfWithRectangles(QSize size, int count);
// An enhanced metafile of `size` that draws `image` over it from a 24-bit bitmap (StretchDIBits)
// whose header claims to be `headerSize` bytes long (40 is right).
std::string emfWithBitmap(QSize size, const QImage& image, std::uint32_t headerSize = 40);
// What a charting program copies from a 4K screen: 3840 × 2160, a screenshot-size bitmap behind
// bars, forty plotted series of 5,000 points and 600 labels, 8,000 records in all.
std::string emfFullScreen4k();
// A placeable Windows metafile of `size` units at `unitsPerInch`, likewise.
std::string wmfWithRectangle(QSize size, int unitsPerInch, QRect rect, QRgb colour);
// A drawing as an office program writes one: pens and brushes made, selected and deleted around
// each polygon and its label, `records` records in all.
std::string wmfDrawing(int records);
// A Windows metafile of `size` pixels with `count` rectangles of `each`.
std::string wmfWithRectangles(QSize size, int count, QSize each = {20, 10});
// A Windows metafile of `size` pixels that draws `image` over it from a 24-bit device-independent
// bitmap whose header claims to be `headerSize` bytes long (40 is right).
std::string wmfWithBitmap(QSize size, const QImage& image, std::uint32_t headerSize = 40);
// A Windows metafile that writes `text` at (x, y).
std::string wmfWithText(QSize size, const std::string& text);

// The placeable header's checksum over its first ten words.
std::uint16_t placeableChecksum(std::string_view file);

} // namespace zub::test
