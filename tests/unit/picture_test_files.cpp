#include "picture_test_files.h"

#include <QBuffer>

// The EMF files are made with libuemf, a Linux library; the Windows tests make none.
#if __has_include(<uemf.h>)
#define ZUB_TEST_EMF_FILES
#include <uemf.h>
#endif

#include <cstdlib>

namespace zub::test {

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

std::uint32_t get32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

std::string paddedRows(const std::vector<std::string>& rows) {
    std::string out;
    for (const std::string& row : rows) {
        out += row;
        out.append((4 - row.size() % 4) % 4, '\0');
    }
    return out;
}

std::string bmpFile(const BmpFields& fields) {
    Bytes header;
    const bool core = fields.headerSize == 12;
    header.u32(static_cast<std::uint32_t>(fields.headerSize));
    if (core) {
        header.u16(static_cast<std::uint32_t>(fields.width))
            .u16(static_cast<std::uint32_t>(fields.height))
            .u16(1)
            .u16(static_cast<std::uint32_t>(fields.bitsPerPixel));
    } else {
        const bool full = fields.palette.size() == (std::size_t{1} << fields.bitsPerPixel);
        header.i32(fields.width)
            .i32(fields.height)
            .u16(1)
            .u16(static_cast<std::uint32_t>(fields.bitsPerPixel))
            .u32(fields.compression)
            .u32(static_cast<std::uint32_t>(fields.pixels.size()))
            .u32(3780)
            .u32(3780)
            .u32(fields.coloursUsed.value_or(
                full ? 0 : static_cast<std::uint32_t>(fields.palette.size())))
            .u32(0);
        if (fields.headerSize >= 108) {
            for (std::uint32_t m : fields.masks) header.u32(m);
            header.u32(0x73524742); // 'sRGB'
            header.zeros(fields.headerSize - header.s.size());
        } else if (fields.compression == 3) {
            header.u32(fields.masks[0]).u32(fields.masks[1]).u32(fields.masks[2]);
        }
    }
    for (QRgb c : fields.palette) {
        header.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
        if (!core) header.u8(0);
    }
    const std::uint32_t offset =
        fields.dataOffset.value_or(static_cast<std::uint32_t>(14 + header.s.size()));
    Bytes file;
    file.raw("BM")
        .u32(static_cast<std::uint32_t>(offset + fields.pixels.size()))
        .u32(0)
        .u32(offset);
    file.raw(header.s);
    if (file.s.size() < offset) file.zeros(offset - file.s.size());
    file.raw(fields.pixels);
    return file.s;
}

std::string icoFile(const std::vector<IconImage>& images) {
    Bytes file;
    file.u16(0).u16(1).u16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        file.u8(image.directoryWidth == 256 ? 0 : static_cast<std::uint32_t>(image.directoryWidth))
            .u8(image.directoryHeight == 256 ? 0
                                             : static_cast<std::uint32_t>(image.directoryHeight))
            .u8(0)
            .u8(0)
            .u16(1)
            .u16(static_cast<std::uint32_t>(image.bitCount))
            .u32(static_cast<std::uint32_t>(image.data.size()))
            .u32(offset);
        offset += static_cast<std::uint32_t>(image.data.size());
    }
    for (const IconImage& image : images) file.raw(image.data);
    return file.s;
}

IconImage dibIcon(const QImage& source, int bpp, bool noAlpha) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    const QImage indexed = bpp <= 8 ? source : QImage();
    const int w = argb.width();
    const int h = argb.height();
    const QList<QRgb> palette = bpp <= 8 ? indexed.colorTable() : QList<QRgb>();
    Bytes d;
    d.u32(40)
        .i32(w)
        .i32(2 * h)
        .u16(1)
        .u16(static_cast<std::uint32_t>(bpp))
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0);
    d.u32(static_cast<std::uint32_t>(palette.size())).u32(0);
    for (QRgb c : palette) d.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
    std::vector<std::string> colour;
    std::vector<std::string> mask;
    for (int y = h - 1; y >= 0; --y) {
        Bytes row;
        std::string bits((w + 7) / 8, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb p = argb.pixel(x, y);
            if (qAlpha(p) < 128) bits[x / 8] = static_cast<char>(bits[x / 8] | 0x80 >> (x % 8));
            switch (bpp) {
            case 32:
                row.u8(qBlue(p)).u8(qGreen(p)).u8(qRed(p)).u8(noAlpha ? 0 : qAlpha(p));
                break;
            case 24:
                row.u8(qBlue(p)).u8(qGreen(p)).u8(qRed(p));
                break;
            case 16:
                row.u16(static_cast<std::uint32_t>(qRed(p) >> 3 << 10 | qGreen(p) >> 3 << 5 |
                                                   qBlue(p) >> 3));
                break;
            case 8:
                row.u8(static_cast<std::uint32_t>(indexed.pixelIndex(x, y)));
                break;
            case 4:
                if (x % 2 == 0)
                    row.u8(static_cast<std::uint32_t>(indexed.pixelIndex(x, y) << 4));
                else
                    row.s.back() = static_cast<char>(row.s.back() | indexed.pixelIndex(x, y));
                break;
            case 1:
                if (x % 8 == 0) row.u8(0);
                if (indexed.pixelIndex(x, y))
                    row.s.back() = static_cast<char>(row.s.back() | 0x80 >> (x % 8));
                break;
            }
        }
        colour.push_back(row.s);
        mask.push_back(bits);
    }
    d.raw(paddedRows(colour)).raw(paddedRows(mask));
    return {d.s, w, h, bpp};
}

IconImage pngIcon(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {png.toStdString(), image.width(), image.height(), 32};
}

#ifdef ZUB_TEST_EMF_FILES
namespace {

// Appends a record made by libuemf and frees it.
void append(std::string& file, char* record, int& records) {
    const std::uint32_t size = get32(std::string_view(record, 8), 4);
    file.append(record, size);
    std::free(record);
    ++records;
}

} // namespace

std::string emfWithRectangle(QSize size, QRect rect, QRgb colour) {
    // A reference device of 960 × 960 pixels on 254 × 254 millimetres: 96 pixels per inch.
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(size.width() - 1, size.height() - 1));
    const U_RECTL frame = rectl_set(
        pointl_set(0, 0), pointl_set(size.width() * 2540 / 96, size.height() * 2540 / 96));
    std::string file;
    int records = 0;
    append(file,
           U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(960, 960),
                           sizel_set(254, 254), 0),
           records);
    append(file, U_EMRSELECTOBJECT_set(U_NULL_PEN), records);
    const U_LOGBRUSH brush =
        logbrush_set(U_BS_SOLID, colorref3_set(qRed(colour), qGreen(colour), qBlue(colour)), 0);
    append(file, U_EMRCREATEBRUSHINDIRECT_set(1, brush), records);
    append(file, U_EMRSELECTOBJECT_set(1), records);
    append(file,
           U_EMRRECTANGLE_set(rectl_set(pointl_set(rect.left(), rect.top()),
                                        pointl_set(rect.right() + 1, rect.bottom() + 1))),
           records);
    EMFTRACK track{};
    append(file, U_EMREOF_set(0, nullptr, &track), records);
    put32(file, 48, static_cast<std::uint32_t>(file.size()));
    put32(file, 52, static_cast<std::uint32_t>(records));
    file[56] = 2; // handles: the brush and the reserved 0
    return file;
}

namespace {

// The header of an enhanced metafile of `size` pixels on a 96 dpi reference device.
std::string emfHeader(QSize size, int& records) {
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(size.width() - 1, size.height() - 1));
    const U_RECTL frame = rectl_set(
        pointl_set(0, 0), pointl_set(size.width() * 2540 / 96, size.height() * 2540 / 96));
    std::string file;
    append(file,
           U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(960, 960),
                           sizel_set(254, 254), 0),
           records);
    return file;
}

// Ends the metafile and fills in the header's totals.
std::string emfEnd(std::string file, int records, int handles) {
    EMFTRACK track{};
    append(file, U_EMREOF_set(0, nullptr, &track), records);
    put32(file, 48, static_cast<std::uint32_t>(file.size()));
    put32(file, 52, static_cast<std::uint32_t>(records));
    file[56] = static_cast<char>(handles);
    return file;
}

} // namespace

std::string emfWithPolyline(QSize size, int points) {
    int records = 0;
    std::string file = emfHeader(size, records);
    append(file,
           U_EMRCREATEPEN_set(1, logpen_set(U_PS_SOLID, point_set(3, 3), colorref3_set(0, 0, 255))),
           records);
    append(file, U_EMRSELECTOBJECT_set(1), records);
    // Corner to corner and back: every segment crosses the whole picture.
    std::vector<U_POINTL> line;
    for (int i = 0; i < points; ++i)
        line.push_back(pointl_set(i % 2 ? size.width() - 1 : 0,
                                  static_cast<int>((i * 7919LL) % size.height())));
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(size.width() - 1, size.height() - 1));
    append(file, U_EMRPOLYLINE_set(bounds, static_cast<std::uint32_t>(line.size()), line.data()),
           records);
    return emfEnd(std::move(file), records, 2);
}

std::string emfWithRectangles(QSize size, int count) {
    int records = 0;
    std::string file = emfHeader(size, records);
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % size.width();
        const int y = (i * 53) % size.height();
        append(file, U_EMRRECTANGLE_set(rectl_set(pointl_set(x, y), pointl_set(x + 20, y + 10))),
               records);
    }
    return emfEnd(std::move(file), records, 1);
}

namespace {

// A StretchDIBits record that draws `image`, as 24-bit pixels, over `target`.
char* stretchDibits(QRect target, const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<std::string> rows;
    for (int y = rgb.height() - 1; y >= 0; --y) {
        std::string row(reinterpret_cast<const char*>(rgb.constScanLine(y)), 3 * rgb.width());
        for (std::size_t x = 0; x < row.size(); x += 3) std::swap(row[x], row[x + 2]);
        rows.push_back(row);
    }
    std::string pixels = paddedRows(rows);
    const U_BITMAPINFOHEADER header =
        bitmapinfoheader_set(rgb.width(), rgb.height(), 1, 24, U_BI_RGB,
                             static_cast<uint32_t>(pixels.size()), 3780, 3780, 0, 0);
    PU_BITMAPINFO info = bitmapinfo_set(header, nullptr);
    const U_RECTL bounds = rectl_set(pointl_set(target.left(), target.top()),
                                     pointl_set(target.right(), target.bottom()));
    char* record =
        U_EMRSTRETCHDIBITS_set(bounds, pointl_set(target.left(), target.top()),
                               pointl_set(target.width(), target.height()), pointl_set(0, 0),
                               pointl_set(rgb.width(), rgb.height()), U_DIB_RGB_COLORS, U_SRCCOPY,
                               info, static_cast<uint32_t>(pixels.size()), pixels.data());
    std::free(info);
    return record;
}

} // namespace

std::string emfWithBitmap(QSize size, const QImage& image, std::uint32_t headerSize) {
    int records = 0;
    std::string file = emfHeader(size, records);
    const std::size_t record = file.size();
    append(file, stretchDibits(QRect(QPoint(0, 0), size), image), records);
    put32(file, record + get32(file, record + 48), headerSize); // the header's own size
    return emfEnd(std::move(file), records, 1);
}

std::string emfFullScreen4k() {
    const QSize size(3840, 2160);
    int records = 0;
    std::string file = emfHeader(size, records);
    // A screenshot behind the chart.
    QImage screen(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = 0; x < size.width(); ++x) line[x] = qRgb(x * 255 / 3840, y * 255 / 2160, 200);
    }
    append(file, stretchDibits(QRect(QPoint(0, 0), size), screen), records);
    const U_RECTL bounds = rectl_set(pointl_set(0, 0), pointl_set(3839, 2159));
    // Bars, each with a pen and a brush of its own, made, used and deleted.
    for (int bar = 0; bar < 1500; ++bar) {
        const QRgb colour = qRgb(bar * 37 % 256, bar * 91 % 256, bar * 53 % 256);
        const auto ref = colorref3_set(qRed(colour), qGreen(colour), qBlue(colour));
        append(file, U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, ref, 0)), records);
        append(file, U_EMRSELECTOBJECT_set(1), records);
        const int x = 100 + bar * 2;
        append(
            file,
            U_EMRRECTANGLE_set(rectl_set(pointl_set(x, 2000 - bar % 900), pointl_set(x + 2, 2000))),
            records);
        append(file, U_EMRSELECTOBJECT_set(U_WHITE_BRUSH), records);
        append(file, U_EMRDELETEOBJECT_set(1), records);
    }
    // Forty plotted series of 5,000 points each.
    for (int series = 0; series < 40; ++series) {
        append(file,
               U_EMRCREATEPEN_set(2, logpen_set(U_PS_SOLID, point_set(2, 2),
                                                colorref3_set(series * 6, 0, 255 - series * 6))),
               records);
        append(file, U_EMRSELECTOBJECT_set(2), records);
        std::vector<U_POINT16> points;
        for (int i = 0; i < 5000; ++i)
            points.push_back(point16_set(
                static_cast<int16_t>(100 + i * 3600 / 5000),
                static_cast<int16_t>(1000 + series * 20 + (i * 7 + series * 13) % 200)));
        append(file,
               U_EMRPOLYLINE16_set(bounds, static_cast<uint32_t>(points.size()), points.data()),
               records);
        append(file, U_EMRSELECTOBJECT_set(U_BLACK_PEN), records);
        append(file, U_EMRDELETEOBJECT_set(2), records);
    }
    // Labels along the axes.
    std::u16string face = u"DejaVu Sans";
    face.resize(32, u'\0');
    const U_LOGFONT font = logfont_set(-24, 0, 0, 0, 400, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0,
                                       reinterpret_cast<uint16_t*>(face.data()));
    append(file, U_EMREXTCREATEFONTINDIRECTW_set(3, reinterpret_cast<const char*>(&font), nullptr),
           records);
    append(file, U_EMRSELECTOBJECT_set(3), records);
    for (int label = 0; label < 600; ++label) {
        std::u16string text = u"Label ";
        for (char c : std::to_string(label)) text.push_back(static_cast<char16_t>(c));
        std::vector<uint32_t> advances(text.size(), 12);
        char* emrtext =
            emrtext_set(pointl_set(20 + label % 30 * 120, 40 + label / 30 * 40),
                        static_cast<U_NUM_STR>(text.size()), 2, text.data(), U_ETO_NONE,
                        rectl_set(pointl_set(0, 0), pointl_set(-1, -1)), advances.data());
        append(file,
               U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1, 1,
                                    reinterpret_cast<PU_EMRTEXT>(emrtext)),
               records);
        std::free(emrtext);
    }
    return emfEnd(std::move(file), records, 4);
}

std::string emfWithDescription(QSize size, const std::u16string& description) {
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(size.width() - 1, size.height() - 1));
    const U_RECTL frame = rectl_set(
        pointl_set(0, 0), pointl_set(size.width() * 2540 / 96, size.height() * 2540 / 96));
    std::u16string text = description;
    text.push_back(u'\0');
    std::string file;
    int records = 0;
    append(file,
           U_EMRHEADER_set(bounds, frame, nullptr, static_cast<U_CBSTR>(text.size()),
                           reinterpret_cast<uint16_t*>(text.data()), sizel_set(960, 960),
                           sizel_set(254, 254), 0),
           records);
    EMFTRACK track{};
    append(file, U_EMREOF_set(0, nullptr, &track), records);
    put32(file, 48, static_cast<std::uint32_t>(file.size()));
    put32(file, 52, static_cast<std::uint32_t>(records));
    file[56] = 1;
    return file;
}

std::string emfWithText(QSize size, const std::u16string& text, const std::u16string& face,
                        bool glyphIndexes) {
    const U_RECTL bounds =
        rectl_set(pointl_set(0, 0), pointl_set(size.width() - 1, size.height() - 1));
    const U_RECTL frame = rectl_set(
        pointl_set(0, 0), pointl_set(size.width() * 2540 / 96, size.height() * 2540 / 96));
    std::string file;
    int records = 0;
    append(file,
           U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(960, 960),
                           sizel_set(254, 254), 0),
           records);
    std::u16string faceName = face;
    faceName.resize(32, u'\0');
    const U_LOGFONT font = logfont_set(-12, 0, 0, 0, 400, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0,
                                       reinterpret_cast<uint16_t*>(faceName.data()));
    append(file, U_EMREXTCREATEFONTINDIRECTW_set(1, reinterpret_cast<const char*>(&font), nullptr),
           records);
    append(file, U_EMRSELECTOBJECT_set(1), records);
    std::u16string characters = text;
    std::vector<uint32_t> advances(characters.size(), 7);
    char* emrtext = emrtext_set(pointl_set(2, 2), static_cast<U_NUM_STR>(characters.size()), 2,
                                characters.data(), glyphIndexes ? U_ETO_GLYPH_INDEX : U_ETO_NONE,
                                rectl_set(pointl_set(0, 0), pointl_set(-1, -1)), advances.data());
    append(
        file,
        U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(emrtext)),
        records);
    std::free(emrtext);
    EMFTRACK track{};
    append(file, U_EMREOF_set(0, nullptr, &track), records);
    put32(file, 48, static_cast<std::uint32_t>(file.size()));
    put32(file, 52, static_cast<std::uint32_t>(records));
    file[56] = 2;
    return file;
}

#endif

namespace {

std::string wmfFile(QSize size, int unitsPerInch, const std::string& records, int objects) {
    Bytes placeable;
    placeable.u32(0x9AC6CDD7).u16(0).i16(0).i16(0).i16(size.width()).i16(size.height());
    placeable.u16(static_cast<std::uint32_t>(unitsPerInch)).u32(0);
    placeable.u16(placeableChecksum(placeable.s));
    Bytes body;
    body.u32(5).u16(0x020B).i16(0).i16(0);                        // window origin
    body.u32(5).u16(0x020C).i16(size.height()).i16(size.width()); // window extent
    body.raw(records);
    body.u32(3).u16(0); // end of file
    Bytes header;
    header.u16(1).u16(9).u16(0x0300).u32(static_cast<std::uint32_t>((18 + body.s.size()) / 2));
    header.u16(static_cast<std::uint32_t>(objects)).u32(64).u16(0);
    return placeable.s + header.s + body.s;
}

} // namespace

std::uint16_t placeableChecksum(std::string_view file) {
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        sum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(file[i]) |
                                          static_cast<unsigned char>(file[i + 1]) << 8);
    return sum;
}

std::string wmfWithRectangle(QSize size, int unitsPerInch, QRect rect, QRgb colour) {
    Bytes r;
    r.u32(7).u16(0x02FC).u16(0).u8(qRed(colour)).u8(qGreen(colour)).u8(qBlue(colour)).u8(0).u16(0);
    r.u32(4).u16(0x012D).u16(0);                      // select the brush
    r.u32(8).u16(0x02FA).u16(5).i16(0).i16(0).u32(0); // a null pen
    r.u32(4).u16(0x012D).u16(1);                      // select it
    r.u32(7)
        .u16(0x041B)
        .i16(rect.bottom() + 1)
        .i16(rect.right() + 1)
        .i16(rect.top())
        .i16(rect.left());
    return wmfFile(size, unitsPerInch, r.s, 2);
}

std::string wmfWithRectangles(QSize size, int count, QSize each) {
    Bytes r;
    for (int i = 0; i < count; ++i) {
        const int x = (i * 37) % size.width();
        const int y = (i * 53) % size.height();
        r.u32(7).u16(0x041B).i16(y + each.height()).i16(x + each.width()).i16(y).i16(x);
    }
    return wmfFile(size, 96, r.s, 0);
}

std::string wmfDrawing(int records) {
    const QSize size(1600, 1200);
    Bytes r;
    int written = 2; // the window's origin and extent
    for (int shape = 0; written + 8 <= records - 1; ++shape) {
        const int x = shape * 37 % 1500;
        const int y = shape * 53 % 1100;
        r.u32(8).u16(0x02FA).u16(0).i16(1).i16(0).u8(shape % 256).u8(0).u8(128).u8(0); // pen
        r.u32(7).u16(0x02FC).u16(0).u8(0).u8(shape % 256).u8(200).u8(0).u16(0);        // brush
        r.u32(4).u16(0x012D).u16(0);                                                   // select
        r.u32(4).u16(0x012D).u16(1);
        r.u32(3 + 1 + 2 * 5).u16(0x0324).u16(5); // polygon
        for (const auto& [dx, dy] : {std::pair{0, 0}, {60, 10}, {70, 50}, {20, 70}, {0, 0}})
            r.i16(x + dx).i16(y + dy);
        r.u32(3 + 1 + 3 + 2).u16(0x0521).u16(5).raw(std::string("Shape", 5)).u8(0).i16(y).i16(x);
        r.u32(4).u16(0x01F0).u16(0); // delete both
        r.u32(4).u16(0x01F0).u16(1);
        written += 8;
    }
    return wmfFile(size, 96, r.s, 2);
}

std::string wmfWithBitmap(QSize size, const QImage& image, std::uint32_t headerSize) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<std::string> rows;
    for (int y = rgb.height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            row += {static_cast<char>(qBlue(p)), static_cast<char>(qGreen(p)),
                    static_cast<char>(qRed(p))};
        }
        rows.push_back(row);
    }
    const std::string pixels = paddedRows(rows);
    Bytes dib;
    dib.u32(headerSize).i32(rgb.width()).i32(rgb.height()).u16(1).u16(24).u32(0);
    dib.u32(static_cast<std::uint32_t>(pixels.size())).u32(3780).u32(3780).u32(0).u32(0);
    dib.raw(pixels);
    Bytes r;
    r.u32(static_cast<std::uint32_t>((6 + 4 + 2 + 16 + dib.s.size()) / 2)).u16(0x0F43);
    r.u32(0x00CC0020).u16(0); // source copy, colours in the palette
    for (int v : {rgb.height(), rgb.width(), 0, 0, size.height(), size.width(), 0, 0}) r.i16(v);
    r.raw(dib.s);
    return wmfFile(size, 96, r.s, 0);
}

std::string wmfWithText(QSize size, const std::string& text) {
    std::string padded = text;
    if (padded.size() % 2) padded.push_back('\0');
    Bytes r;
    r.u32(static_cast<std::uint32_t>(3 + 1 + padded.size() / 2 + 2)).u16(0x0521);
    r.u16(static_cast<std::uint32_t>(text.size())).raw(padded).i16(10).i16(10);
    return wmfFile(size, 96, r.s, 0);
}

} // namespace zub::test
