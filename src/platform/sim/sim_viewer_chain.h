#pragma once

#include "platform/viewer_chain.h"

#include <functional>
#include <map>
#include <vector>

namespace zub {

// A Windows clipboard viewer chain in memory. The system knows only the head; every member keeps
// its own next and passes notices on by itself. Members are the program's viewers and the
// viewers of other programs that a test adds. Those others are well-behaved: each records what
// it receives, passes every change notice to its next, and on a chain-changed notice either
// adopts the new next (when its next is the one leaving) or passes the notice on. The program's
// own viewers do only what the program does: a change notice runs clipboardChanged(), and a
// chain-changed notice gets the default handling, which is nothing.
//
// Like on Windows, a viewer joining (the program's or another) is sent a change notice at once,
// and a well-behaved other passes it on along the chain. Like on X11, while the clipboard is
// still reading a slow program's copy (see holdJoinNoticesWhile), the program's viewer gets that
// notice only when the copy has been read or given up, even when it has left meanwhile.
class SimViewerChain : public ViewerChain {
public:
    struct Message {
        enum Kind { Change, ChainChanged } kind = Change;
        // ChainChanged only: who leaves, and who follows it from now on.
        ViewerHandle removed = 0;
        ViewerHandle next = 0;
        bool operator==(const Message&) const = default;
    };
    // A notice sent to a handle that is no longer (or never was) a member.
    struct LostMessage {
        ViewerHandle to = 0;
        Message message;
        bool operator==(const LostMessage&) const = default;
    };

    ViewerHandle join(ClipboardViewer& viewer) override;
    void leave(ClipboardViewer& viewer, ViewerHandle next) override;
    void sendChainChanged(ViewerHandle to, ClipboardViewer& removed, ViewerHandle next) override;
    void forwardChange(ViewerHandle to) override;

    // Another program's viewer joins at the head; returns its handle.
    ViewerHandle addOtherViewer();
    // Another program's viewer leaves the chain the proper way, naming its own next.
    void removeOtherViewer(ViewerHandle other);
    // The system tells the head of the chain that the clipboard changed.
    void notifyChange();
    // While `unsettled` answers true, the join notice of the program's viewers waits.
    void holdJoinNoticesWhile(std::function<bool()> unsettled);
    // Delivers the waiting join notices to the viewers that heard of no change since joining.
    void releaseJoinNotices();

    // Every notice delivered to a viewer (the program's or another's), oldest first.
    const std::vector<Message>& received(ViewerHandle viewer) const;
    bool isMember(const ClipboardViewer& viewer) const;
    // The viewer's handle; 0 when it never joined. Stable once given.
    ViewerHandle handleOf(const ClipboardViewer& viewer) const;
    // Current members, the most recent joiner first; while everyone passes notices on properly
    // this is the chain's order, head first.
    std::vector<ViewerHandle> members() const { return m_members; }
    // Where the system sends change notices: the last joiner, or what the leaving head named.
    ViewerHandle head() const { return m_head; }
    // The member another program's viewer passes notices to.
    ViewerHandle nextOf(ViewerHandle other) const;
    const std::vector<LostMessage>& lostMessages() const { return m_lost; }

private:
    struct HeldNotice {
        ViewerHandle viewer;
        bool heard;
    };
    struct Viewer {
        ClipboardViewer* ours = nullptr; // null for another program's viewer
        ViewerHandle next = 0;
        std::vector<Message> received;
    };

    ViewerHandle handleFor(ClipboardViewer& viewer);
    ViewerHandle newHandle();
    ViewerHandle joinHandle(ViewerHandle handle);
    void leaveHandle(ViewerHandle handle, ViewerHandle next);
    bool isMemberHandle(ViewerHandle handle) const;
    void deliver(ViewerHandle to, const Message& message);

    // std::map keeps references valid while notices nest; nobody is ever erased, so a viewer's
    // history outlives its membership.
    std::map<ViewerHandle, Viewer> m_viewers;
    std::vector<ViewerHandle> m_members;
    ViewerHandle m_head = 0;
    ViewerHandle m_lastHandle = 0x10010;
    int m_depth = 0;
    std::vector<LostMessage> m_lost;
    std::function<bool()> m_unsettled;
    std::vector<HeldNotice> m_held;
};

} // namespace zub
