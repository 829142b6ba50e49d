#include "platform/xdg/kept_viewer_chain.h"

#include "platform/xdg/kept_clipboard.h"

#include <QObject>

#include <algorithm>

namespace zub {

KeptViewerChain::KeptViewerChain(KeptClipboard& clipboard) : m_clipboard(clipboard) {
    m_clipboard.setChangeHandler([this] { changed(); });
    m_clipboard.setSettledHandler([this] { settled(); });
}

KeptViewerChain::~KeptViewerChain() {
    m_clipboard.setChangeHandler({});
    m_clipboard.setSettledHandler({});
}

ViewerHandle KeptViewerChain::join(ClipboardViewer& viewer) {
    if (!isMember(&viewer)) m_members.push_back(&viewer);
    // Windows tells a new viewer of the current content before SetClipboardViewer returns, and
    // manual capture rests on that.
    if (m_clipboard.isSettled()) {
        viewer.clipboardChanged();
    } else if (std::ranges::none_of(m_waiting,
                                    [&](const Waiting& w) { return w.viewer == &viewer; })) {
        QObject* object = dynamic_cast<QObject*>(&viewer);
        m_waiting.push_back(Waiting{&viewer, object, object != nullptr, false});
    }
    return 0;
}

void KeptViewerChain::leave(ClipboardViewer& viewer, ViewerHandle) {
    std::erase(m_members, &viewer);
}

void KeptViewerChain::changed() {
    // A viewer may join or leave while it is told; each is told once, if still a member.
    const std::vector<ClipboardViewer*> members = m_members;
    for (Waiting& w : m_waiting)
        if (isMember(w.viewer)) w.heard = true;
    for (ClipboardViewer* viewer : members)
        if (isMember(viewer)) viewer->clipboardChanged();
}

void KeptViewerChain::settled() {
    std::vector<Waiting> waiting;
    waiting.swap(m_waiting);
    for (const Waiting& w : waiting) {
        if (w.isObject && !w.alive) continue;
        // A member that heard of a change since it joined knows the content already.
        if (!w.heard) w.viewer->clipboardChanged();
    }
}

bool KeptViewerChain::isMember(const ClipboardViewer* viewer) const {
    return std::ranges::find(m_members, viewer) != m_members.end();
}

} // namespace zub
