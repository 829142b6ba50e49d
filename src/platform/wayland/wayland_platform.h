#pragma once

#include "platform/qt/qt_dialogs.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/wayland/portal_hot_key.h"
#include "platform/wayland/wayland_clipboard.h"
#include "platform/wayland/wayland_screen.h"
#include "platform/xdg/kept_viewer_chain.h"
#include "platform/xdg/posix_system_files.h"
#include "platform/xdg/xdg_shell.h"

namespace zub {

// Every real service of a Wayland desktop whose compositor offers data-control. Create it after
// the QApplication and let it go before.
struct WaylandPlatform {
    WaylandClipboard clipboard;
    KeptViewerChain viewerChain{clipboard};
    PortalHotKey hotKey;
    QtDialogs dialogs;
    PosixSystemFiles files;
    XdgShell shell;
    SystemClock clock;
    WaylandScreen screen;

    // Whether the compositor that WAYLAND_DISPLAY names offers data-control, so that this
    // backend can work there.
    static bool compositorOffersDataControl() {
        return DataControlSession::compositorOffersDataControl();
    }

    Services services() {
        return Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen};
    }
};

} // namespace zub
