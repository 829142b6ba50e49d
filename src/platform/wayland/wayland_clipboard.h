#pragma once

#include "platform/wayland/data_control_session.h"
#include "platform/xdg/kept_clipboard.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <memory>

namespace zub {

// The Wayland clipboard through data-control, kept (see KeptClipboard). Other programs' copies
// are read on the session's thread and arrive here in the order they were made; the program's
// own writes are served from that thread too. Qt's own clipboard is never used: without the
// keyboard focus the compositor drops what it sets, and reading the program's own copy through
// it on this thread would wait on the very thread that has to answer.
//
// When the clipboard goes empty because the program that copied quit, the kept copy is put back
// on it as the program's own, so that it can still be pasted.
class WaylandClipboard : public KeptClipboard {
public:
    // Connects to the compositor that WAYLAND_DISPLAY names; see isActive().
    WaylandClipboard();
    ~WaylandClipboard() override;
    WaylandClipboard(const WaylandClipboard&) = delete;
    WaylandClipboard& operator=(const WaylandClipboard&) = delete;

    // Whether the compositor offers data-control; without it nothing is seen or set.
    bool isActive() const { return m_session->isActive(); }
    bool isSettled() const override { return m_pending == 0; }

    // How long another program may take to serve its copy before it is given up.
    void setReadTimeout(std::chrono::milliseconds timeout) { m_session->setTimeout(timeout); }

private:
    bool publish() override;
    void handle(DataControlEvent event);
    std::shared_ptr<const OwnContent> keptContent() const;

    // Events of the session's thread are handed to this thread through this object's queue.
    QObject m_receiver;
    std::uint64_t m_generation = 0;
    int m_pending = 0;
    // Last: its thread stops before the rest goes.
    std::unique_ptr<DataControlSession> m_session;
};

} // namespace zub
