#include "images/emf_reader.h"

#include "images/field_reader.h"
#include "images/metafile_budget.h"
#include "images/metafile_drawing.h"
#include "images/metafile_size.h"

namespace zub {
namespace {

constexpr std::uint32_t kHeaderRecord = 1;
constexpr std::uint32_t kEndOfFileRecord = 14;
constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kExtTextOutA = 83;
constexpr std::uint32_t kExtTextOutW = 84;
constexpr std::uint32_t kMinHeaderSize = 88;
// From this size on, the header tells where an OpenGL pixel format lies.
constexpr std::uint32_t kPixelFormatHeaderSize = 100;

// Where a record that carries a bitmap keeps the fields that find it: the colour usage, then the
// offsets and sizes of the header with its colours and of the pixels, relative to the record.
struct BitmapFields {
    std::uint32_t type;
    std::uint64_t usage;
    std::uint64_t header; // offBmi; cbBmi, offBits and cbBits follow
};
constexpr BitmapFields kBitmapRecords[] = {
    {76, 80, 84},   // BitBlt
    {77, 80, 84},   // StretchBlt
    {78, 80, 84},   // MaskBlt: the source...
    {78, 108, 112}, // ...and the mask
    {79, 92, 96},   // PlgBlt: the source...
    {79, 120, 124}, // ...and the mask
    {80, 64, 48},   // SetDIBitsToDevice
    {81, 64, 48},   // StretchDIBits
    {93, 12, 16},   // CreateMonoBrush
    {94, 12, 16},   // CreateDIBPatternBrushPt
    {95, 0, 12},    // ExtCreatePen (its pattern's colours are colours)
    {114, 80, 84},  // AlphaBlend
    {116, 80, 84},  // TransparentBlt
};

// What one record costs: its points, characters and bitmaps.
void countCosts(const FieldReader& in, MetafileBudget& budget, std::uint64_t at, std::uint32_t type,
                std::uint64_t size) {
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:  // PolyBezier, Polygon, Polyline and the -To's
    case 56: // PolyDraw
    case 85:
    case 86:
    case 87:
    case 88:
    case 89: // the same with 16-bit points
    case 92:
        budget.countPoints(in.u32(at + 24));
        break;
    case 7:
    case 8:
    case 90:
    case 91: // PolyPolyline, PolyPolygon, 32- and 16-bit
        budget.countPoints(in.u32(at + 28));
        break;
    case kExtTextOutA:
    case kExtTextOutW:
        budget.countPoints(in.u32(at + 44));
        break;
    case 108: // SmallTextOut
        budget.countPoints(in.u32(at + 16));
        break;
    case 118: // GradientFill: vertices and shapes
        budget.countPoints(std::uint64_t{in.u32(at + 24)} + in.u32(at + 28));
        break;
    default:
        break;
    }
    for (const BitmapFields& fields : kBitmapRecords) {
        if (fields.type != type) continue;
        const std::uint64_t infoAt = in.u32(at + fields.header);
        const std::uint64_t infoBytes = in.u32(at + fields.header + 4);
        const std::uint64_t bitsAt = in.u32(at + fields.header + 8);
        const std::uint64_t bitsBytes = in.u32(at + fields.header + 12);
        if (infoBytes == 0) continue; // drawn with no bitmap (a pattern fill)
        in.require(infoAt + infoBytes <= size && bitsAt + bitsBytes <= size);
        const bool paletteIndexes = fields.usage != 0 && in.u32(at + fields.usage) == 1;
        budget.checkBitmap(in.slice(at + infoAt, infoBytes), in.slice(at + bitsAt, bitsBytes),
                           paletteIndexes);
    }
}

// Every record lies inside the file, passes the drawing's own check of its fields and fits
// the budget, and the last one ends the metafile. Returns the metafile's length.
std::uint64_t checkRecords(const FieldReader& in) {
    const std::uint64_t declared = in.u32(48);
    in.require(declared <= in.size());
    MetafileBudget budget(in);
    std::uint64_t at = 0;
    for (;;) {
        in.require(in.has(at, 8) && at + 8 <= declared);
        const std::uint32_t type = in.u32(at);
        const std::uint64_t size = in.u32(at + 4);
        in.require(size >= 8 && size % 4 == 0 && at + size <= declared);
        in.require(emfRecordIsDrawable(in.bytes().data() + at));
        budget.countRecord();
        countCosts(in, budget, at, type, size);
        at += size;
        if (type == kEndOfFileRecord) return at;
    }
}

// The header's description and pixel format, where present, lie inside the header record.
void checkHeaderParts(const FieldReader& in, std::uint64_t headerSize) {
    const std::uint64_t characters = in.u32(60);
    const std::uint64_t description = in.u32(64);
    if (characters > 0)
        in.require(description >= kMinHeaderSize && description + 2 * characters <= headerSize);
    if (headerSize >= kPixelFormatHeaderSize) {
        const std::uint64_t formatBytes = in.u32(88);
        const std::uint64_t format = in.u32(92);
        if (formatBytes > 0)
            in.require(format >= kPixelFormatHeaderSize && format + formatBytes <= headerSize);
    }
}

MetafilePixels pictureSize(const FieldReader& in) {
    // The frame, in hundredths of a millimetre, on the reference device of the metafile.
    const double frameWidth = static_cast<double>(in.i32(32)) - in.i32(24);
    const double frameHeight = static_cast<double>(in.i32(36)) - in.i32(28);
    const double devicePixelsX = in.i32(72);
    const double devicePixelsY = in.i32(76);
    const double deviceMillimetresX = in.i32(80);
    const double deviceMillimetresY = in.i32(84);
    if (devicePixelsX > 0 && devicePixelsY > 0 && deviceMillimetresX > 0 && deviceMillimetresY > 0)
        return metafilePixels(in, frameWidth * devicePixelsX / (deviceMillimetresX * 100),
                              frameHeight * devicePixelsY / (deviceMillimetresY * 100));
    return metafilePixels(in, frameWidth * 96 / 2540, frameHeight * 96 / 2540);
}

} // namespace

static_assert(kMinHeaderSize == 88 && kHeaderRecord == 1 && kSignature == 0x464D4520,
              "looksLikeEmf() in picture_files.cpp checks the same header");

Picture readEmf(std::string bytes) {
    const FieldReader in(bytes, kMetafileNotValid);
    in.require(looksLikeEmf(bytes));
    const std::uint64_t headerSize = in.u32(4);
    in.require(headerSize >= kMinHeaderSize && in.has(0, headerSize));
    checkHeaderParts(in, headerSize);
    const std::uint64_t length = checkRecords(in);
    const MetafilePixels size = renderPixels(pictureSize(in));

    QImage image = drawEmf(bytes.substr(0, length), headerSize, size);
    in.require(!image.isNull());
    return Picture::fromMetafile(PictureFormat::Emf, std::move(image), std::move(bytes));
}

} // namespace zub
