#include "platform/x11/x11_screen.h"

#include "platform/error.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

namespace zub {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

constexpr std::uint32_t kWatchedEvents =
    XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;

xcb_connection_t* qtConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The window that shows `window` among the root's children: the frame a reparenting window
// manager put it in, or the window itself. None once it is destroyed.
xcb_window_t shownBy(xcb_connection_t* c, xcb_window_t window) {
    xcb_window_t current = window;
    // Window managers nest a frame or two; the bound only guards against a loop in a reply.
    for (int depth = 0; depth < 16; ++depth) {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr), &std::free);
        if (!tree) return XCB_WINDOW_NONE;
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) return current;
        current = tree->parent;
    }
    return current;
}

bool isViewable(xcb_connection_t* c, xcb_window_t window) {
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr),
        &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

void watch(xcb_connection_t* c, xcb_window_t window, std::uint32_t events) {
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &events);
}

void dropEvents(xcb_connection_t* c) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) std::free(event);
}

// The program's windows that it has hidden, and that the window system may still show.
std::vector<xcb_window_t> hiddenWindows() {
    std::vector<xcb_window_t> windows;
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (!window->isVisible() && window->handle())
            windows.push_back(static_cast<xcb_window_t>(window->winId()));
    return windows;
}

} // namespace

X11Screen::X11Screen() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_watch = connection;
}

X11Screen::~X11Screen() {
    if (m_watch) xcb_disconnect(m_watch);
}

QSize X11Screen::primarySize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
}

QImage X11Screen::grab() {
    waitUntilHiddenWindowsAreGone();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
    if (shot.isNull()) throw Error("Cannot grab the screen");
    return shot.toImage();
}

void X11Screen::beep() {
    QApplication::beep();
}

void X11Screen::waitUntilHiddenWindowsAreGone() {
    xcb_connection_t* qt = qtConnection();
    if (!m_watch || !qt) return;
    const std::vector<xcb_window_t> hidden = hiddenWindows();
    if (hidden.empty()) return;
    // The unmapping went out on Qt's connection: once a round trip there is answered, the server
    // has done it, and everything asked here comes after.
    xcb_flush(qt);
    std::free(xcb_get_input_focus_reply(qt, xcb_get_input_focus(qt), nullptr));

    const auto deadline = std::chrono::steady_clock::now() + m_unmapTimeout;
    dropEvents(m_watch);
    std::vector<xcb_window_t> watched;
    // Whether any hidden window is still shown. Watching starts before the look, so that an
    // unmapping between the two still wakes the wait.
    auto anyStillShown = [&] {
        bool shown = false;
        for (xcb_window_t window : hidden) {
            const xcb_window_t top = shownBy(m_watch, window);
            if (top == XCB_WINDOW_NONE) continue;
            if (std::find(watched.begin(), watched.end(), top) == watched.end()) {
                watch(m_watch, top, kWatchedEvents);
                watched.push_back(top);
            }
            if (isViewable(m_watch, top)) shown = true;
        }
        return shown;
    };
    while (anyStillShown()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        // What came in during the look is already queued, and would not wake the poll.
        if (xcb_generic_event_t* event = xcb_poll_for_event(m_watch)) {
            std::free(event);
            dropEvents(m_watch);
            continue;
        }
        xcb_flush(m_watch);
        pollfd descriptor{xcb_get_file_descriptor(m_watch), POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        // Whatever happened to a frame, the look is taken again.
        dropEvents(m_watch);
    }
    for (xcb_window_t window : watched) watch(m_watch, window, 0);
    // A window destroyed meanwhile answers the last requests with errors, dropped here.
    std::free(xcb_get_input_focus_reply(m_watch, xcb_get_input_focus(m_watch), nullptr));
    dropEvents(m_watch);
}

} // namespace zub
