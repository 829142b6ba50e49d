#include "images/bmp_reader.h"
#include "picture_test_files.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <climits>

using namespace zub;
using namespace zub::test;

namespace {

constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;

// The picture's pixels, row by row from the top, as colours.
std::vector<std::vector<QRgb>> pixels(const QImage& image) {
    std::vector<std::vector<QRgb>> rows;
    for (int y = 0; y < image.height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < image.width(); ++x) rows.back().push_back(image.pixel(x, y));
    }
    return rows;
}
using Rows = std::vector<std::vector<QRgb>>;

std::string errorOf(std::string_view bytes) {
    try {
        decodeBmp(bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::string bgr(QRgb c) {
    return {static_cast<char>(qBlue(c)), static_cast<char>(qGreen(c)), static_cast<char>(qRed(c))};
}

// 2 × 2, 24 bits: bottom row red, green; top row blue, white.
BmpFields twoByTwo24() {
    BmpFields s;
    s.width = 2;
    s.height = 2;
    s.bitsPerPixel = 24;
    s.pixels = paddedRows({bgr(kRed) + bgr(kGreen), bgr(kBlue) + bgr(kWhite)});
    return s;
}

} // namespace

TEST(BmpReader, TrueColourRowsAreBottomUpUnlessTheHeightIsNegative) {
    BmpFields s = twoByTwo24();
    DecodedBitmap b = decodeBmp(bmpFile(s));
    EXPECT_EQ(b.bitsPerPixel, 24);
    EXPECT_EQ(b.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(pixels(b.image), (Rows{{kBlue, kWhite}, {kRed, kGreen}}));

    s.height = -2;
    EXPECT_EQ(pixels(decodeBmp(bmpFile(s)).image), (Rows{{kRed, kGreen}, {kBlue, kWhite}}));
}

TEST(BmpReader, EveryHeaderKindGivesTheSamePixels) {
    for (int headerSize : {12, 40, 108, 124}) {
        BmpFields s = twoByTwo24();
        s.headerSize = headerSize;
        EXPECT_EQ(pixels(decodeBmp(bmpFile(s)).image), (Rows{{kBlue, kWhite}, {kRed, kGreen}}))
            << headerSize;
    }
    // The core header's palette has three bytes per colour, and always all of them.
    BmpFields core;
    core.headerSize = 12;
    core.width = 3;
    core.height = 1;
    core.bitsPerPixel = 8;
    core.palette.assign(256, kBlack);
    core.palette[0] = kRed;
    core.palette[1] = kGreen;
    core.palette[2] = kBlue;
    core.pixels = paddedRows({std::string("\x02\x00\x01", 3)});
    EXPECT_EQ(pixels(decodeBmp(bmpFile(core)).image), (Rows{{kBlue, kRed, kGreen}}));
}

TEST(BmpReader, PalettedDepthsKeepTheirIndexesAndPalette) {
    BmpFields mono;
    mono.width = 10;
    mono.height = 1;
    mono.bitsPerPixel = 1;
    // The lighter colour first: the file's order stays, bits and all.
    mono.palette = {kWhite, kBlack};
    mono.pixels = paddedRows({std::string("\xA0\x40", 2)}); // 1010000000 01...
    DecodedBitmap m = decodeBmp(bmpFile(mono));
    EXPECT_EQ(m.bitsPerPixel, 1);
    EXPECT_EQ(m.image.format(), QImage::Format_Mono);
    EXPECT_EQ(m.image.colorTable(), QList<QRgb>({kWhite, kBlack}));
    EXPECT_EQ(pixels(m.image), (Rows{{kBlack, kWhite, kBlack, kWhite, kWhite, kWhite, kWhite,
                                      kWhite, kWhite, kBlack}}));

    BmpFields four;
    four.width = 3;
    four.height = 2;
    four.bitsPerPixel = 4;
    four.palette = {kBlack, kRed, kGreen, kBlue};
    four.pixels = paddedRows({std::string("\x12\x30", 2), std::string("\x33\x10", 2)});
    DecodedBitmap f = decodeBmp(bmpFile(four));
    EXPECT_EQ(f.bitsPerPixel, 4);
    EXPECT_EQ(f.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(f.image.colorCount(), 4);
    EXPECT_EQ(pixels(f.image), (Rows{{kBlue, kBlue, kRed}, {kRed, kGreen, kBlue}}));

    BmpFields eight;
    eight.width = 2;
    eight.height = 1;
    eight.bitsPerPixel = 8;
    eight.palette.assign(256, kBlack);
    eight.palette[200] = kGreen;
    eight.pixels = paddedRows({std::string("\xC8\x00", 2)});
    DecodedBitmap e = decodeBmp(bmpFile(eight));
    EXPECT_EQ(e.bitsPerPixel, 8);
    EXPECT_EQ(e.image.colorCount(), 256);
    EXPECT_EQ(e.image.pixelIndex(0, 0), 200);
    EXPECT_EQ(pixels(e.image), (Rows{{kGreen, kBlack}}));
}

// Qt's reader widens each channel by shifting it into the high bits.
TEST(BmpReader, SixteenBitsAreFiveFiveFiveUnlessBitFieldsSayOtherwise) {
    BmpFields s;
    s.width = 2;
    s.height = 1;
    s.bitsPerPixel = 16;
    // 5-5-5: pure red and a mid grey (each channel 0b10000).
    s.pixels = paddedRows({std::string("\x00\x7C\x10\x42", 4)});
    DecodedBitmap b = decodeBmp(bmpFile(s));
    EXPECT_EQ(b.bitsPerPixel, 16);
    EXPECT_EQ(pixels(b.image), (Rows{{qRgb(0xF8, 0, 0), qRgb(0x80, 0x80, 0x80)}}));

    // 5-6-5 through bit fields: pure green, then pure blue.
    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F, 0};
    s.pixels = paddedRows({std::string("\xE0\x07\x1F\x00", 4)});
    EXPECT_EQ(pixels(decodeBmp(bmpFile(s)).image), (Rows{{qRgb(0, 0xFC, 0), qRgb(0, 0, 0xF8)}}));
}

TEST(BmpReader, ThirtyTwoBitFieldsAndAlphaMasksGiveOpaqueColours) {
    BmpFields s;
    s.width = 2;
    s.height = 1;
    s.bitsPerPixel = 32;
    s.compression = 3;
    // Red in the lowest byte, blue in the highest.
    s.masks = {0x000000FF, 0x0000FF00, 0xFF000000, 0};
    s.pixels = std::string("\xFF\x00\x00\x00\x00\x00\x00\xFF", 8);
    EXPECT_EQ(pixels(decodeBmp(bmpFile(s)).image), (Rows{{kRed, kBlue}}));

    // A V5 header with an alpha mask: the colours stay, the bitmap is drawn opaque.
    BmpFields v5;
    v5.headerSize = 124;
    v5.width = 2;
    v5.height = 1;
    v5.bitsPerPixel = 32;
    v5.compression = 3;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v5.pixels = std::string("\x00\x00\xFF\x00\xFF\x00\x00\x80", 8); // red, alpha 0; blue, alpha 128
    DecodedBitmap b = decodeBmp(bmpFile(v5));
    EXPECT_EQ(b.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(pixels(b.image), (Rows{{kRed, kBlue}}));
}

TEST(BmpReader, Rle8RunsLiteralsDeltasAndLineEnds) {
    BmpFields s;
    s.width = 6;
    s.height = 3;
    s.bitsPerPixel = 8;
    s.compression = 1;
    s.palette = {kBlack, kRed, kGreen, kBlue};
    s.pixels = std::string("\x03\x01"                 // bottom row: three reds
                           "\x00\x03\x02\x03\x02\x00" // then a literal green, blue, green, padded
                           "\x00\x00"                 // end of line
                           "\x00\x02\x02\x01"         // delta: two right, one up (to the top row)
                           "\x02\x03"                 // two blues
                           "\x09\x02"                 // a run past the right edge is cut there
                           "\x00\x01",                // end of bitmap
                           20);
    DecodedBitmap b = decodeBmp(bmpFile(s));
    EXPECT_EQ(b.bitsPerPixel, 8);
    EXPECT_EQ(pixels(b.image), (Rows{
                                   {kBlack, kBlack, kBlue, kBlue, kGreen, kGreen},
                                   {kBlack, kBlack, kBlack, kBlack, kBlack, kBlack},
                                   {kRed, kRed, kRed, kGreen, kBlue, kGreen},
                               }));
}

TEST(BmpReader, Rle4AlternatesNibblesAndStopsWhereTheDataEnds) {
    BmpFields s;
    s.width = 5;
    s.height = 2;
    s.bitsPerPixel = 4;
    s.compression = 2;
    s.palette = {kBlack, kRed, kGreen, kBlue};
    s.pixels = std::string("\x05\x12"         // red, green, red, green, red
                           "\x00\x00"         // end of line
                           "\x00\x03\x31\x20" // literal blue, red, green (two bytes, already even)
                           ,
                           8); // no end-of-bitmap code: the picture ends with the data
    DecodedBitmap b = decodeBmp(bmpFile(s));
    EXPECT_EQ(b.bitsPerPixel, 4);
    EXPECT_EQ(pixels(b.image),
              (Rows{{kBlue, kRed, kGreen, kBlack, kBlack}, {kRed, kGreen, kRed, kGreen, kRed}}));
}

TEST(BmpReader, PixelsStartAtTheDeclaredOffsetUnlessItPointsIntoTheHeaders) {
    BmpFields s = twoByTwo24();
    s.dataOffset = 70; // 16 bytes of gap after the headers
    EXPECT_EQ(pixels(decodeBmp(bmpFile(s)).image), (Rows{{kBlue, kWhite}, {kRed, kGreen}}));

    std::string file = bmpFile(twoByTwo24());
    put32(file, 10, 0);
    EXPECT_EQ(pixels(decodeBmp(file).image), (Rows{{kBlue, kWhite}, {kRed, kGreen}}));
}

TEST(BmpReader, MalformedHeadersAreNotValid) {
    const std::string valid = bmpFile(twoByTwo24());
    const std::string message = "Bitmap image is not valid";
    EXPECT_EQ(errorOf(""), message);
    EXPECT_EQ(errorOf("BM"), message);
    EXPECT_EQ(errorOf("XM" + valid.substr(2)), message);
    EXPECT_EQ(errorOf(valid.substr(0, 30)), message);

    auto with = [](auto change) {
        BmpFields s = twoByTwo24();
        change(s);
        return errorOf(bmpFile(s));
    };
    EXPECT_EQ(with([](BmpFields& s) { s.headerSize = 64; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.headerSize = 52; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.bitsPerPixel = 2; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.bitsPerPixel = 0; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.compression = 1; }), message); // RLE8 at 24 bits
    EXPECT_EQ(with([](BmpFields& s) { s.compression = 4; }), message); // JPEG inside
    EXPECT_EQ(with([](BmpFields& s) { s.width = 0; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.width = -2; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.height = 0; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.height = INT_MIN; }), message);
    // More pixels than the program will hold, whatever the file's length.
    EXPECT_EQ(with([](BmpFields& s) { s.width = 1 << 15, s.height = (1 << 13) + 1; }), message);
    EXPECT_EQ(with([](BmpFields& s) { s.width = INT_MAX, s.height = INT_MAX; }), message);

    std::string planes = valid;
    planes[26] = 2;
    EXPECT_EQ(errorOf(planes), message);
}

TEST(BmpReader, FilesThatDoNotHoldWhatTheirHeadersPromiseAreNotValid) {
    const std::string message = "Bitmap image is not valid";
    const std::string valid = bmpFile(twoByTwo24());
    EXPECT_EQ(errorOf(valid.substr(0, valid.size() - 1)), message); // the last padding byte
    std::string offsetPastEnd = valid;
    put32(offsetPastEnd, 10, 1000);
    EXPECT_EQ(errorOf(offsetPastEnd), message);
    std::string hugeOffset = valid;
    put32(hugeOffset, 10, 0xFFFFFFFF);
    EXPECT_EQ(errorOf(hugeOffset), message);

    BmpFields paletted;
    paletted.width = 1;
    paletted.height = 1;
    paletted.bitsPerPixel = 8;
    paletted.palette = {kRed};
    paletted.pixels = paddedRows({std::string(1, '\0')});
    EXPECT_EQ(errorOf(bmpFile(paletted)), "no error");
    paletted.coloursUsed = 257;
    EXPECT_EQ(errorOf(bmpFile(paletted)), message);
    paletted.coloursUsed = 200; // a palette longer than the file
    EXPECT_EQ(errorOf(bmpFile(paletted).substr(0, 60)), message);

    // Bit fields whose masks are cut off.
    BmpFields fields;
    fields.width = 1;
    fields.height = 1;
    fields.bitsPerPixel = 32;
    fields.compression = 3;
    fields.masks = {0xFF0000, 0xFF00, 0xFF, 0};
    fields.pixels = std::string(4, '\0');
    EXPECT_EQ(errorOf(bmpFile(fields)), "no error");
    EXPECT_EQ(errorOf(bmpFile(fields).substr(0, 60)), message);

    // Compressed rows top-down do not exist.
    BmpFields rle;
    rle.width = 1;
    rle.height = -1;
    rle.bitsPerPixel = 8;
    rle.compression = 1;
    rle.palette = {kRed};
    rle.pixels = std::string("\x01\x00\x00\x01", 4);
    EXPECT_EQ(errorOf(bmpFile(rle)), message);
}

TEST(BmpReader, ReadBmpMakesABitmapPictureAtItsDepth) {
    const Picture p = readBmp(bmpFile(twoByTwo24()));
    EXPECT_EQ(p.format(), PictureFormat::Bitmap);
    EXPECT_EQ(p.bitsPerPixel(), 24);
    EXPECT_EQ(p.width(), 2);
    EXPECT_EQ(p.height(), 2);
    EXPECT_FALSE(p.isTransparent());
    EXPECT_TRUE(p.fileBytes().empty());
}
