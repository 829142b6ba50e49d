#pragma once

#include "platform/services.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_hot_key.h"
#include "platform/sim/sim_screen.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system_files.h"
#include "platform/sim/sim_viewer_chain.h"

#include <optional>
#include <string>

namespace zub {

// One simulated system for a test: every service, wired together the way Windows wires them
// (each change the program makes to the clipboard is announced to the head of the viewer chain).
struct SimPlatform {
    SimClipboard clipboard;
    SimViewerChain viewerChain;
    SimHotKey hotKey;
    SimDialogs dialogs;
    SimSystemFiles files;
    SimShell shell;
    SimClock clock;
    SimScreen screen;

    SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Services services();

    // Another program copies text: the clipboard holds just that text, and the head of the viewer
    // chain is told.
    void copyFromOtherProgram(std::string bytes);
    // The same, with any content; `secret` marks it the way password managers do.
    void copyFromOtherProgram(std::optional<std::string> text, std::optional<QImage> image,
                              bool secret = false);
    // A program that is slow to answer copies: nothing is told until slowProgramAnswers(), and
    // slowProgramGivenUp() drops its copy unread, as the real clipboard does after a timeout.
    // Copies made meanwhile are told after it, in order.
    void copyFromSlowProgram(std::string bytes);
    void slowProgramAnswers();
    void slowProgramGivenUp();
};

} // namespace zub
