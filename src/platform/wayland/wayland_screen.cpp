#include "platform/wayland/wayland_screen.h"

#include "platform/error.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>

namespace zub {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kScreencopyVersion = 3;
constexpr auto kFrameTimeout = 5s;

struct Globals {
    wl_shm* shm = nullptr;
    wl_output* output = nullptr;
    zwlr_screencopy_manager_v1* manager = nullptr;
};

struct Frame {
    std::uint32_t version = 1;
    std::uint32_t format = 0, width = 0, height = 0, stride = 0;
    bool described = false; // the shared-memory buffer it wants is known
    bool ready = false;
    bool failed = false;
    bool yInverted = false;
};

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t version) {
        auto* g = static_cast<Globals*>(data);
        if (std::strcmp(interface, wl_shm_interface.name) == 0 && !g->shm) {
            g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (std::strcmp(interface, wl_output_interface.name) == 0 && !g->output) {
            g->output =
                static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 1));
        } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
            g->manager = static_cast<zwlr_screencopy_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_screencopy_manager_v1_interface,
                                 std::min(version, kScreencopyVersion)));
        }
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

const zwlr_screencopy_frame_v1_listener kFrameListener = {
    // buffer: a shared-memory buffer of this layout will do
    [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width,
       std::uint32_t height, std::uint32_t stride) {
        auto* f = static_cast<Frame*>(data);
        f->format = format;
        f->width = width;
        f->height = height;
        f->stride = stride;
        // Before version 3 nothing else is offered, so the copy can start at once.
        if (f->version < 3) f->described = true;
    },
    [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
        static_cast<Frame*>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
    },
    [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
        static_cast<Frame*>(data)->ready = true;
    },
    [](void* data, zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->failed = true; },
    [](void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t,
       std::uint32_t) {},
    [](void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void* data, zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->described = true; },
};

QImage::Format imageFormat(std::uint32_t shmFormat) {
    switch (shmFormat) {
    case WL_SHM_FORMAT_XRGB8888:
        return QImage::Format_RGB32;
    case WL_SHM_FORMAT_ARGB8888:
        return QImage::Format_ARGB32;
    case WL_SHM_FORMAT_XBGR8888:
        return QImage::Format_RGBX8888;
    case WL_SHM_FORMAT_ABGR8888:
        return QImage::Format_RGBA8888;
    default:
        return QImage::Format_Invalid;
    }
}

// Dispatches the display's events until `done` holds, the deadline passes or the connection
// breaks; whether `done` holds.
template <typename Done> bool dispatchUntil(wl_display* display, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kFrameTimeout;
    while (!done()) {
        if (wl_display_dispatch_pending(display) < 0) return false;
        if (done()) return true;
        wl_display_flush(display);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        if (wl_display_prepare_read(display) != 0) continue;
        if (::poll(&fd, 1, int(left.count())) <= 0) {
            wl_display_cancel_read(display);
            continue;
        }
        if (wl_display_read_events(display) < 0) return false;
    }
    return true;
}

// Pixels of the output, or a null picture when the compositor would not give them.
QImage copyOutput(wl_display* display, const Globals& globals) {
    Frame frame;
    frame.version = zwlr_screencopy_manager_v1_get_version(globals.manager);
    zwlr_screencopy_frame_v1* handle =
        zwlr_screencopy_manager_v1_capture_output(globals.manager, 0, globals.output);
    zwlr_screencopy_frame_v1_add_listener(handle, &kFrameListener, &frame);
    QImage result;
    const QImage::Format format = [&] {
        if (!dispatchUntil(display, [&] { return frame.described || frame.failed; }))
            return QImage::Format_Invalid;
        return frame.failed ? QImage::Format_Invalid : imageFormat(frame.format);
    }();
    const std::size_t size = std::size_t(frame.stride) * frame.height;
    const int fd = format == QImage::Format_Invalid || size == 0
                       ? -1
                       : ::memfd_create("zub-screen", MFD_CLOEXEC);
    if (fd >= 0 && ::ftruncate(fd, off_t(size)) == 0) {
        void* pixels = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (pixels != MAP_FAILED) {
            wl_shm_pool* pool = wl_shm_create_pool(globals.shm, fd, int(size));
            wl_buffer* buffer = wl_shm_pool_create_buffer(
                pool, 0, int(frame.width), int(frame.height), int(frame.stride), frame.format);
            zwlr_screencopy_frame_v1_copy(handle, buffer);
            if (dispatchUntil(display, [&] { return frame.ready || frame.failed; }) &&
                frame.ready) {
                // A copy of its own: the shared memory goes with this function (converting to
                // the format it already has would only share it).
                result = QImage(static_cast<const uchar*>(pixels), int(frame.width),
                                int(frame.height), int(frame.stride), format)
                             .convertToFormat(QImage::Format_RGB32)
                             .copy();
                if (frame.yInverted) result = result.mirrored(false, true);
            }
            wl_buffer_destroy(buffer);
            wl_shm_pool_destroy(pool);
            ::munmap(pixels, size);
        }
    }
    if (fd >= 0) ::close(fd);
    zwlr_screencopy_frame_v1_destroy(handle);
    return result;
}

} // namespace

QSize WaylandScreen::primarySize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() * screen->devicePixelRatio() : QSize();
}

QImage WaylandScreen::grab() {
    // The window hidden for the grab went at least the grab's delay ago, and the compositor
    // draws the next frame without it: what is copied is what the screen now shows.
    wl_display* display = wl_display_connect(nullptr);
    if (!display) throw Error(kNoScreenCopy);
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    QImage shot;
    const bool offered = globals.manager && globals.shm && globals.output;
    if (offered) shot = copyOutput(display, globals);
    if (globals.manager) zwlr_screencopy_manager_v1_destroy(globals.manager);
    if (globals.output) wl_output_destroy(globals.output);
    if (globals.shm) wl_shm_destroy(globals.shm);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!offered) throw Error(kNoScreenCopy);
    if (shot.isNull()) throw Error("Cannot grab the screen");
    return shot;
}

void WaylandScreen::beep() {
    QApplication::beep();
}

} // namespace zub
