#pragma once

#include "platform/x11/x11_selection_reader.h"
#include "platform/xdg/kept_clipboard.h"

#include <chrono>

namespace zub {

// The X11 CLIPBOARD selection, kept (see KeptClipboard): other programs' copies are read by
// X11SelectionReader without waiting on them, and the program's own writes are served by Qt. An
// owner that quits or gives the clipboard up leaves the kept copy answering.
class X11Clipboard : public KeptClipboard {
public:
    // Needs the QGuiApplication.
    X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    bool isSettled() const override { return m_reader.isIdle(); }

    // How long another program may take to answer before its copy is given up.
    void setReadTimeout(std::chrono::milliseconds timeout) { m_reader.setTimeout(timeout); }

private:
    bool publish() override;

    X11SelectionReader m_reader;
};

} // namespace zub
