// Picture capture in the real program on a private X server: another program copies a PNG with
// xclip; in automatic mode the picture shows in the image pane and, with saving on, a bitmap file
// with the same pixels lands in the picture folder.

#include "app/tform1.h"
#include "images/bmp_reader.h"
#include "images/image_pane.h"
#include "picture_program_test.h"
#include "platform/x11/x11_platform.h"
#include "x11_tools.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

QRgb patternAt(int x, int y) {
    return qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 256);
}

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, patternAt(x, y));
    return image;
}

std::string png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

class PictureCaptureProgramTest : public PictureProgramTest {
protected:
    void SetUp() override {
        PictureProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        form->action(QStringLiteral("Action15"))->trigger();
    }
};

TEST_F(PictureCaptureProgramTest, APngCopiedByAnotherProgramIsShownAndSavedAsTheSamePixels) {
    const QImage image = pattern(700, 500);
    const QString pngPath = sandbox.filePath(QStringLiteral("copied.png"));
    ASSERT_TRUE(image.save(pngPath, "PNG"));
    {
        auto owner = copyWithXclip(png(image), QStringLiteral("image/png"));
        ASSERT_TRUE(owner);
        ImagePane* pane = form->imagePane();
        ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == 700; }));
        EXPECT_EQ(pane->picture().height(), 500);
        ASSERT_TRUE(waitUntil([&] { return savedFiles().size() == 1; }));
    }
    // The owner has quit; what was taken stays on show and on disk.
    ImagePane* pane = form->imagePane();
    EXPECT_EQ(pane->picture().image().convertToFormat(QImage::Format_RGB32), image);
    EXPECT_EQ(fs::current_path(), program);

    // On the screen: the pane shows the picture from its top-left corner.
    const QString shot = sandbox.filePath(QStringLiteral("screen.png"));
    const QPoint corner = pane->panel1()->mapToGlobal(QPoint(0, 0));
    ASSERT_TRUE(waitUntil([&] {
        return screenshot(shot) && QImage(shot).pixel(corner + QPoint(9, 4)) == patternAt(9, 4);
    }));
    const QImage screen = QImage(shot).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(screen.pixel(corner + QPoint(300, 200)), patternAt(300, 200));

    // The file: a standard bitmap at the display's depth whose pixels equal the PNG's, as a
    // program of its own (ImageMagick) sees them.
    const fs::path bmp = savedFiles().front();
    EXPECT_EQ(bmp.extension(), ".bmp");
    QFile file(QString::fromStdString(bmp.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(
        decodeBmp(std::string_view(bytes.constData(), std::size_t(bytes.size()))).bitsPerPixel, 24);
    const ToolResult compare = runTool(
        QStringLiteral("compare"), {QStringLiteral("-metric"), QStringLiteral("AE"), pngPath,
                                    QString::fromStdString(bmp.string()), QStringLiteral("null:")});
    ASSERT_TRUE(compare.finished) << compare.err.toStdString();
    EXPECT_EQ(compare.err.trimmed(), QByteArray("0")) << "pixels that differ";
}

} // namespace
} // namespace zub::e2e
