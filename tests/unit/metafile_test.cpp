#include "images/bmp_reader.h"
#include "images/contained_reading.h"
#include "images/emf_reader.h"
#include "images/picture_files.h"
#include "images/wmf_reader.h"
#include "picture_test_files.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include <libwmf/api.h>
#include <libwmf/svg.h>

#include <atomic>
#include <filesystem>

using namespace zub;
using namespace zub::test;

namespace {

constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;

template <typename Read> std::string errorOf(Read read, std::string bytes) {
    try {
        read(std::move(bytes));
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}
std::string emfError(std::string bytes) {
    return errorOf([](std::string b) { readEmf(std::move(b)); }, std::move(bytes));
}
std::string wmfError(std::string bytes) {
    return errorOf([](std::string b) { readWmf(std::move(b)); }, std::move(bytes));
}

QRgb at(const Picture& p, int x, int y) {
    return p.image().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

const std::string kNotValid = "Metafile is not valid";

} // namespace

TEST(EmfReader, DrawsTheRecordsAtTheFrameSizeWithATransparentBackground) {
    const std::string file = emfWithRectangle({100, 50}, {10, 10, 30, 20}, kRed);
    const Picture p = readEmf(file);
    EXPECT_EQ(p.format(), PictureFormat::Emf);
    EXPECT_EQ(p.width(), 100);
    EXPECT_EQ(p.height(), 50);
    EXPECT_TRUE(p.isTransparent());
    EXPECT_EQ(at(p, 20, 15), kRed);
    EXPECT_EQ(qAlpha(at(p, 5, 5)), 0);
    EXPECT_EQ(qAlpha(at(p, 60, 40)), 0);
    EXPECT_EQ(p.fileBytes(), file);
}

TEST(EmfReader, BrokenHeadersAndRecordsAreNotValid) {
    const std::string valid = emfWithRectangle({100, 50}, {10, 10, 30, 20}, kRed);
    ASSERT_EQ(emfError(valid), "no error");
    EXPECT_EQ(emfError(""), kNotValid);
    EXPECT_EQ(emfError(valid.substr(0, 80)), kNotValid);
    auto changed = [&](std::size_t offset, std::uint32_t value) {
        std::string bytes = valid;
        put32(bytes, offset, value);
        return emfError(bytes);
    };
    EXPECT_EQ(changed(0, 2), kNotValid);                 // not a header record
    EXPECT_EQ(changed(40, 0x12345678), kNotValid);       // no signature
    EXPECT_EQ(changed(4, 40), kNotValid);                // a header too short
    EXPECT_EQ(changed(4, 0xFFFFFFF0), kNotValid);        // a header longer than the file
    EXPECT_EQ(changed(48, valid.size() + 4), kNotValid); // longer than the file
    EXPECT_EQ(changed(32, 0), kNotValid);                // an empty frame
    EXPECT_EQ(changed(32, 0x7FFFFFFF), kNotValid);       // a frame of too many pixels
    {
        // Within the pixel count, 64 pixels wide, but millions high: no picture to draw.
        std::string tall = valid;
        put32(tall, 24, 0);
        put32(tall, 32, 1693);
        put32(tall, 28, 0xFA000000);
        EXPECT_EQ(emfError(tall), kNotValid);
    }

    std::vector<std::size_t> records{0};
    while (records.back() < valid.size())
        records.push_back(records.back() + get32(valid, records.back() + 4));
    const std::size_t second = records[1];
    EXPECT_EQ(changed(second + 4, 6), kNotValid);       // a record shorter than its own header
    EXPECT_EQ(changed(second + 4, 10), kNotValid);      // not a multiple of four
    EXPECT_EQ(changed(second + 4, 0x10000), kNotValid); // past the end
    // A rectangle record too short for its rectangle, which libuemf refuses to play.
    std::string shortRecord = valid;
    const std::size_t rectangle = records[4];
    ASSERT_EQ(get32(valid, rectangle), 43u);
    put32(shortRecord, rectangle + 4, 8);
    EXPECT_EQ(emfError(shortRecord), kNotValid);
    // No end-of-file record.
    EXPECT_EQ(emfError(valid.substr(0, valid.size() - 20)), kNotValid);
    // A description outside the header record.
    std::string description = valid;
    put32(description, 60, 4);
    put32(description, 64, 84);
    EXPECT_EQ(emfError(description), kNotValid);
    put32(description, 64, get32(valid, 4) - 2); // running past the header's end
    EXPECT_EQ(emfError(description), kNotValid);
}

TEST(EmfReader, TheDescriptionIsNotReadWhereItsOffsetPoints) {
    // No description, but an offset to the end of the file: libemf2svg would read a string there.
    std::string file = emfWithRectangle({100, 50}, {10, 10, 30, 20}, kRed);
    put32(file, 64, static_cast<std::uint32_t>(file.size()));
    const Picture p = readEmf(file);
    EXPECT_EQ(at(p, 20, 15), kRed);
    EXPECT_EQ(p.fileBytes(), file);

    // A description inside the header is fine.
    const std::string withText = emfWithDescription({20, 10}, u"Zub");
    EXPECT_EQ(readEmf(withText).width(), 20);
}

// Text given as glyph indexes makes libemf2svg look the font up through fontconfig and then shut
// fontconfig down, under Qt's feet; and it reads its glyph table past the end. Such text is left
// out; other text is drawn.
TEST(EmfReader, TextGivenAsGlyphIndexesIsLeftOut) {
    auto inked = [](const Picture& p) {
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                if (qAlpha(at(p, x, y)) != 0) return true;
        return false;
    };
    const std::u16string glyphs(u"\x0024\x0025\xFFFF");
    for (int round = 0; round < 3; ++round) {
        const Picture p = readEmf(emfWithText({60, 20}, glyphs, u"DejaVu Sans", true));
        EXPECT_EQ(p.width(), 60);
        EXPECT_FALSE(inked(p));
        // Qt's own use of fontconfig goes on working.
        QImage canvas(60, 20, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        painter.drawText(canvas.rect(), QStringLiteral("Qt %1").arg(round));
    }
    EXPECT_TRUE(inked(readEmf(emfWithText({60, 20}, u"Hi", u"DejaVu Sans", false))));
}

TEST(WmfReader, DrawsAtTheBoundingBoxSizeInPixels) {
    // 1440 units per inch: 1440 × 720 units are 96 × 48 pixels.
    const std::string file = wmfWithRectangle({1440, 720}, 1440, {150, 150, 300, 300}, kBlue);
    const Picture p = readWmf(file);
    EXPECT_EQ(p.format(), PictureFormat::Wmf);
    EXPECT_EQ(p.width(), 96);
    EXPECT_EQ(p.height(), 48);
    EXPECT_EQ(at(p, 20, 20), kBlue);
    EXPECT_EQ(qAlpha(at(p, 5, 5)), 0);
    EXPECT_EQ(qAlpha(at(p, 80, 40)), 0);
    EXPECT_EQ(p.fileBytes(), file);
}

TEST(WmfReader, TheHeadersCountsOfWordsAreNotTrusted) {
    const std::string valid = wmfWithRectangle({1440, 720}, 1440, {150, 150, 300, 300}, kBlue);
    for (std::uint32_t longest : {3u, 0x7FFFFFFFu}) {
        for (std::uint32_t size : {9u, 0xFFFFFFFFu}) {
            std::string file = valid;
            put32(file, 22 + 12, longest);
            put32(file, 22 + 6, size);
            const Picture p = readWmf(file);
            EXPECT_EQ(at(p, 20, 20), kBlue) << longest << " " << size;
            EXPECT_EQ(p.fileBytes(), file);
        }
    }
}

TEST(WmfReader, TextIsDrawnWithTheFontsAtHand) {
    const Picture p = readWmf(wmfWithText({200, 50}, "Hello"));
    EXPECT_EQ(p.width(), 200);
    bool inked = false;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) inked = inked || qAlpha(at(p, x, y)) != 0;
    EXPECT_TRUE(inked);
}

TEST(WmfReader, BrokenHeadersAndRecordsAreNotValid) {
    const std::string valid = wmfWithRectangle({1440, 720}, 1440, {150, 150, 300, 300}, kBlue);
    ASSERT_EQ(wmfError(valid), "no error");
    EXPECT_EQ(wmfError(""), kNotValid);
    EXPECT_EQ(wmfError(valid.substr(22)), kNotValid); // no placeable header
    auto changed = [&](std::size_t offset, std::uint16_t value, bool fixChecksum = true) {
        std::string bytes = valid;
        bytes[offset] = static_cast<char>(value & 0xff);
        bytes[offset + 1] = static_cast<char>(value >> 8);
        if (fixChecksum && offset < 20) {
            const std::uint16_t sum = placeableChecksum(bytes);
            bytes[20] = static_cast<char>(sum & 0xff);
            bytes[21] = static_cast<char>(sum >> 8);
        }
        return wmfError(bytes);
    };
    EXPECT_EQ(changed(10, 1000, false), kNotValid); // a checksum that does not match
    EXPECT_EQ(changed(14, 0), kNotValid);           // no units per inch
    EXPECT_EQ(changed(10, 0), kNotValid);           // an empty box
    std::string huge = valid; // 65535 units wide at one unit per inch: too many pixels
    huge[7] = '\x80';
    huge[11] = '\x7F';
    huge[14] = 1;
    huge[15] = 0;
    const std::uint16_t sum = placeableChecksum(huge);
    huge[20] = static_cast<char>(sum & 0xff);
    huge[21] = static_cast<char>(sum >> 8);
    EXPECT_EQ(wmfError(huge), kNotValid);
    EXPECT_EQ(changed(22, 3), kNotValid);      // neither in memory nor on disk
    EXPECT_EQ(changed(24, 8), kNotValid);      // a header of the wrong size
    EXPECT_EQ(changed(26, 0x0200), kNotValid); // an unknown version
    EXPECT_EQ(changed(40, 2), kNotValid);      // a record shorter than its own header
    EXPECT_EQ(changed(40, 0xFFFF), kNotValid); // a record past the end
    EXPECT_EQ(wmfError(valid.substr(0, valid.size() - 6)), kNotValid); // no end record
}

TEST(Metafiles, EitherExtensionReadsEitherKindByItsContents) {
    const std::string wmf = wmfWithRectangle({96, 96}, 96, {0, 0, 10, 10}, kBlue);
    const std::string emf = emfWithRectangle({20, 20}, {0, 0, 5, 5}, kRed);
    EXPECT_EQ(readPicture(PictureFormat::Emf, wmf).format(), PictureFormat::Wmf);
    EXPECT_EQ(readPicture(PictureFormat::Wmf, emf).format(), PictureFormat::Emf);
    try {
        readPicture(PictureFormat::Emf, "neither");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), kNotValid);
    }
}

TEST(Metafiles, SavedBackUnchangedExceptAnEnhancedOneUnderAWmfName) {
    const std::string emf = emfWithRectangle({100, 50}, {10, 10, 30, 20}, kRed);
    const std::string wmf = wmfWithRectangle({1440, 720}, 1440, {150, 150, 300, 300}, kBlue);
    const Picture emfPicture = readEmf(emf);
    const Picture wmfPicture = readWmf(wmf);
    EXPECT_EQ(encodePicture(emfPicture, "copy.emf"), emf);
    EXPECT_EQ(encodePicture(emfPicture, "copy.bmp"), emf);
    EXPECT_EQ(encodePicture(wmfPicture, "copy.wmf"), wmf);
    EXPECT_EQ(encodePicture(wmfPicture, "copy.emf"), wmf);

    std::string converted = encodePicture(emfPicture, "copy.WMF");
    ASSERT_NE(converted, emf);
    // libwmf itself takes it, at the picture's size in pixels (96 units per inch).
    wmfAPI* api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    ASSERT_EQ(wmf_api_create(&api, WMF_OPT_FUNCTION | WMF_OPT_NO_ERROR, &options), wmf_E_None);
    ASSERT_EQ(wmf_mem_open(api, reinterpret_cast<unsigned char*>(converted.data()),
                           static_cast<long>(converted.size())),
              wmf_E_None);
    wmfD_Rect box{};
    EXPECT_EQ(wmf_scan(api, 0, &box), wmf_E_None);
    float width = 0;
    float height = 0;
    EXPECT_EQ(wmf_size(api, &width, &height), wmf_E_None);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 50);
    wmf_api_destroy(api);

    // Opened again, it is the picture it was, transparent where it was transparent, though
    // a player blind to alpha shows it on white.
    const Picture back = readWmf(converted);
    EXPECT_EQ(back.format(), PictureFormat::Wmf);
    ASSERT_EQ(back.image().size(), emfPicture.image().size());
    EXPECT_EQ(at(back, 20, 15), kRed);
    EXPECT_EQ(at(back, 60, 40), 0u);
    int differences = 0;
    for (int y = 0; y < back.height(); ++y) {
        for (int x = 0; x < back.width(); ++x) {
            const QRgb a = back.image().pixel(x, y);
            const QRgb b = emfPicture.image().pixel(x, y);
            if (std::abs(qAlpha(a) - qAlpha(b)) > 1 || std::abs(qRed(a) - qRed(b)) > 1 ||
                std::abs(qGreen(a) - qGreen(b)) > 1 || std::abs(qBlue(a) - qBlue(b)) > 1)
                ++differences;
        }
    }
    EXPECT_EQ(differences, 0);
    QImage onWhite(back.image().size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawImage(0, 0, emfPicture.image());
    // The bitmap record's colours, as a player blind to alpha draws them: the picture on white.
    std::string storedFile = "BM" + std::string(12, '\0') + converted.substr(22 + 18 + 20 + 28);
    put32(storedFile, 10, 14 + 108);
    const DecodedBitmap stored = decodeBmp(storedFile);
    EXPECT_EQ(stored.image.pixel(60, 40), onWhite.pixel(60, 40));
    EXPECT_EQ(stored.image.pixel(20, 15), onWhite.pixel(20, 15));
}

namespace {

struct Shape {
    const char* name;
    std::string file;
    QSize drawn; // empty: not valid
    QPoint inked{-1, -1};
    QPoint empty{-1, -1};
};

QImage tile() {
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(kBlue);
    return image;
}

// An enhanced metafile whose bitmap says it is `width` × `height` but holds the pixels of 5 × 3.
std::string emfWithBitmapClaiming(std::int32_t width, std::int32_t height) {
    std::string file = emfWithBitmap({50, 30}, tile());
    const std::size_t record = get32(file, 4); // right after the header
    const std::size_t header = record + get32(file, record + 48);
    put32(file, header + 4, static_cast<std::uint32_t>(width));
    put32(file, header + 8, static_cast<std::uint32_t>(height));
    return file;
}

// A Windows metafile whose bitmap counts `colours` colours in its header but holds none.
std::string wmfWithBitmapCounting(std::uint32_t colours) {
    std::string file = wmfWithBitmap({50, 30}, tile());
    const std::size_t header = file.find(std::string("\x28\0\0\0\x05\0\0\0\x03\0\0\0", 12));
    put32(file, header + 32, colours);
    return file;
}

// The shapes of pictures that have held the reader for minutes, for ever, or asked it for a
// gigabyte, and the real pictures of the same kinds that the budgets leave alone.
std::vector<Shape> shapes() {
    const QSize wide(4000, 4000);
    return {
        {"bitmap header of 29 bytes (WMF)", wmfWithBitmap({50, 30}, tile(), 0x1D), {}},
        {"bitmap header of 29 bytes (EMF)", emfWithBitmap({50, 30}, tile(), 0x1D), {}},
        {"bitmap of 20000 x 20000 holding 5 x 3 (EMF)", emfWithBitmapClaiming(20000, 20000), {}},
        {"bitmap counting 450 million colours (WMF)", wmfWithBitmapCounting(0x1AFFFFFF), {}},
        {"bitmap of 5 x 3 (WMF)", wmfWithBitmap({50, 30}, tile()), {50, 30}, {25, 15}},
        {"bitmap of 5 x 3 (EMF)", emfWithBitmap({50, 30}, tile()), {50, 30}, {25, 15}},
        {"polyline of 20,000 points across 4000 x 4000", emfWithPolyline(wide, 20000), wide},
        {"polyline of 1,000,001 points", emfWithPolyline({400, 400}, 1'000'001), {}},
        {"200,000 rectangles (EMF)", emfWithRectangles(wide, 200000), {}},
        {"100,000 rectangles (WMF)", wmfWithRectangles(wide, 100000), {}},
        {"5,000 rectangles over the whole picture", wmfWithRectangles(wide, 5000, wide), {}},
        {"drawing of 10,000 records (WMF)", wmfDrawing(10000), {1600, 1200}, {30, 30}},
        {"drawing on a full 4K screen (EMF)", emfFullScreen4k(), {3840, 2160}, {3800, 2100}},
        {"16384 x 16384 (EMF)",
         emfWithRectangle({16384, 16384}, {0, 0, 8192, 8192}, kRed),
         {4096, 4096},
         {100, 100},
         {3000, 3000}},
        {"16384 x 16384 (WMF)",
         wmfWithRectangle({16384, 16384}, 96, {0, 0, 8192, 8192}, kBlue),
         {4096, 4096},
         {100, 100},
         {3000, 3000}},
    };
}

} // namespace

TEST(MetafileBudgets, HostileShapesAreRefusedOrDrawnSmallAndRealPicturesWhole) {
    for (const Shape& shape : shapes()) {
        SCOPED_TRACE(shape.name);
        if (shape.drawn.isEmpty()) {
            EXPECT_EQ(errorOf([](std::string b) { readPicture(PictureFormat::Emf, std::move(b)); },
                              shape.file),
                      kNotValid);
            continue;
        }
        const Picture p = readPicture(PictureFormat::Emf, shape.file);
        EXPECT_EQ(QSize(p.width(), p.height()), shape.drawn);
        if (shape.inked.x() >= 0) {
            EXPECT_NE(qAlpha(at(p, shape.inked.x(), shape.inked.y())), 0);
        }
        if (shape.empty.x() >= 0) {
            EXPECT_EQ(qAlpha(at(p, shape.empty.x(), shape.empty.y())), 0);
        }
    }
}

// The program never draws a metafile itself: the reader program beside it does, and hands back
// the pixels. What comes back is what drawing in the process gives; what the reader refuses,
// fails at or is called off from is not valid.
TEST(ContainedReading, TheReaderProgramDrawsWhatTheProcessWouldAndNothingElse) {
    ASSERT_TRUE(std::filesystem::exists(metafileReaderProgram())) << metafileReaderProgram();
    const std::string wmf = wmfWithRectangle({1440, 720}, 1440, {150, 150, 300, 300}, kBlue);
    const std::string emf = emfWithRectangle({100, 50}, {10, 10, 30, 20}, kRed);
    for (const std::string& file : {wmf, emf}) {
        const Picture here = readPicture(PictureFormat::Wmf, file);
        const Picture there = readPictureContained(PictureFormat::Wmf, file);
        EXPECT_EQ(there.format(), here.format());
        EXPECT_EQ(there.image(), here.image());
        EXPECT_EQ(there.fileBytes(), file);
    }
    // The largest picture a metafile is drawn at crosses whole.
    const Picture large = readPictureContained(
        PictureFormat::Emf, emfWithRectangle({16384, 16384}, {0, 0, 8192, 8192}, kRed));
    EXPECT_EQ(QSize(large.width(), large.height()), QSize(4096, 4096));
    EXPECT_EQ(at(large, 2047, 2047), kRed);

    auto contained = [](std::string bytes, const std::atomic<bool>* cancel = nullptr) {
        return errorOf(
            [cancel](std::string b) { readPictureContained(PictureFormat::Emf, b, cancel); },
            std::move(bytes));
    };
    EXPECT_EQ(contained(wmfWithBitmap({50, 30}, QImage(5, 3, QImage::Format_RGB32), 0x1D)),
              kNotValid);
    EXPECT_EQ(contained("neither kind of metafile"), kNotValid);
    const std::atomic<bool> cancelled{true};
    EXPECT_EQ(contained(emf, &cancelled), kNotValid);

    // Only exactly a picture's pixels are taken back.
    const QImage image = readPicture(PictureFormat::Emf, emf).image();
    EXPECT_EQ(decodeRaster(encodeRaster(image)), image);
    for (const std::string& wrong :
         {std::string(), encodeRaster(image) + "x", encodeRaster(image).substr(0, 100)})
        EXPECT_TRUE(decodeRaster(wrong).isNull());
}
