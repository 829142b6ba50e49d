// Pictures from a hostile world in the real program on a private X server: files that once hung
// the metafile reader, held it for minutes or asked it for a gigabyte, selected in the real open
// dialog and opened; large pictures copied by another program with automatic saving on. The
// window's event loop is watched all the while: it must never stop for more than 100 ms.

#include "../unit/picture_test_files.h"
#include "app/tform1.h"
#include "cliplist/clip_list.h"
#include "images/image_pane.h"
#include "platform/qt/picture_preview_pane.h"
#include "platform/qt/serial_worker.h"
#include "platform/x11/x11_platform.h"
#include "sandbox_files.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

constexpr auto kMostStall = 100ms;

std::string png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The header of a PNG of `width` × `height` and nothing else: its size is all that is read of
// a picture over the program's limit.
std::string pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    auto big = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16 & 0xff),
                           static_cast<char>(v >> 8 & 0xff), static_cast<char>(v & 0xff)};
    };
    auto chunk = [&](std::string type, const std::string& data) {
        return big(static_cast<std::uint32_t>(data.size())) + type + data + big(crc32(type + data));
    };
    const std::string header = big(width) + big(height) + std::string("\x08\x02\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IEND", "");
}

class HostilePicturesProgramTest : public X11Test {
protected:
    QTemporaryDir sandbox;
    fs::path program;
    std::unique_ptr<X11Platform> platform;
    std::unique_ptr<SandboxFiles> files;
    std::unique_ptr<TForm1> form;
    fs::path savedFolder;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(sandbox.isValid());
        savedFolder = fs::current_path();
        program = fs::path(sandbox.path().toStdString()) / "program";
        fs::create_directory(program);
        platform = std::make_unique<X11Platform>();
        files = std::make_unique<SandboxFiles>(program);
        const Services services = platform->services();
        form = std::make_unique<TForm1>(Services{services.clipboard, services.viewerChain,
                                                 services.hotKey, services.dialogs, *files,
                                                 services.shell, services.clock, services.screen});
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        files.reset();
        platform.reset();
        std::error_code ignored;
        fs::current_path(savedFolder, ignored);
    }

    bool pictureWorkDone() {
        auto* worker = form->findChild<SerialWorker*>(QString(), Qt::FindDirectChildrenOnly);
        return worker && !worker->isBusy();
    }
    // Closes the message box the window shows, if it shows one; its text.
    QString closeMessage() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return {};
        const QString text = box->text();
        box->accept();
        return text;
    }
    std::size_t savedPictures() {
        std::size_t count = 0;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(program / "Zub图像", error))
            count += entry.path().extension() == ".bmp";
        return count;
    }
};

TEST_F(HostilePicturesProgramTest, NoPictureFileOrCopiedPictureHoldsTheWindow) {
    const QSize wide(4000, 4000);
    struct File {
        const char* name;
        std::string bytes;
        QString preview; // the pane's caption once the file has been read
    };
    const std::vector<File> hostile = {
        {"bitmap-header-29.wmf",
         test::wmfWithBitmap({50, 30}, QImage(5, 3, QImage::Format_RGB32), 0x1D),
         QStringLiteral("Picture:")},
        {"polyline.emf", test::emfWithPolyline(wide, 20000), QStringLiteral(" (4000x4000)")},
        {"rectangles.emf", test::emfWithRectangles(wide, 200000), QStringLiteral("Picture:")},
        {"rectangles.wmf", test::wmfWithRectangles(wide, 100000), QStringLiteral("Picture:")},
        {"huge.emf", test::emfWithRectangle({16384, 16384}, {0, 0, 10, 10}, 0xffff0000),
         QStringLiteral(" (4096x4096)")},
        {"huge.wmf", test::wmfWithRectangle({16384, 16384}, 96, {0, 0, 10, 10}, 0xff0000ff),
         QStringLiteral(" (4096x4096)")},
    };
    for (const File& file : hostile) {
        QFile out(sandbox.filePath(QString::fromLatin1(file.name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.bytes.data(), static_cast<qint64>(file.bytes.size()));
    }

    const StallMeter meter;
    ImagePane* pane = form->imagePane();
    for (const File& file : hostile) {
        SCOPED_TRACE(file.name);
        const QString path = sandbox.filePath(QString::fromLatin1(file.name));
        // In the real open dialog the file is selected, its preview awaited, then opened.
        QString caption;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* preview = dialog->findChild<PicturePreviewPane*>();
            dialog->selectFile(path);
            // As a click on the file in the list tells the pane.
            emit dialog->currentChanged(path);
            waitUntil([&] { return !preview->isReading(); }, 60s);
            caption = preview->caption()->text();
            static_cast<QDialog*>(dialog)->accept();
        });
        form->action(QStringLiteral("Action22"))->trigger();
        EXPECT_EQ(caption, file.preview);
        ASSERT_TRUE(waitUntil([&] { return pictureWorkDone(); }, 60s));
        const QString message = closeMessage();
        if (file.preview == QStringLiteral("Picture:")) {
            EXPECT_EQ(message, QStringLiteral("Metafile is not valid."));
        } else {
            EXPECT_EQ(message, QString());
            EXPECT_EQ(QStringLiteral(" (%1x%2)")
                          .arg(pane->picture().width())
                          .arg(pane->picture().height()),
                      file.preview);
        }
    }

    // Pictures other programs copy, with automatic saving on: up to the program's own limit
    // they are shown and saved; over it, one message says so, and the text of the same copy is
    // captured all the same.
    form->action(QStringLiteral("Action15"))->trigger();
    QImage deep(6000, 4000, QImage::Format_RGBA64);
    deep.fill(QColor(10, 200, 30));
    QImage large(8000, 8000, QImage::Format_RGB32);
    large.fill(qRgb(200, 10, 30));
    const std::vector<std::pair<std::string, QSize>> copies = {
        {png(large), {8000, 8000}},
        {png(deep), {6000, 4000}},
        {png(QImage(4000, 3000, QImage::Format_RGB32)), {4000, 3000}},
    };
    large = deep = QImage();
    for (const auto& [bytes, size] : copies) {
        SCOPED_TRACE(size.width());
        auto owner = copyWithXclip(bytes, QStringLiteral("image/png"));
        ASSERT_TRUE(owner);
        ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == size.width(); }, 60s));
        EXPECT_EQ(pane->picture().height(), size.height());
        ASSERT_TRUE(waitUntil([&] { return pictureWorkDone(); }, 60s));
        EXPECT_GE(savedPictures(), 1u);
        EXPECT_EQ(closeMessage(), QString());
    }

    const QString header = sandbox.filePath(QStringLiteral("header.png"));
    {
        QFile out(header);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        const std::string bytes = pngHeaderOnly(20000, 20000);
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    const int entries = static_cast<int>(form->clipList().size());
    auto owner = startSelectionOwner({QStringLiteral("--png"), header}, QStringLiteral("caption"));
    ASSERT_TRUE(owner);
    QString message;
    ASSERT_TRUE(waitUntil([&] { return !(message = closeMessage()).isEmpty(); }, 30s));
    EXPECT_EQ(message, QStringLiteral("Bitmap image is too large (20000 x 20000 pixels)."));
    EXPECT_EQ(static_cast<int>(form->clipList().size()), entries + 1);
    EXPECT_EQ(form->clipList().text(form->clipList().size() - 1), "caption");
    EXPECT_EQ(pane->picture().width(), 4000);
    waitUntil([] { return false; }, 500ms);
    EXPECT_EQ(closeMessage(), QString()) << "one message, not two";

    EXPECT_LT(meter.longest(), kMostStall);
}

} // namespace
} // namespace zub::e2e
