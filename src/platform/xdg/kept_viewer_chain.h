#pragma once

#include "platform/viewer_chain.h"

#include <QPointer>

#include <vector>

namespace zub {

class KeptClipboard;

// X11 and Wayland have no viewer chain: every client that wants to know watches the clipboard on
// its own. Joining subscribes the viewer to the changes the KeptClipboard reports; there is never
// a next viewer, so join returns 0 and forwarding has nowhere to go.
//
// The immediate notice of a join tells the viewer of the current content. While another
// program's copy is still being read, the current content is not known yet: the notice then
// comes when it is, also to a viewer that has left again meanwhile (a manual capture).
class KeptViewerChain : public ViewerChain {
public:
    explicit KeptViewerChain(KeptClipboard& clipboard);
    ~KeptViewerChain() override;
    KeptViewerChain(const KeptViewerChain&) = delete;
    KeptViewerChain& operator=(const KeptViewerChain&) = delete;

    ViewerHandle join(ClipboardViewer& viewer) override;
    void leave(ClipboardViewer& viewer, ViewerHandle next) override;
    void sendChainChanged(ViewerHandle, ClipboardViewer&, ViewerHandle) override {}
    void forwardChange(ViewerHandle) override {}

private:
    // A viewer waiting for its join notice. When the viewer is a QObject (the main window is),
    // the notice is dropped if the viewer has been destroyed by then.
    struct Waiting {
        ClipboardViewer* viewer;
        QPointer<QObject> alive;
        bool isObject;
        bool heard;
    };

    void changed();
    void settled();
    bool isMember(const ClipboardViewer* viewer) const;

    KeptClipboard& m_clipboard;
    std::vector<ClipboardViewer*> m_members;
    std::vector<Waiting> m_waiting;
};

} // namespace zub
