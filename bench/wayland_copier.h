#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

struct wl_display;

namespace zub::bench {

// Another program on the Wayland desktop that copies text, played by a thread with a connection
// of its own that sets the clipboard through data-control, so that a benchmark can take the time
// of a copy from the moment it is made to the moment the window shows it.
class WaylandCopier {
public:
    WaylandCopier();
    ~WaylandCopier();
    WaylandCopier(const WaylandCopier&) = delete;
    WaylandCopier& operator=(const WaylandCopier&) = delete;

    bool isConnected() const { return m_display != nullptr; }
    // Makes `text` (UTF-8) the clipboard; returns at once.
    void copy(const std::string& text);

private:
    void serve();

    wl_display* m_display = nullptr;
    int m_wake = -1;
    std::mutex m_mutex;
    std::string m_pending;
    bool m_hasPending = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace zub::bench
