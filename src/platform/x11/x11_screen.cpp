#include "platform/x11/x11_screen.h"

#include "platform/error.h"
#include "platform/memory.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

// The depth-24 true-colour layout that QImage::Format_RGB32 shares on this machine: 32 bits a
// pixel, red in the high byte, in the host's byte order.
bool isRgb32(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    if (screen->root_depth != 24) return false;
    const bool littleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian) return false;
    bool wholeWords = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == 24) wholeWords = f.data->bits_per_pixel == 32;
    if (!wholeWords) return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                return v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                       v.data->blue_mask == 0xff;
    return false;
}

// Copies the server's pixels into a picture of their own, opaque: the server leaves the byte
// above the colours undefined.
QImage opaqueCopy(const std::uint32_t* pixels, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) throw Error("Out of memory");
    // A screenful is thousands of pages; faulted in one by one they cost more than the copy.
    adviseHugePages(image.constBits(), std::size_t(image.sizeInBytes()));
    const std::size_t perLine = std::size_t(size.width());
    for (int y = 0; y < size.height(); ++y) {
        const std::uint32_t* from = pixels + perLine * std::size_t(y);
        auto* to = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (std::size_t x = 0; x < perLine; ++x) to[x] = from[x] | 0xff000000u;
    }
    return image;
}

// Through a shared memory segment, so that the pixels do not travel through the socket. Null when
// the server cannot (a remote display, an X server without MIT-SHM).
QImage grabRootShared(xcb_connection_t* c, xcb_window_t root, QRect area) {
    const Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr), &std::free);
    if (!version) return {};
    const std::size_t bytes = std::size_t(area.width()) * std::size_t(area.height()) * 4;
    const int id = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return {};
    void* memory = ::shmat(id, nullptr, SHM_RDONLY);
    // Marked for removal at once: it goes when the last of the two detaches, even after a crash.
    ::shmctl(id, IPC_RMID, nullptr);
    if (memory == reinterpret_cast<void*>(-1)) return {};
    const xcb_shm_seg_t segment = xcb_generate_id(c);
    xcb_shm_attach(c, segment, std::uint32_t(id), 0);
    const Reply<xcb_shm_get_image_reply_t> reply(
        xcb_shm_get_image_reply(
            c,
            xcb_shm_get_image(c, root, std::int16_t(area.x()), std::int16_t(area.y()),
                              std::uint16_t(area.width()), std::uint16_t(area.height()), ~0u,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, segment, 0),
            nullptr),
        &std::free);
    xcb_shm_detach(c, segment);
    xcb_flush(c);
    QImage image;
    if (reply && reply->size >= bytes)
        image = opaqueCopy(static_cast<const std::uint32_t*>(memory), area.size());
    ::shmdt(memory);
    return image;
}

// The pixels of a rectangle of the root window, read straight into the picture's memory: Qt's
// own grab passes them through the socket, a pixmap and two conversions, which on a large screen
// is most of the wait before the selector shows. Null when the screen's layout is another.
QImage grabRoot(xcb_connection_t* c, QRect area, bool sharedMemory) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!screen || !isRgb32(setup, screen) || area.isEmpty()) return {};
    if (sharedMemory) {
        if (QImage shared = grabRootShared(c, screen->root, area); !shared.isNull()) return shared;
    }
    const Reply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                                          std::int16_t(area.x()), std::int16_t(area.y()),
                                          std::uint16_t(area.width()), std::uint16_t(area.height()),
                                          ~0u),
                            nullptr),
        &std::free);
    const std::size_t bytes = std::size_t(area.width()) * std::size_t(area.height()) * 4;
    if (!reply || std::size_t(xcb_get_image_data_length(reply.get())) < bytes) return {};
    return opaqueCopy(reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(reply.get())),
                      area.size());
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
    if (m_watch && screen) {
        const qreal scale = screen->devicePixelRatio();
        const QRect native((QPointF(screen->geometry().topLeft()) * scale).toPoint(),
                           primarySize());
        QImage shot = grabRoot(m_watch, native, m_sharedMemory);
        if (!shot.isNull()) {
            shot.setDevicePixelRatio(scale);
            return shot;
        }
    }
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
