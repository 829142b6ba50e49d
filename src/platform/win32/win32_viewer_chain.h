#pragma once

#include "platform/viewer_chain.h"
#include "platform/win32/win32_window.h"

#include <map>
#include <memory>

namespace zub {

// The Windows clipboard viewer chain itself. Each of the program's viewers is a hidden window of
// its own in the chain: SetClipboardViewer puts it at the head, and the system sends it
// WM_DRAWCLIPBOARD, also once, at once, while SetClipboardViewer runs, which is when join()
// tells the viewer.
//
// Windows leaves the chain to its members: a member must pass WM_CHANGECBCHAIN on, or take the
// named window as its next when its next is the one leaving, or every viewer behind it stops
// hearing of changes. The viewer's own record of its next would go stale then, so the chain
// keeps each member's next here, mended on that message, and sends what a viewer passes on to
// the next it was given at its join to the mended one instead.
class Win32ViewerChain : public ViewerChain {
public:
    Win32ViewerChain();
    ~Win32ViewerChain() override;
    Win32ViewerChain(const Win32ViewerChain&) = delete;
    Win32ViewerChain& operator=(const Win32ViewerChain&) = delete;

    ViewerHandle join(ClipboardViewer& viewer) override;
    void leave(ClipboardViewer& viewer, ViewerHandle next) override;
    void sendChainChanged(ViewerHandle to, ClipboardViewer& removed, ViewerHandle next) override;
    void forwardChange(ViewerHandle to) override;

    // The window that stands for `viewer` in the chain; null before its first join.
    HWND windowOf(const ClipboardViewer& viewer) const;

private:
    struct Member {
        ClipboardViewer* viewer = nullptr;
        std::unique_ptr<win32::MessageWindow> window;
        bool inChain = false;
        // What SetClipboardViewer returned, as the viewer holds it, and the next it has now.
        HWND given = nullptr;
        HWND next = nullptr;
        // The notice being handled: what passing it on must repeat.
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        int handling = 0;
    };

    Member& memberFor(ClipboardViewer& viewer);
    bool message(Member& member, UINT message, WPARAM wParam, LPARAM lParam);
    // `to` as the viewer meant it: its next as the chain has mended it since.
    HWND mended(const Member* member, ViewerHandle to) const;
    const Member* handlingMember() const;

    std::map<const ClipboardViewer*, std::unique_ptr<Member>> m_members;
};

} // namespace zub
