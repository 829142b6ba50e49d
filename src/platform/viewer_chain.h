#pragma once

#include <cstdint>

namespace zub {

// A window in the clipboard viewer chain, as the chain knows it; 0 is the null handle.
using ViewerHandle = std::uint32_t;

// What the chain calls on the program's main window.
class ClipboardViewer {
public:
    virtual ~ClipboardViewer() = default;
    // The clipboard changed (the chain's "draw clipboard" notification).
    virtual void clipboardChanged() = 0;
};

// Membership of the clipboard viewer chain, shaped after the Windows chain: each member is told
// of a change and passes the notice on to the member that followed it when it joined.
class ViewerChain {
public:
    virtual ~ViewerChain() = default;

    // Puts `viewer` at the head of the chain and returns the member that was there before (the
    // viewer's next one; 0 when the chain was empty). Before returning, the chain notifies the
    // new member once, synchronously, of the current clipboard content.
    virtual ViewerHandle join(ClipboardViewer& viewer) = 0;

    // Takes `viewer` out of the chain; `next` is the member that followed it.
    virtual void leave(ClipboardViewer& viewer, ViewerHandle next) = 0;

    // Tells `to` that `removed` left the chain and `next` now follows it. Nothing when to is 0.
    virtual void sendChainChanged(ViewerHandle to, ClipboardViewer& removed, ViewerHandle next) = 0;

    // Passes a change notification on to `to`. Nothing when to is 0.
    virtual void forwardChange(ViewerHandle to) = 0;
};

} // namespace zub
