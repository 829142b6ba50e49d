#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace zub::bench {

// Another program on the display that copies text or a picture, played by a thread with an X connection of
// its own, so that a benchmark can take the time of a copy from the moment the clipboard changes
// hands to the moment the window shows the result.
class ForeignCopier {
public:
    ForeignCopier();
    ~ForeignCopier();
    ForeignCopier(const ForeignCopier&) = delete;
    ForeignCopier& operator=(const ForeignCopier&) = delete;

    // Takes the clipboard with `bytes` of the type `target` (UTF-8 text unless told, "image/png"
    // for a picture); returns once the request is on its way.
    void copy(const std::string& bytes, const char* target = "UTF8_STRING");

private:
    void serve();

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = 0, m_targets = 0;
    std::mutex m_mutex;
    xcb_atom_t m_target = 0;
    std::string m_bytes;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace zub::bench
