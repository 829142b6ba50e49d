#pragma once

#include "platform/viewer_chain.h"

#include <QMetaObject>

#include <map>

namespace zub {

// X11 has no viewer chain: every client that wants to know subscribes on its own (Qt does it
// through XFixes). Joining subscribes the viewer to QClipboard::dataChanged; there is never a
// next viewer, so join returns 0 and forwarding has nowhere to go.
class X11ViewerChain : public ViewerChain {
public:
    X11ViewerChain() = default;
    ~X11ViewerChain() override;
    X11ViewerChain(const X11ViewerChain&) = delete;
    X11ViewerChain& operator=(const X11ViewerChain&) = delete;

    ViewerHandle join(ClipboardViewer& viewer) override;
    void leave(ClipboardViewer& viewer, ViewerHandle next) override;
    void sendChainChanged(ViewerHandle, ClipboardViewer&, ViewerHandle) override {}
    void forwardChange(ViewerHandle) override {}

private:
    std::map<ClipboardViewer*, QMetaObject::Connection> m_subscriptions;
};

} // namespace zub
