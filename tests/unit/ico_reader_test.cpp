#include "images/ico_reader.h"
#include "picture_test_files.h"
#include "platform/error.h"

#include <gtest/gtest.h>

using namespace zub;
using namespace zub::test;

namespace {

// Red that 5 bits per channel hold exactly.
constexpr QRgb kRed = 0xfff80000;
constexpr QRgb kBlue = 0xff0000ff;

// A square whose left half is `colour` and whose right half is transparent.
QImage halfTransparent(int size, QRgb colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) image.setPixel(x, y, x < size / 2 ? colour : 0);
    return image;
}

// A paletted square: left half index 1 (`colour`), right half index 0 (transparent, so that the
// icon's mask covers it).
QImage halfPaletted(int size, QRgb colour, int colours) {
    QImage image(size, size, colours == 2 ? QImage::Format_Mono : QImage::Format_Indexed8);
    QList<QRgb> palette(colours, 0xff000000);
    palette[0] = 0;
    palette[1] = colour;
    image.setColorTable(palette);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) image.setPixel(x, y, x < size / 2 ? 1 : 0);
    return image;
}

QRgb at(const Picture& p, int x, int y) {
    return p.image().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

std::string errorOf(std::string bytes) {
    try {
        readIco(std::move(bytes));
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

// The opaque left half shows its colour, the right half is transparent.
void expectHalfTransparent(const Picture& p, QRgb colour, int size) {
    ASSERT_EQ(p.width(), size);
    ASSERT_EQ(p.height(), size);
    EXPECT_EQ(at(p, 0, 0), colour);
    EXPECT_EQ(at(p, size / 2 - 1, size - 1), colour);
    EXPECT_EQ(qAlpha(at(p, size / 2, 0)), 0);
    EXPECT_EQ(qAlpha(at(p, size - 1, size - 1)), 0);
}

} // namespace

TEST(IcoReader, ShowsTheImageClosestToThirtyTwoAndTheDeeperOfEquals) {
    const std::string file = icoFile({
        dibIcon(halfTransparent(16, kBlue), 32),
        dibIcon(halfPaletted(32, kBlue, 16), 4),
        dibIcon(halfTransparent(32, kRed), 32),
        dibIcon(halfTransparent(48, kBlue), 32),
    });
    const Picture p = readIco(file);
    EXPECT_EQ(p.format(), PictureFormat::Icon);
    EXPECT_TRUE(p.isTransparent());
    expectHalfTransparent(p, kRed, 32);
    EXPECT_EQ(p.fileBytes(), file);

    // Without a 32 × 32 image, the nearest one; of equally near ones, the first.
    const Picture nearest = readIco(
        icoFile({dibIcon(halfTransparent(16, kBlue), 32), dibIcon(halfTransparent(40, kRed), 32),
                 dibIcon(halfTransparent(64, kBlue), 32)}));
    expectHalfTransparent(nearest, kRed, 40);
    const Picture first = readIco(
        icoFile({dibIcon(halfTransparent(24, kRed), 32), dibIcon(halfTransparent(40, kBlue), 32)}));
    expectHalfTransparent(first, kRed, 24);
}

TEST(IcoReader, EveryKindOfImageShowsWithItsTransparency) {
    for (int bpp : {32, 24, 16}) {
        SCOPED_TRACE(bpp);
        expectHalfTransparent(readIco(icoFile({dibIcon(halfTransparent(32, kRed), bpp)})), kRed,
                              32);
    }
    for (auto [bpp, colours] :
         {std::pair{8, 256}, std::pair{8, 3}, std::pair{4, 16}, std::pair{1, 2}}) {
        SCOPED_TRACE(bpp);
        expectHalfTransparent(readIco(icoFile({dibIcon(halfPaletted(32, kRed, colours), bpp)})),
                              kRed, 32);
    }
    expectHalfTransparent(readIco(icoFile({pngIcon(halfTransparent(32, kBlue))})), kBlue, 32);
    // A 256 × 256 PNG, written as 0 × 0 in the directory.
    expectHalfTransparent(readIco(icoFile({pngIcon(halfTransparent(256, kBlue))})), kBlue, 256);
}

TEST(IcoReader, ThirtyTwoBitsWithoutAlphaTakeTheMask) {
    expectHalfTransparent(
        readIco(icoFile({dibIcon(halfTransparent(32, kRed), 32, /*noAlpha=*/true)})), kRed, 32);
}

TEST(IcoReader, TheBitmapsOwnSizeCountsNotTheDirectorys) {
    IconImage image = dibIcon(halfTransparent(24, kRed), 32);
    image.directoryWidth = 32;
    image.directoryHeight = 16;
    expectHalfTransparent(readIco(icoFile({image})), kRed, 24);
}

TEST(IcoReader, MalformedFilesAreNotValid) {
    const std::string valid = icoFile({dibIcon(halfTransparent(32, kRed), 32)});
    ASSERT_EQ(errorOf(valid), "no error");
    const std::string message = "Icon image is not valid";
    EXPECT_EQ(errorOf(""), message);
    EXPECT_EQ(errorOf(valid.substr(0, 10)), message); // the directory cut off
    auto changed = [&](std::size_t at, std::string_view bytes) {
        std::string file = valid;
        file.replace(at, bytes.size(), bytes);
        return errorOf(file);
    };
    EXPECT_EQ(changed(0, std::string("\x01", 1)), message);              // reserved
    EXPECT_EQ(changed(2, std::string("\x02", 1)), message);              // a cursor
    EXPECT_EQ(changed(4, std::string("\x00", 1)), message);              // no images
    EXPECT_EQ(changed(4, std::string("\x05", 1)), message);              // more images than entries
    EXPECT_EQ(changed(14, std::string("\xFF\xFF\x00\x00", 4)), message); // longer than the file
    EXPECT_EQ(changed(18, std::string("\xFF\xFF\xFF\x7F", 4)), message); // offset past the end
    EXPECT_EQ(changed(22, std::string("\x0C", 1)), message);             // a core header
    EXPECT_EQ(changed(22 + 12, std::string("\x02", 1)), message);        // two planes
    EXPECT_EQ(changed(22 + 14, std::string("\x03", 1)), message);        // 3 bits per pixel
    EXPECT_EQ(changed(22 + 16, std::string("\x01", 1)), message);        // compressed
    EXPECT_EQ(changed(22 + 4, std::string("\x00\x00\x01\x00", 4)), message); // wider than the data
    EXPECT_EQ(changed(22 + 8, std::string("\x00", 1)), message);             // no rows
    EXPECT_EQ(errorOf(valid.substr(0, valid.size() - 4)), message);          // the mask cut short

    // A PNG whose header claims more pixels than the program holds.
    std::string png = icoFile({pngIcon(halfTransparent(32, kBlue))});
    png.replace(22 + 16, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8));
    EXPECT_EQ(errorOf(png), message);
    // A PNG cut short.
    const std::string shortPng = icoFile({{std::string("\x89PNG\r\n\x1a\n", 8), 32, 32, 32}});
    EXPECT_EQ(errorOf(shortPng), message);
    // Garbage that is neither.
    EXPECT_EQ(errorOf(icoFile({{std::string(100, 'x'), 32, 32, 32}})), message);
}
