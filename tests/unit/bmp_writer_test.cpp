#include "images/bmp_reader.h"
#include "images/bmp_writer.h"
#include "picture_test_files.h"

#include <gtest/gtest.h>

using namespace zub;
using namespace zub::test;

namespace {

// A picture with a different colour in every pixel, so that a swapped row or column shows.
QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 40, y * 50, 255 - x * 20));
    return image;
}

QImage paletted(int width, int height, int colours) {
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < colours; ++i) palette.append(qRgb(i * 7 % 256, 255 - i, i * 13 % 256));
    image.setColorTable(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<uint>((x + 3 * y) % colours));
    return image;
}

// What 5 bits per channel keep of a colour.
QRgb fiveBits(QRgb c) {
    return qRgb(qRed(c) & 0xF8, qGreen(c) & 0xF8, qBlue(c) & 0xF8);
}

} // namespace

TEST(BmpWriter, WritesTheStandardLayout) {
    const std::string file = encodeBmp(gradient(3, 2), 24);
    ASSERT_EQ(file.size(), 14u + 40u + 2 * 12u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(get32(file, 2), file.size());
    EXPECT_EQ(get32(file, 10), 54u);
    EXPECT_EQ(get32(file, 14), 40u);
    EXPECT_EQ(get32(file, 18), 3u);
    EXPECT_EQ(get32(file, 22), 2u); // positive: rows bottom-up
    EXPECT_EQ(get32(file, 28) & 0xffff, 24u);
    EXPECT_EQ(get32(file, 30), 0u);
    // The first stored row is the bottom one: pixel (0, 1) is (0, 50, 255), stored BGR.
    EXPECT_EQ(file.substr(54, 3), std::string("\xFF\x32\x00", 3));
    // Rows are padded to 4 bytes: 9 bytes of pixels, 3 of padding.
    EXPECT_EQ(file.substr(63, 3), std::string(3, '\0'));
}

TEST(BmpWriter, EveryDepthRoundTripsItsPixels) {
    const QImage colours = gradient(5, 3);
    for (int depth : {24, 32, 16}) {
        const DecodedBitmap back = decodeBmp(encodeBmp(colours, depth));
        EXPECT_EQ(back.bitsPerPixel, depth);
        ASSERT_EQ(back.image.size(), colours.size());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const QRgb expected =
                    depth == 16 ? fiveBits(colours.pixel(x, y)) : colours.pixel(x, y);
                EXPECT_EQ(back.image.pixel(x, y), expected) << depth << " at " << x << "," << y;
            }
    }
    for (auto [depth, count] : {std::pair{8, 200}, std::pair{4, 16}, std::pair{1, 2}}) {
        QImage image = paletted(9, 4, count);
        if (depth == 1) image = image.convertToFormat(QImage::Format_Mono);
        const DecodedBitmap back = decodeBmp(encodeBmp(image, depth));
        EXPECT_EQ(back.bitsPerPixel, depth);
        EXPECT_EQ(back.image.colorTable(), image.colorTable()) << depth;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(back.image.pixelIndex(x, y), image.pixelIndex(x, y)) << depth;
    }
}

TEST(BmpWriter, ALargeTrueColourBitmapRoundTripsEveryPixel) {
    // Large enough for the reader's huge-page memory, and of a width that leaves a remainder
    // after groups of four pixels.
    QImage image(1203, 700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (x * 7 + y * 3) & 0xff));
    for (int depth : {24, 32}) {
        const DecodedBitmap back = decodeBmp(encodeBmp(image, depth));
        ASSERT_EQ(back.image.size(), image.size());
        EXPECT_EQ(back.image.format(), QImage::Format_RGB32);
        EXPECT_TRUE(back.image == image) << depth;
    }
}

TEST(BmpWriter, APalettedFileSavesBackAsTheSameBytes) {
    for (int depth : {1, 4, 8}) {
        BmpFields s;
        s.width = 7;
        s.height = 3;
        s.bitsPerPixel = depth;
        const int colours = depth == 8 ? 5 : 1 << depth; // a short palette, and full ones
        for (int i = 0; i < colours; ++i) s.palette.push_back(qRgb(10 * i, 255 - 10 * i, 3 * i));
        std::vector<std::string> rows;
        for (int y = 0; y < 3; ++y) {
            std::string row;
            const int rowBits = 7 * depth;
            for (int b = 0; b < (rowBits + 7) / 8; ++b)
                row.push_back(
                    static_cast<char>(depth == 8 ? (b + y) % colours : 0x5A ^ (b * 17 + y)));
            // Whatever lies beyond the last pixel in the last byte does not count.
            if (rowBits % 8)
                row.back() = static_cast<char>(row.back() & (0xFF << (8 - rowBits % 8)));
            rows.push_back(row);
        }
        s.pixels = paddedRows(rows);
        const std::string file = bmpFile(s);
        const DecodedBitmap read = decodeBmp(file);
        EXPECT_EQ(encodeBmp(read.image, read.bitsPerPixel), file) << depth;
    }
}

TEST(BmpWriter, ImagesOfOtherFormatsAreConvertedToTheDepth) {
    // A captured screen bitmap with alpha is written opaque at 24 bits.
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(255, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(0, 0, 255, 255));
    const DecodedBitmap colour = decodeBmp(encodeBmp(argb, 24));
    EXPECT_EQ(colour.image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(colour.image.pixel(1, 0), qRgb(0, 0, 255));

    // A black-and-white picture at 1 bit keeps its two colours.
    QImage bw(3, 1, QImage::Format_RGB32);
    bw.setPixel(0, 0, qRgb(0, 0, 0));
    bw.setPixel(1, 0, qRgb(255, 255, 255));
    bw.setPixel(2, 0, qRgb(0, 0, 0));
    const DecodedBitmap mono = decodeBmp(encodeBmp(bw, 1));
    EXPECT_EQ(mono.bitsPerPixel, 1);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(mono.image.pixel(x, 0), bw.pixel(x, 0));

    // Depths between the standard ones go up to the next.
    EXPECT_EQ(decodeBmp(encodeBmp(bw, 15)).bitsPerPixel, 16);
    EXPECT_EQ(decodeBmp(encodeBmp(bw, 30)).bitsPerPixel, 32);
}
