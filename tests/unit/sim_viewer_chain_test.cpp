#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_viewer_chain.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace zub;
using Message = SimViewerChain::Message;

namespace zub {
// Readable failures.
void PrintTo(const SimViewerChain::Message& m, std::ostream* out) {
    if (m.kind == SimViewerChain::Message::Change) {
        *out << "Change";
    } else {
        *out << "ChainChanged(removed " << m.removed << ", next " << m.next << ")";
    }
}
} // namespace zub

namespace {

const Message kChange{Message::Change};

Message chainChanged(ViewerHandle removed, ViewerHandle next) {
    return Message{Message::ChainChanged, removed, next};
}

// Behaves like the main window: keeps the handle that join returned as its next viewer and
// passes every change notice on to it first.
class ProgramViewer : public ClipboardViewer {
public:
    explicit ProgramViewer(SimViewerChain& chain) : m_chain(chain) {}

    void clipboardChanged() override {
        ++notices;
        joinHadReturned.push_back(!m_joining);
        m_chain.forwardChange(next);
        if (onChange) onChange();
    }
    void join() {
        m_joining = true;
        const ViewerHandle previous = m_chain.join(*this);
        m_joining = false;
        next = previous;
    }
    void leave() {
        m_chain.leave(*this, next);
        m_chain.sendChainChanged(next, *this, next);
    }

    ViewerHandle next = 0;
    int notices = 0;
    std::vector<bool> joinHadReturned;
    std::function<void()> onChange;

private:
    SimViewerChain& m_chain;
    bool m_joining = false;
};

} // namespace

TEST(SimViewerChain, JoinReturnsThePreviousHeadAndNotifiesBeforeReturning) {
    SimViewerChain chain;
    ProgramViewer ours(chain);

    ours.join();
    EXPECT_EQ(ours.next, 0u);
    EXPECT_EQ(ours.notices, 1);
    ours.leave();

    const ViewerHandle other = chain.addOtherViewer();
    ours.join();
    EXPECT_EQ(ours.next, other);
    EXPECT_EQ(ours.notices, 2);
    EXPECT_EQ(ours.joinHadReturned, (std::vector<bool>{false, false}));
    EXPECT_EQ(chain.head(), chain.handleOf(ours));
    EXPECT_EQ(chain.members(), (std::vector<ViewerHandle>{chain.handleOf(ours), other}));
    // The handle stays the same from one join to the next.
    const ViewerHandle handle = chain.handleOf(ours);
    ours.leave();
    ours.join();
    EXPECT_EQ(chain.handleOf(ours), handle);
}

TEST(SimViewerChain, ManualCaptureForwardsToTheNextViewerOfThePreviousJoin) {
    // During a join the window still holds the next viewer from before, so the first capture
    // of a run forwards nowhere and the second one reaches the viewer the first join returned.
    SimViewerChain chain;
    const ViewerHandle other = chain.addOtherViewer();
    ProgramViewer ours(chain);

    ours.join();
    ours.leave();
    EXPECT_EQ(chain.received(other),
              (std::vector<Message>{kChange, chainChanged(chain.handleOf(ours), other)}));

    ours.join();
    ours.leave();
    EXPECT_EQ(chain.received(other),
              (std::vector<Message>{kChange, chainChanged(chain.handleOf(ours), other), kChange,
                                    chainChanged(chain.handleOf(ours), other)}));
    EXPECT_FALSE(chain.isMember(ours));
    EXPECT_EQ(chain.head(), other);
}

TEST(SimViewerChain, ChangesTravelFromTheHeadThroughEveryMember) {
    SimViewerChain chain;
    const ViewerHandle first = chain.addOtherViewer();
    const ViewerHandle second = chain.addOtherViewer();
    // A viewer that joins is told at once and passes the notice on.
    EXPECT_EQ(chain.received(first), (std::vector<Message>{kChange, kChange}));
    EXPECT_EQ(chain.nextOf(second), first);

    ProgramViewer ours(chain);
    ours.join();
    EXPECT_EQ(ours.next, second);
    const std::size_t firstBefore = chain.received(first).size();

    chain.notifyChange();
    EXPECT_EQ(ours.notices, 2);
    EXPECT_EQ(chain.received(second).back(), kChange);
    EXPECT_EQ(chain.received(first).size(), firstBefore + 1);

    // A viewer that does not forward cuts off everyone behind it.
    ours.next = 0;
    chain.notifyChange();
    EXPECT_EQ(ours.notices, 3);
    EXPECT_EQ(chain.received(first).size(), firstBefore + 1);
}

TEST(SimViewerChain, LeavingRepairsTheChain) {
    SimViewerChain chain;
    const ViewerHandle oldest = chain.addOtherViewer();
    ProgramViewer ours(chain);
    ours.join();
    const ViewerHandle newest = chain.addOtherViewer();
    ASSERT_EQ(chain.nextOf(newest), chain.handleOf(ours));
    const int noticesBefore = ours.notices;

    chain.leave(ours, ours.next);
    EXPECT_EQ(chain.received(newest).back(), chainChanged(chain.handleOf(ours), oldest));
    EXPECT_EQ(chain.nextOf(newest), oldest);
    EXPECT_EQ(chain.members(), (std::vector<ViewerHandle>{newest, oldest}));

    const std::size_t oldestBefore = chain.received(oldest).size();
    chain.notifyChange();
    EXPECT_EQ(chain.received(oldest).size(), oldestBefore + 1);
    EXPECT_EQ(ours.notices, noticesBefore);

    // The head leaving hands the head over to the next it names.
    chain.removeOtherViewer(newest);
    EXPECT_EQ(chain.head(), oldest);
    EXPECT_EQ(chain.members(), (std::vector<ViewerHandle>{oldest}));
}

TEST(SimViewerChain, NoChangeReachesTheProgramOutsideTheChain) {
    SimViewerChain chain;
    ProgramViewer ours(chain);
    chain.notifyChange(); // nobody there
    ours.join();
    ours.leave();
    const ViewerHandle other = chain.addOtherViewer();
    chain.notifyChange();
    EXPECT_EQ(ours.notices, 1);
    EXPECT_EQ(chain.nextOf(other), 0u);

    // Sending to a window that is gone is lost, like SendMessage to a destroyed window.
    chain.forwardChange(chain.handleOf(ours));
    EXPECT_EQ(ours.notices, 1);
    ASSERT_EQ(chain.lostMessages().size(), 1u);
    EXPECT_EQ(chain.lostMessages()[0],
              (SimViewerChain::LostMessage{chain.handleOf(ours), kChange}));
}

TEST(SimViewerChain, NoticesMayNestInsideAHandler) {
    SimPlatform sim;
    ProgramViewer ours(sim.viewerChain);
    std::vector<std::string> seen;
    ViewerHandle lateComer = 0;
    ours.onChange = [&] {
        seen.push_back(sim.clipboard.readText());
        // The program's own write is announced to the chain while this notice is still running,
        // and another viewer joins in the middle of it all.
        if (seen.size() == 2) {
            sim.clipboard.setText("mine");
            lateComer = sim.viewerChain.addOtherViewer();
        }
    };
    sim.copyFromOtherProgram("before");
    ours.join();
    sim.copyFromOtherProgram("theirs");

    EXPECT_EQ(seen, (std::vector<std::string>{"before", "theirs", "mine", "mine"}));
    EXPECT_EQ(sim.viewerChain.nextOf(lateComer), sim.viewerChain.handleOf(ours));
}

TEST(SimViewerChain, ALoopInTheChainIsReportedInsteadOfRunningForEver) {
    SimViewerChain chain;
    ProgramViewer ours(chain);
    ours.join();
    // Joining again while a member makes the window its own next viewer.
    ours.join();
    EXPECT_EQ(ours.next, chain.handleOf(ours));
    EXPECT_THROW(chain.notifyChange(), std::logic_error);
}
