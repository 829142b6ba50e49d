// The X11 screen service on a private X server: what it grabs is what the screen shows, through
// shared memory or through the socket, and a window the program has just hidden is not in it,
// however long the window manager takes to take its frame away.

#include "platform/x11/x11_screen.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>

namespace zub::e2e {
namespace {

QRgb patternAt(int x, int y) {
    return qRgb(x % 256, y % 256, (x / 256 * 64 + y / 256 * 16) % 256);
}

QString findExecutable(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

// Pixels of `picture` that differ from the pattern inside `area`.
int wrongPixels(const QImage& picture, QRect area) {
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            wrong += picture.pixel(x, y) != patternAt(x, y);
    return wrong;
}

class X11ScreenTest : public X11Test {
protected:
    QTemporaryDir folder;
    QRect screen;

    // The pattern on the desktop: the root window's background, which the server repaints at once
    // where a window is unmapped (a window of this process would wait for its next paint).
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        screen = QGuiApplication::primaryScreen()->geometry();
        QImage image(screen.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, patternAt(x, y));
        const QString path = folder.filePath(QStringLiteral("pattern.png"));
        ASSERT_TRUE(image.save(path));
        ASSERT_TRUE(setRootPicture(path));
    }
};

TEST_F(X11ScreenTest, GrabsThePrimaryScreenPixelForPixelEitherWay) {
    X11Screen x11;
    EXPECT_EQ(x11.primarySize(), screen.size());
    for (const bool shared : {true, false}) {
        x11.setSharedMemory(shared);
        const QImage picture = x11.grab();
        ASSERT_EQ(picture.size(), screen.size()) << "shared memory " << shared;
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(wrongPixels(picture, picture.rect()), 0) << "shared memory " << shared;
    }
}

// The window that holds `window` among the root's children (its frame under a reparenting window
// manager), and where that lies on the screen. None while the window is not framed.
struct Frame {
    xcb_window_t id = XCB_WINDOW_NONE;
    QRect geometry;
};
Frame frameOf(xcb_connection_t* c, xcb_window_t window) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree) return {};
    const xcb_window_t parent = tree->parent;
    const xcb_window_t root = tree->root;
    std::free(tree);
    if (parent == root) return {};
    xcb_window_t top = parent;
    for (;;) {
        tree = xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr);
        if (!tree) return {};
        const bool atRoot = tree->parent == root;
        const xcb_window_t up = tree->parent;
        std::free(tree);
        if (atRoot) break;
        top = up;
    }
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr);
    if (!g) return {};
    Frame frame{top,
                QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width)};
    std::free(g);
    return frame;
}

TEST_F(X11ScreenTest, UnderAWindowManagerTheGrabWaitsUntilTheFrameIsGone) {
    if (findExecutable(QStringLiteral("twm")).isEmpty()) GTEST_SKIP() << "twm is not installed";
    // A window manager that frames every window where the program places it.
    const QString rc = folder.filePath(QStringLiteral("twmrc"));
    {
        QFile file(rc);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("UsePPosition \"on\"\nRandomPlacement\nNoGrabServer\nTitleFont \"fixed\"\n"
                   "ResizeFont \"fixed\"\nMenuFont \"fixed\"\nIconFont \"fixed\"\n"
                   "IconManagerFont \"fixed\"\n");
    }
    OwnedProcess wm(new QProcess);
    wm->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    wm->start(QStringLiteral("twm"), {QStringLiteral("-f"), rc});
    ASSERT_TRUE(wm->waitForStarted(5000));

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(c));
    X11Screen x11;
    QWidget cover;
    cover.setWindowTitle(QStringLiteral("cover"));
    cover.setAutoFillBackground(true);
    cover.setPalette(QPalette(Qt::red));
    cover.setGeometry(200, 150, 400, 300);
    for (int round = 0; round < 5; ++round) {
        cover.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
        Frame frame;
        ASSERT_TRUE(waitUntil([&] {
            frame = frameOf(c, static_cast<xcb_window_t>(cover.winId()));
            return frame.id != XCB_WINDOW_NONE &&
                   x11.grab().pixel(cover.geometry().center()) == qRgb(255, 0, 0);
        })) << "round "
            << round;
        // A busy window manager: it takes the frame away only a while after the window hid,
        // and the grab, which starts at once, has to wait for it.
        const qint64 pid = wm->processId();
        ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
        cover.hide();
        std::thread resume([pid] {
            std::this_thread::sleep_for(300ms);
            ::kill(pid_t(pid), SIGCONT);
        });
        const QImage picture = x11.grab();
        resume.join();
        EXPECT_EQ(wrongPixels(picture, frame.geometry.intersected(screen)), 0) << "round " << round;
    }
    xcb_disconnect(c);
}

} // namespace
} // namespace zub::e2e
