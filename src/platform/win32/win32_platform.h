#pragma once

#include "platform/qt/qt_dialogs.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_hot_key.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_files.h"
#include "platform/win32/win32_viewer_chain.h"

namespace zub {

// Every real service of Windows, for main() and the tests that run under Wine. Create it after
// the QApplication (the dialogs are Qt's) and let it go before.
struct Win32Platform {
    Win32Clipboard clipboard;
    Win32ViewerChain viewerChain;
    Win32HotKey hotKey;
    QtDialogs dialogs;
    Win32SystemFiles files;
    Win32Shell shell;
    SystemClock clock;
    Win32Screen screen;

    Services services() {
        return Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen};
    }
};

} // namespace zub
