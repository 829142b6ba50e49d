#pragma once

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/hot_key.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/system_files.h"
#include "platform/viewer_chain.h"

namespace zub {

// Everything the program needs from the system, handed to the main window at construction:
// main() passes the real backends, tests the simulated ones.
struct Services {
    Clipboard& clipboard;
    ViewerChain& viewerChain;
    HotKey& hotKey;
    Dialogs& dialogs;
    SystemFiles& files;
    Shell& shell;
    Clock& clock;
    Screen& screen;
};

} // namespace zub
