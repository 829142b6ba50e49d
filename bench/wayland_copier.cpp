#include "wayland_copier.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace zub::bench {
namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
};

struct Source {
    zwlr_data_control_source_v1* source;
    std::string text;
};

const wl_registry_listener kRegistry = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) {
        auto* g = static_cast<Globals*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
            g->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
            g->manager = static_cast<zwlr_data_control_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

const zwlr_data_control_source_v1_listener kSource = {
    [](void* data, zwlr_data_control_source_v1*, const char*, int fd) {
        const std::string& text = static_cast<Source*>(data)->text;
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += std::size_t(n);
        }
        ::close(fd);
    },
    [](void*, zwlr_data_control_source_v1*) {},
};

} // namespace

WaylandCopier::WaylandCopier() {
    m_display = wl_display_connect(nullptr);
    if (!m_display) return;
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { serve(); });
}

WaylandCopier::~WaylandCopier() {
    if (!m_display) return;
    m_stop = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(m_wake, &one, sizeof one);
    m_thread.join();
    ::close(m_wake);
    wl_display_disconnect(m_display);
}

void WaylandCopier::copy(const std::string& text) {
    {
        const std::lock_guard lock(m_mutex);
        m_pending = text;
        m_hasPending = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(m_wake, &one, sizeof one);
}

void WaylandCopier::serve() {
    Globals globals;
    wl_registry* registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(registry, &kRegistry, &globals);
    wl_display_roundtrip(m_display);
    if (!globals.manager || !globals.seat) return;
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(globals.manager, globals.seat);
    std::vector<std::unique_ptr<Source>> sources;
    while (!m_stop) {
        while (wl_display_prepare_read(m_display) != 0) wl_display_dispatch_pending(m_display);
        wl_display_flush(m_display);
        pollfd fds[2] = {{wl_display_get_fd(m_display), POLLIN, 0}, {m_wake, POLLIN, 0}};
        ::poll(fds, 2, -1);
        if (fds[0].revents & POLLIN)
            wl_display_read_events(m_display);
        else
            wl_display_cancel_read(m_display);
        wl_display_dispatch_pending(m_display);
        if (!(fds[1].revents & POLLIN)) continue;
        std::uint64_t count = 0;
        [[maybe_unused]] const auto n = ::read(m_wake, &count, sizeof count);
        const std::lock_guard lock(m_mutex);
        if (!m_hasPending) continue;
        m_hasPending = false;
        auto source = std::make_unique<Source>(
            Source{zwlr_data_control_manager_v1_create_data_source(globals.manager), m_pending});
        zwlr_data_control_source_v1_add_listener(source->source, &kSource, source.get());
        zwlr_data_control_source_v1_offer(source->source, "text/plain;charset=utf-8");
        zwlr_data_control_device_v1_set_selection(device, source->source);
        wl_display_flush(m_display);
        sources.push_back(std::move(source));
    }
    for (const auto& source : sources) zwlr_data_control_source_v1_destroy(source->source);
    zwlr_data_control_device_v1_destroy(device);
    wl_display_flush(m_display);
}

} // namespace zub::bench
