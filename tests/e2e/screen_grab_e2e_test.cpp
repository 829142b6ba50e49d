// The screen grab of the real program on a private X server: a known picture on the screen, the
// command with a delay of one second, a drag with xdotool on the region selector, and the picture
// read back from the clipboard by another program.

#include "../under_sanitizer.h"
#include "app/tform1.h"
#include "grab/tform5.h"
#include "images/image_pane.h"
#include "images/picture.h"
#include "platform/memory.h"
#include "platform/x11/x11_platform.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <unistd.h>

#include <fstream>

namespace zub::e2e {
namespace {

// Every pixel of the screen tells where it is.
QRgb patternAt(int x, int y) {
    return qRgb(x % 256, y % 256, (x / 256 * 64 + y / 256 * 16) % 256);
}

QImage pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, patternAt(x, y));
    return image;
}

long residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

QStringList at(QPoint p) {
    return {QString::number(p.x()), QString::number(p.y())};
}

class ScreenGrabProgramTest : public X11Test {
protected:
    std::unique_ptr<QLabel> backdrop;
    std::unique_ptr<X11Platform> platform;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The desktop under the program: a window that shows the pattern over the whole screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        backdrop = std::make_unique<QLabel>();
        backdrop->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
        backdrop->setPixmap(QPixmap::fromImage(pattern(screen.size())));
        backdrop->setGeometry(screen);
        backdrop->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(backdrop.get()));

        platform = std::make_unique<X11Platform>();
        form = std::make_unique<TForm1>(platform->services());
        form->setGeometry(100, 100, 700, 500);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // A delay of one second.
        form->findChild<QComboBox*>(QStringLiteral("ComboBox4"))->setCurrentIndex(0);
    }
    void TearDown() override {
        form.reset();
        platform.reset();
        backdrop.reset();
    }

    TForm5* selector() const {
        for (TForm5* s : form->findChildren<TForm5*>())
            if (s->isVisible()) return s;
        return nullptr;
    }

    // The command, then the selector once the delay has passed and it is on the screen.
    TForm5* startGrab() {
        form->action(QStringLiteral("Action21"))->trigger();
        if (!waitUntil([&] { return selector() != nullptr; })) return nullptr;
        TForm5* shown = selector();
        return QTest::qWaitForWindowExposed(shown) ? shown : nullptr;
    }

    // The user drags from one point of the screen to another with the left button.
    static bool drag(QPoint from, QPoint to) {
        return xdotool(QStringList{QStringLiteral("mousemove")} + at(from)) &&
               xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}) &&
               xdotool(QStringList{QStringLiteral("mousemove")} + at((from + to) / 2)) &&
               xdotool(QStringList{QStringLiteral("mousemove")} + at(to)) &&
               xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    }

    // What another program pastes as a picture.
    static QImage pastedPicture() {
        const std::optional<std::string> png = readWithXclip(QStringLiteral("image/png"));
        if (!png) return {};
        return QImage::fromData(QByteArray::fromStdString(*png), "PNG")
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(ScreenGrabProgramTest, ADragOverTheHiddenWindowPutsThoseScreenPixelsOnTheClipboard) {
    const QRect window = form->frameGeometry();
    ASSERT_TRUE(startGrab());
    EXPECT_FALSE(form->isVisible());

    // From bottom right to top left, inside the place where the window was before it hid.
    const QPoint from = window.topLeft() + QPoint(320, 250);
    const QPoint to = window.topLeft() + QPoint(20, 50);
    ASSERT_TRUE(drag(from, to));
    ASSERT_TRUE(waitUntil([&] { return form->isVisible() && !selector(); }));

    const QImage picture = pastedPicture();
    ASSERT_EQ(picture.size(), QSize(300, 200));
    int wrong = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            wrong += picture.pixel(x, y) != patternAt(to.x() + x, to.y() + y);
    EXPECT_EQ(wrong, 0) << "pixels that are not the screen's under the hidden window";
}

TEST_F(ScreenGrabProgramTest, AClickGivesTheWholeScreenWithTheWindowInItWhenItStays) {
    form->findChild<QCheckBox*>(QStringLiteral("CheckBox2"))->setChecked(false);
    ASSERT_TRUE(startGrab());
    EXPECT_TRUE(form->isVisible());
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("5"),
                         QStringLiteral("click"), QStringLiteral("1")}));
    ASSERT_TRUE(waitUntil([&] { return !selector(); }));

    const QImage picture = pastedPicture();
    ASSERT_EQ(picture.size(), QGuiApplication::primaryScreen()->geometry().size());
    EXPECT_EQ(picture.pixel(5, 5), patternAt(5, 5));
    EXPECT_EQ(picture.pixel(1279, 799), patternAt(1279, 799));
    // The window stayed on the screen, and so it is in the picture.
    const QPoint inside = form->geometry().center();
    EXPECT_NE(picture.pixel(inside), patternAt(inside.x(), inside.y()));
}

TEST_F(ScreenGrabProgramTest, InAutomaticModeTheGrabShowsInTheImagePane) {
    form->action(QStringLiteral("Action15"))->trigger();
    ASSERT_TRUE(startGrab());
    ASSERT_TRUE(drag({40, 30}, {140, 90}));
    ImagePane* pane = form->imagePane();
    ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == 100; }));
    const QImage shown = pane->picture().image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(100, 60));
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            wrong += shown.pixel(x, y) != patternAt(40 + x, 30 + y);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(pastedPicture().size(), QSize(100, 60));
}

TEST_F(ScreenGrabProgramTest, TwentyGrabsLeaveTheMemoryWhereItWas) {
    settleMemoryPolicy(); // as the program does at start
    // The first grab brings in what every grab needs once.
    ASSERT_TRUE(startGrab());
    ASSERT_TRUE(drag({10, 10}, {50, 40}));
    ASSERT_TRUE(waitUntil([&] { return !selector(); }));
    waitUntil([] { return false; }, 300ms);
    const long before = residentBytes();

    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(startGrab()) << "grab " << i;
        ASSERT_TRUE(drag({10 + i, 10}, {60 + i, 50}));
        ASSERT_TRUE(waitUntil([&] { return !selector(); })) << "grab " << i;
    }
    waitUntil([] { return false; }, 300ms);
    EXPECT_EQ(form->findChildren<TForm5*>().size(), 0);
    EXPECT_EQ(pastedPicture().size(), QSize(50, 40));
    // Each frozen screen is 4 MB; twenty of them kept would be 80.
    if (!test::underAddressSanitizer()) {
        EXPECT_LT(residentBytes() - before, 6L << 20);
    }
}

} // namespace
} // namespace zub::e2e
