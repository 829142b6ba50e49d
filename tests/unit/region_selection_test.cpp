// The region selector's core: the rubber band's rectangle, its outline, and the picture it cuts
// from the frozen screen.

#include "grab/rubber_band.h"
#include "grab/selected_picture.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>

using namespace zub;

namespace {

// Every pixel tells where it is.
QRgb colourAt(int x, int y) {
    return qRgb(x % 256, y % 256, (x + y) % 256);
}

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, colourAt(x, y));
    return image;
}

SelectionRect drag(RubberBand& band, PixelPoint from, PixelPoint to) {
    band.press(from);
    band.moveTo({(from.x + to.x) / 2, (from.y + to.y) / 2});
    band.moveTo(to);
    band.release();
    return band.rect();
}

} // namespace

TEST(RubberBandTest, EveryDirectionOfADragGivesTheSameNormalisedRectangle) {
    RubberBand band;
    const SelectionRect expected{10, 10, 20, 15};
    EXPECT_EQ(drag(band, {10, 10}, {20, 15}), expected);
    EXPECT_EQ(drag(band, {20, 15}, {10, 10}), expected);
    EXPECT_EQ(drag(band, {20, 10}, {10, 15}), expected);
    EXPECT_EQ(drag(band, {10, 15}, {20, 10}), expected);
    EXPECT_EQ(band.anchor(), (PixelPoint{10, 15}));
    EXPECT_EQ(expected.width(), 10);
    EXPECT_EQ(expected.height(), 5);
}

TEST(RubberBandTest, APressStartsAnEmptyRectangleAtThePointAndMovesFollowOnlyWhileSelecting) {
    RubberBand band;
    EXPECT_FALSE(band.isSelecting());
    EXPECT_FALSE(band.moveTo({50, 60}));
    EXPECT_EQ(band.rect(), SelectionRect{});

    band.press({30, 40});
    EXPECT_TRUE(band.isSelecting());
    EXPECT_EQ(band.rect(), (SelectionRect{30, 40, 30, 40}));
    EXPECT_TRUE(band.rect().isEmpty());
    EXPECT_TRUE(band.moveTo({35, 20}));
    EXPECT_EQ(band.rect(), (SelectionRect{30, 20, 35, 40}));

    // The release keeps the rectangle of the last move: the grab takes it, and so does the next
    // grab that ends without a drag.
    band.release();
    EXPECT_FALSE(band.isSelecting());
    EXPECT_FALSE(band.moveTo({0, 0}));
    EXPECT_EQ(band.rect(), (SelectionRect{30, 20, 35, 40}));
}

TEST(RubberBandTest, ADragBackToItsOwnColumnOrRowCoversNoPixel) {
    RubberBand band;
    EXPECT_TRUE(drag(band, {10, 10}, {10, 50}).isEmpty());
    EXPECT_TRUE(drag(band, {10, 10}, {50, 10}).isEmpty());
    EXPECT_FALSE(drag(band, {10, 10}, {11, 11}).isEmpty());
}

TEST(RubberBandTest, TheRunHasOneBandThatKeepsItsRectangle) {
    RubberBand& band = runRubberBand();
    EXPECT_EQ(&band, &runRubberBand());
    drag(band, {1, 2}, {3, 4});
    EXPECT_EQ(runRubberBand().rect(), (SelectionRect{1, 2, 3, 4}));
}

TEST(RubberBandTest, EdgesFarApartDoNotOverflowTheSize) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    const SelectionRect wide{kMin, 0, kMax, 1};
    EXPECT_EQ(wide.width(), std::int64_t(kMax) - kMin);
    EXPECT_EQ(outlineStrips(wide).count, 1u);
}

TEST(OutlineTest, MarksEachPixelOfTheRectanglesBorderExactlyOnce) {
    for (const auto& [w, h] : {std::pair{1, 1},
                               {1, 7},
                               {7, 1},
                               {2, 2},
                               {2, 9},
                               {9, 2},
                               {3, 3},
                               {10, 5},
                               {1, 3},
                               {3, 1}}) {
        const SelectionRect rect{4, 6, 4 + w, 6 + h};
        std::multiset<std::pair<int, int>> marked;
        const OutlineStrips outline = outlineStrips(rect);
        ASSERT_LE(outline.count, 4u);
        for (std::size_t i = 0; i < outline.count; ++i) {
            const SelectionRect& s = outline.strips[i];
            ASSERT_FALSE(s.isEmpty()) << w << "x" << h;
            for (int y = s.top; y < s.bottom; ++y)
                for (int x = s.left; x < s.right; ++x) marked.insert({x, y});
        }
        std::multiset<std::pair<int, int>> border;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (x == rect.left || x == rect.right - 1 || y == rect.top || y == rect.bottom - 1)
                    border.insert({x, y});
        EXPECT_EQ(marked, border) << w << "x" << h;
    }
}

TEST(OutlineTest, AnEmptyRectangleHasNone) {
    EXPECT_EQ(outlineStrips({5, 5, 5, 9}).count, 0u);
    EXPECT_EQ(outlineStrips({5, 5, 9, 5}).count, 0u);
    EXPECT_EQ(outlineStrips({}).count, 0u);
}

TEST(OutlineTest, DotsAlternateAlongEveryRowAndColumn) {
    for (int y = -3; y < 3; ++y)
        for (int x = -3; x < 3; ++x) {
            EXPECT_NE(isOutlineDot(x, y), isOutlineDot(x + 1, y)) << x << "," << y;
            EXPECT_NE(isOutlineDot(x, y), isOutlineDot(x, y + 1)) << x << "," << y;
        }
}

TEST(SelectedPictureTest, TakesTheColumnsAndRowsBeforeTheFarEdges) {
    const QImage frozen = pattern(64, 48);
    const QImage part = selectedPicture(frozen, {10, 10, 20, 15});
    ASSERT_EQ(part.size(), QSize(10, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(part.pixel(x, y), colourAt(10 + x, 10 + y));
    // One pixel is a picture too.
    const QImage one = selectedPicture(frozen, {63, 47, 64, 48});
    ASSERT_EQ(one.size(), QSize(1, 1));
    EXPECT_EQ(one.pixel(0, 0), colourAt(63, 47));
}

TEST(SelectedPictureTest, ARectangleThatCoversNoPixelTakesTheWholeFrozenScreen) {
    const QImage frozen = pattern(64, 48);
    for (const SelectionRect& rect :
         {SelectionRect{}, SelectionRect{10, 10, 10, 30}, SelectionRect{10, 10, 30, 10}}) {
        const QImage whole = selectedPicture(frozen, rect);
        EXPECT_EQ(whole, frozen);
    }
}

TEST(SelectedPictureTest, BeyondTheFrozenScreenIsBlackAndTheSizeIsKept) {
    const QImage frozen = pattern(64, 48);
    // The pointer left the primary screen, to the right and above.
    const QImage part = selectedPicture(frozen, {60, -2, 70, 3});
    ASSERT_EQ(part.size(), QSize(10, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = 60 + x < 64 && y - 2 >= 0;
            ASSERT_EQ(part.pixel(x, y), inside ? colourAt(60 + x, y - 2) : qRgb(0, 0, 0))
                << x << "," << y;
        }
    // Wholly outside: all black, still of its size.
    const QImage outside = selectedPicture(frozen, {100, 100, 104, 102});
    ASSERT_EQ(outside.size(), QSize(4, 2));
    EXPECT_EQ(outside.pixel(3, 1), qRgb(0, 0, 0));
}

TEST(SelectedPictureTest, ScaledScreensAreCutInPixels) {
    QImage frozen = pattern(64, 48);
    frozen.setDevicePixelRatio(2);
    const QImage part = selectedPicture(frozen, {62, 40, 66, 42});
    ASSERT_EQ(part.size(), QSize(4, 2));
    EXPECT_EQ(part.pixel(0, 0), colourAt(62, 40));
    EXPECT_EQ(part.pixel(1, 1), colourAt(63, 41));
    EXPECT_EQ(part.pixel(2, 0), qRgb(0, 0, 0));
}
