// The image page of the real program on a private X server: a bitmap opened through the real
// file dialog, typed in with xdotool, then dragged with the mouse.

#include "app/tform1.h"
#include "images/bmp_writer.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "platform/x11/x11_platform.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

namespace zub::e2e {
namespace {

// Every pixel tells where it is in the picture.
QRgb patternAt(int x, int y) {
    return qRgb(x % 256, y % 256, (x / 256 * 64 + y / 256 * 16) % 256);
}

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, patternAt(x, y));
    return image;
}

QImage screen(const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("screen.png"));
    if (!screenshot(path)) return {};
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

class ImagePaneProgramTest : public X11Test {
protected:
    std::unique_ptr<X11Platform> platform;
    std::unique_ptr<TForm1> form;
    QTemporaryDir folder;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        platform = std::make_unique<X11Platform>();
        form = std::make_unique<TForm1>(platform->services());
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        platform.reset();
    }
};

TEST_F(ImagePaneProgramTest, ABitmapOpenedThroughTheDialogMovesWithTheMouse) {
    const QString path = folder.filePath(QStringLiteral("picture.bmp"));
    {
        const std::string bytes = encodeBmp(pattern(900, 700), 24);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    // The dialog runs its own event loop; another thread plays the user at the keyboard: once the
    // dialog is on the screen, it types the file's path into it and presses Return. (A blocking
    // run: that thread has no event loop.)
    std::atomic<int> typed = -1;
    // Typing starts once the dialog is the active window with its name field focused: a slow
    // start (under the sanitizers, say) would otherwise lose the first keys. Once the whole name
    // stands in the field, the dialog's Open button is pressed: a Return typed while a slow
    // dialog still shows its completion list would go to that list instead. (Having been given a
    // whole path, the dialog may go to its folder and leave just the file's name in the field.)
    std::atomic<bool> ready = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        if (dialog->isActiveWindow() && qobject_cast<QLineEdit*>(dialog->focusWidget()))
            ready = true;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        const bool typedAll =
            name && (name->text() == path || name->text() == QFileInfo(path).fileName());
        if (typed == 0 && typedAll && buttons && buttons->button(QDialogButtonBox::Open))
            buttons->button(QDialogButtonBox::Open)->click();
    });
    watch.start(20);
    std::thread user([&] {
        for (int i = 0; i < 1500 && !ready; ++i) std::this_thread::sleep_for(20ms);
        typed = QProcess::execute(
            QStringLiteral("timeout"),
            {QStringLiteral("30"), QStringLiteral("xdotool"), QStringLiteral("search"),
             QStringLiteral("--sync"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             QStringLiteral("^Open$"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             QStringLiteral("%1"), QStringLiteral("type"), QStringLiteral("--delay"),
             QStringLiteral("5"), path});
    });
    // Should the typing go wrong, the dialog is cancelled rather than left waiting.
    QString leftInTheField;
    QTimer::singleShot(45s, form.get(), [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                leftInTheField = name->text();
            dialog->close();
        }
    });
    form->action(QStringLiteral("Action22"))->trigger();
    user.join();
    ASSERT_EQ(typed, 0);

    // The file is read off the window's thread.
    ImagePane* pane = form->imagePane();
    ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == 900; }))
        << "ready " << ready << ", field: " << leftInTheField.toStdString();
    ASSERT_EQ(pane->picture().height(), 700);
    // Opening leaves the scroll ranges alone; the next resize of the window fits them.
    EXPECT_EQ(pane->scrollBar1()->maximum(), 0);
    form->resize(form->width() + 20, form->height() + 10);
    ASSERT_TRUE(waitUntil([&] { return pane->scrollBar1()->maximum() > 100; }));

    const QPoint corner = pane->panel1()->mapToGlobal(QPoint(0, 0));
    const QPoint probe = corner + QPoint(5, 5);
    ASSERT_TRUE(waitUntil([&] { return screen(folder).pixel(probe) == patternAt(5, 5); }));

    // Press inside the picture, drag 40 left and 30 up, let go.
    const QPoint start = corner + QPoint(200, 150);
    auto at = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
    ASSERT_TRUE(xdotool(QStringList{QStringLiteral("mousemove")} + at(start)));
    ASSERT_TRUE(xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
    ASSERT_TRUE(xdotool(QStringList{QStringLiteral("mousemove")} + at(start - QPoint(20, 15))));
    ASSERT_TRUE(xdotool(QStringList{QStringLiteral("mousemove")} + at(start - QPoint(40, 30))));
    ASSERT_TRUE(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    ASSERT_TRUE(waitUntil([&] { return !ImagePane::panning(); }));
    EXPECT_EQ(pane->scrollBar1()->value(), 40);
    EXPECT_EQ(pane->scrollBar2()->value(), 30);

    // On the screen, the picture has moved with the mouse.
    ASSERT_TRUE(waitUntil([&] { return screen(folder).pixel(probe) == patternAt(45, 35); }));
    const QImage after = screen(folder);
    EXPECT_EQ(after.pixel(corner + QPoint(100, 60)), patternAt(140, 90));
}

} // namespace
} // namespace zub::e2e
