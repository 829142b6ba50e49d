#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace zub::bench {

// Another program on the display that copies text, played by a thread with an X connection of
// its own, so that a benchmark can take the time of a copy from the moment the clipboard changes
// hands to the moment the window shows the result.
class ForeignCopier {
public:
    ForeignCopier();
    ~ForeignCopier();
    ForeignCopier(const ForeignCopier&) = delete;
    ForeignCopier& operator=(const ForeignCopier&) = delete;

    // Takes the clipboard with `text` (UTF-8); returns once the request is on its way.
    void copy(const std::string& text);

private:
    void serve();

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = 0, m_targets = 0, m_utf8 = 0;
    std::mutex m_mutex;
    std::string m_text;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace zub::bench
