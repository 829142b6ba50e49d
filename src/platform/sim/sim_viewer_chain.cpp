#include "platform/sim/sim_viewer_chain.h"

#include <algorithm>
#include <stdexcept>

namespace zub {
namespace {

// A chain whose links form a loop would pass a notice round for ever (on Windows, until the stack
// runs out); a test should hear about it instead.
constexpr int kMaxNesting = 256;

class NestingGuard {
public:
    explicit NestingGuard(int& depth) : m_depth(depth) {
        if (++m_depth > kMaxNesting) {
            --m_depth;
            throw std::logic_error("clipboard viewer chain passes a notice round in a loop");
        }
    }
    ~NestingGuard() { --m_depth; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    int& m_depth;
};

} // namespace

ViewerHandle SimViewerChain::join(ClipboardViewer& viewer) {
    return joinHandle(handleFor(viewer));
}

void SimViewerChain::leave(ClipboardViewer& viewer, ViewerHandle next) {
    leaveHandle(handleFor(viewer), next);
}

void SimViewerChain::sendChainChanged(ViewerHandle to, ClipboardViewer& removed,
                                      ViewerHandle next) {
    deliver(to, Message{Message::ChainChanged, handleFor(removed), next});
}

void SimViewerChain::forwardChange(ViewerHandle to) {
    deliver(to, Message{Message::Change});
}

ViewerHandle SimViewerChain::addOtherViewer() {
    const ViewerHandle handle = newHandle();
    m_viewers.emplace(handle, Viewer{});
    joinHandle(handle);
    return handle;
}

void SimViewerChain::removeOtherViewer(ViewerHandle other) {
    leaveHandle(other, m_viewers.at(other).next);
}

void SimViewerChain::notifyChange() {
    deliver(m_head, Message{Message::Change});
}

void SimViewerChain::holdJoinNoticesWhile(std::function<bool()> unsettled) {
    m_unsettled = std::move(unsettled);
}

void SimViewerChain::releaseJoinNotices() {
    std::vector<HeldNotice> held;
    held.swap(m_held);
    for (const HeldNotice& notice : held) {
        if (notice.heard) continue;
        Viewer& viewer = m_viewers.at(notice.viewer);
        viewer.received.push_back(Message{Message::Change});
        viewer.ours->clipboardChanged();
    }
}

const std::vector<SimViewerChain::Message>& SimViewerChain::received(ViewerHandle viewer) const {
    return m_viewers.at(viewer).received;
}

bool SimViewerChain::isMember(const ClipboardViewer& viewer) const {
    const ViewerHandle handle = handleOf(viewer);
    return handle != 0 && isMemberHandle(handle);
}

ViewerHandle SimViewerChain::handleOf(const ClipboardViewer& viewer) const {
    for (const auto& [handle, known] : m_viewers) {
        if (known.ours == &viewer) return handle;
    }
    return 0;
}

ViewerHandle SimViewerChain::nextOf(ViewerHandle other) const {
    return m_viewers.at(other).next;
}

ViewerHandle SimViewerChain::handleFor(ClipboardViewer& viewer) {
    if (const ViewerHandle known = handleOf(viewer)) return known;
    const ViewerHandle handle = newHandle();
    m_viewers.emplace(handle, Viewer{&viewer, 0, {}});
    return handle;
}

ViewerHandle SimViewerChain::newHandle() {
    // Spaced like real window handles, so that none of them is mistaken for a count in a failure.
    m_lastHandle += 4;
    return m_lastHandle;
}

ViewerHandle SimViewerChain::joinHandle(ViewerHandle handle) {
    const ViewerHandle previous = m_head;
    std::erase(m_members, handle);
    m_members.insert(m_members.begin(), handle);
    m_head = handle;
    m_viewers.at(handle).next = previous;
    // The newcomer is told at once, before the call that joined it returns.
    if (m_viewers.at(handle).ours && m_unsettled && m_unsettled()) {
        if (std::ranges::none_of(m_held, [&](const HeldNotice& h) { return h.viewer == handle; }))
            m_held.push_back(HeldNotice{handle, false});
    } else {
        deliver(handle, Message{Message::Change});
    }
    return previous;
}

void SimViewerChain::leaveHandle(ViewerHandle handle, ViewerHandle next) {
    std::erase(m_members, handle);
    if (m_head == handle) {
        m_head = next;
        return;
    }
    // The system tells the head; the members pass it along until it reaches the one whose next
    // is leaving.
    deliver(m_head, Message{Message::ChainChanged, handle, next});
}

bool SimViewerChain::isMemberHandle(ViewerHandle handle) const {
    return std::find(m_members.begin(), m_members.end(), handle) != m_members.end();
}

void SimViewerChain::deliver(ViewerHandle to, const Message& message) {
    if (to == 0) return;
    if (!isMemberHandle(to)) {
        m_lost.push_back(LostMessage{to, message});
        return;
    }
    NestingGuard guard(m_depth);
    Viewer& viewer = m_viewers.at(to);
    viewer.received.push_back(message);
    if (message.kind == Message::Change)
        for (HeldNotice& held : m_held)
            if (held.viewer == to) held.heard = true;
    if (viewer.ours) {
        if (message.kind == Message::Change) viewer.ours->clipboardChanged();
        return;
    }
    if (message.kind == Message::Change) {
        deliver(viewer.next, message);
    } else if (viewer.next == message.removed) {
        viewer.next = message.next;
    } else {
        deliver(viewer.next, message);
    }
}

} // namespace zub
