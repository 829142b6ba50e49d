#pragma once

#include "platform/qt/qt_dialogs.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_hot_key.h"
#include "platform/x11/x11_screen.h"
#include "platform/x11/x11_viewer_chain.h"
#include "platform/xdg/posix_system_files.h"
#include "platform/xdg/xdg_shell.h"

namespace zub {

// Every real service of the X11 desktop, for main() and the end-to-end tests. Create it after
// the QApplication and let it go before: the hot key works on Qt's X connection.
struct X11Platform {
    X11Clipboard clipboard;
    X11ViewerChain viewerChain{clipboard};
    X11HotKey hotKey;
    QtDialogs dialogs;
    PosixSystemFiles files;
    XdgShell shell;
    SystemClock clock;
    X11Screen screen;

    Services services() {
        return Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen};
    }
};

} // namespace zub
