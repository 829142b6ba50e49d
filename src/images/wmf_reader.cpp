#include "images/wmf_reader.h"

#include "images/bmp_reader.h"
#include "images/field_reader.h"
#include "images/metafile_budget.h"
#include "images/metafile_drawing.h"
#include "images/metafile_size.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace zub {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint64_t kPlaceableSize = 22;
constexpr std::uint64_t kHeaderSize = 18;
constexpr std::uint16_t kEndOfFileFunction = 0;
constexpr std::uint16_t kWindowOriginFunction = 0x020B;
constexpr std::uint16_t kWindowExtentFunction = 0x020C;
constexpr std::uint16_t kStretchDibFunction = 0x0F43;
constexpr std::uint32_t kSourceCopy = 0x00CC0020;

void checkPlaceableHeader(const FieldReader& in) {
    in.require(in.has(0, kPlaceableSize + kHeaderSize) && in.u32(0) == kPlaceableKey);
    std::uint16_t checksum = 0;
    for (std::uint64_t word = 0; word < 10; ++word) checksum ^= in.u16(2 * word);
    in.require(checksum == in.u16(20));
    in.require(in.u16(14) != 0); // units per inch
}

struct RecordChain {
    std::uint64_t length = 0;       // up to and with the end record
    std::uint32_t longestWords = 0; // the longest record, in 16-bit words
};

// Where the device-independent bitmap of a record starts, for the records that carry one, and
// where its colour usage is (0: colours); 0 when the record carries none.
struct BitmapPlace {
    std::uint64_t bitmap = 0;
    std::uint64_t usage = 0;
};
BitmapPlace bitmapPlace(std::uint16_t function, std::uint32_t words) {
    switch (function) {
    case 0x0940: // DIBBitBlt, when longer than its form without a bitmap
        return {words > 12 ? 22u : 0u, 0};
    case 0x0B41: // DIBStretchBlt, likewise
        return {words > 14 ? 26u : 0u, 0};
    case 0x0F43: // StretchDIB
        return {28, 10};
    case 0x0D33: // SetDIBToDev
        return {24, 6};
    case 0x0142: // DIBCreatePatternBrush
        return {10, 8};
    default:
        return {};
    }
}

// What one record costs: its points, characters and bitmap.
void countCosts(const FieldReader& in, MetafileBudget& budget, std::uint64_t at,
                std::uint32_t words, std::uint16_t function) {
    const std::uint64_t end = at + 2 * std::uint64_t{words};
    switch (function) {
    case 0x0324:   // Polygon
    case 0x0325: { // Polyline
        const std::uint64_t points = in.u16(at + 6);
        in.require(at + 8 + 4 * points <= end);
        budget.countPoints(points);
        break;
    }
    case 0x0521: { // TextOut: the characters, padded to a word, then where
        const std::uint64_t characters = in.u16(at + 6);
        in.require(at + 8 + (characters + 1) / 2 * 2 + 4 <= end);
        budget.countPoints(characters);
        break;
    }
    case 0x0A32: { // ExtTextOut
        const std::uint64_t characters = in.u16(at + 10);
        in.require(at + 14 + characters <= end);
        budget.countPoints(characters);
        break;
    }
    case 0x0538: { // PolyPolygon: the number of polygons, the points of each, then the points
        const std::uint64_t polygons = in.u16(at + 6);
        in.require(at + 8 + 2 * polygons <= end);
        std::uint64_t points = 0;
        for (std::uint64_t i = 0; i < polygons; ++i) points += in.u16(at + 8 + 2 * i);
        in.require(at + 8 + 2 * polygons + 4 * points <= end);
        budget.countPoints(points);
        break;
    }
    default:
        break;
    }
    const BitmapPlace place = bitmapPlace(function, words);
    if (place.bitmap == 0) return;
    in.require(at + place.bitmap < end);
    const bool paletteIndexes = place.usage != 0 && in.u16(at + place.usage) == 1;
    budget.checkBitmap(in.slice(at + place.bitmap, end - at - place.bitmap), {}, paletteIndexes);
}

// The metafile header and the chain of records, each within the budget.
RecordChain checkRecords(const FieldReader& in) {
    const std::uint64_t h = kPlaceableSize;
    const std::uint16_t type = in.u16(h);
    const std::uint16_t version = in.u16(h + 4);
    in.require((type == 1 || type == 2) && in.u16(h + 2) == kHeaderSize / 2);
    in.require(version == 0x0100 || version == 0x0300);
    RecordChain chain;
    MetafileBudget budget(in);
    std::uint64_t at = h + kHeaderSize;
    for (;;) {
        const std::uint32_t words = in.u32(at);
        const std::uint16_t function = in.u16(at + 4);
        in.require(words >= 3 && in.has(at, 2 * std::uint64_t{words}));
        budget.countRecord();
        countCosts(in, budget, at, words, function);
        chain.longestWords = std::max(chain.longestWords, words);
        at += 2 * std::uint64_t{words};
        if (function == kEndOfFileFunction) {
            chain.length = at;
            return chain;
        }
    }
}

void put32(std::string& bytes, std::uint64_t at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

// The picture of a metafile that is one 32-bit bitmap with alpha drawn whole, as
// encodeWmfWithBitmap writes it, and nothing else; nothing for any other metafile. libwmf would
// draw that bitmap without its alpha, on white.
std::optional<QImage> alphaBitmapOnly(const FieldReader& in, std::uint64_t end) {
    std::uint64_t record = 0;
    for (std::uint64_t at = kPlaceableSize + kHeaderSize; at < end;
         at += 2 * std::uint64_t{in.u32(at)}) {
        const std::uint16_t function = in.u16(at + 4);
        if (function == kStretchDibFunction && record == 0)
            record = at;
        else if (function != kWindowOriginFunction && function != kWindowExtentFunction &&
                 function != kEndOfFileFunction)
            return std::nullopt;
    }
    if (record == 0 || !in.has(record, 28 + 56)) return std::nullopt;
    const std::uint64_t dib = record + 28;
    const std::uint32_t headerSize = in.u32(dib);
    const std::int32_t width = in.i32(dib + 4);
    const std::int32_t height = in.i32(dib + 8);
    const bool ours = in.u32(record + 6) == kSourceCopy &&
                      (headerSize == 108 || headerSize == 124) && in.u16(dib + 14) == 32 &&
                      in.u32(dib + 16) == 3 && in.u32(dib + 32) == 0 &&
                      in.u32(dib + 40) == 0x00FF0000 && in.u32(dib + 44) == 0x0000FF00 &&
                      in.u32(dib + 48) == 0x000000FF && in.u32(dib + 52) == 0xFF000000;
    if (!ours || width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
    const auto columns = static_cast<std::uint32_t>(width);
    const auto rows = static_cast<std::uint32_t>(std::abs(height));
    // The whole bitmap, from its corner.
    if (in.u16(record + 12) != rows || in.u16(record + 14) != columns || in.u16(record + 16) != 0 ||
        in.u16(record + 18) != 0)
        return std::nullopt;

    // The colours through the bitmap reader, then the alpha from the same rows.
    const std::uint64_t dibSize = 2 * std::uint64_t{in.u32(record)} - 28;
    in.require(std::uint64_t{4} * columns * rows <= dibSize - headerSize);
    std::string file = "BM";
    file.resize(14);
    put32(file, 2, 14 + dibSize);
    put32(file, 10, 14 + headerSize);
    file.append(in.slice(dib, dibSize));
    QImage colours;
    try {
        colours = decodeBmp(file).image;
    } catch (const Error&) {
        in.fail();
    }
    QImage picture(colours.size(), QImage::Format_ARGB32_Premultiplied);
    in.require(!picture.isNull());
    for (std::uint32_t y = 0; y < rows; ++y) {
        const std::uint64_t stored =
            dib + headerSize + std::uint64_t{4} * columns * (height > 0 ? rows - 1 - y : y);
        const auto* colourRow = reinterpret_cast<const QRgb*>(colours.constScanLine(int(y)));
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(int(y)));
        for (std::uint32_t x = 0; x < columns; ++x) {
            const int alpha = in.u8(stored + 4 * std::uint64_t{x} + 3);
            const int behind = 255 - alpha;
            const QRgb c = colourRow[x];
            row[x] = qRgba(std::clamp(qRed(c) - behind, 0, alpha),
                           std::clamp(qGreen(c) - behind, 0, alpha),
                           std::clamp(qBlue(c) - behind, 0, alpha), alpha);
        }
    }
    return picture;
}

} // namespace

Picture readWmf(std::string bytes) {
    const FieldReader in(bytes, kMetafileNotValid);
    checkPlaceableHeader(in);
    const RecordChain chain = checkRecords(in);
    // The box in inches: the placeable header's corners in units of which `unitsPerInch` make one.
    const double unitsPerInch = in.u16(14);
    const double inchesWide = std::fabs(static_cast<double>(in.i16(10)) - in.i16(6)) / unitsPerInch;
    const double inchesHigh = std::fabs(static_cast<double>(in.i16(12)) - in.i16(8)) / unitsPerInch;
    const MetafilePixels size = renderPixels(metafilePixels(in, inchesWide * 96, inchesHigh * 96));

    if (std::optional<QImage> picture = alphaBitmapOnly(in, chain.length)) {
        if (picture->size() != QSize(size.width, size.height))
            *picture = picture->scaled(size.width, size.height, Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation);
        in.require(!picture->isNull());
        return Picture::fromMetafile(PictureFormat::Wmf, std::move(*picture), std::move(bytes));
    }
    // The drawing gets a copy of the metafile up to its end record, whose header tells the true
    // size and longest record: libwmf allocates what they say.
    std::string metafile = bytes.substr(0, chain.length);
    put32(metafile, kPlaceableSize + 6, (chain.length - kPlaceableSize) / 2);
    put32(metafile, kPlaceableSize + 12, chain.longestWords);
    QImage image = drawWmf(std::move(metafile), size, QSizeF(inchesWide * 72, inchesHigh * 72));
    in.require(!image.isNull());
    return Picture::fromMetafile(PictureFormat::Wmf, std::move(image), std::move(bytes));
}

} // namespace zub
