#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_viewer_chain.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <string>
#include <vector>

using namespace zub;
using namespace zub::e2e;

namespace {

// Records the text it finds at each notice, as the capture handler would read it.
struct ReadingViewer : ClipboardViewer {
    explicit ReadingViewer(Clipboard& clipboard) : clipboard(clipboard) {}
    void clipboardChanged() override { seen.push_back(clipboard.readText()); }
    Clipboard& clipboard;
    std::vector<std::string> seen;
};

} // namespace

TEST_F(X11Test, JoiningNotifiesAtOnceAndThenOnEveryCopyUntilLeaving) {
    X11Clipboard clipboard;
    X11ViewerChain chain(clipboard);
    ReadingViewer viewer(clipboard);
    // Copies reach `witness` too, and after the same change has reached `viewer`.
    ReadingViewer witness(clipboard);

    auto owner = copyWithXclip("first");
    ASSERT_TRUE(owner);
    ASSERT_TRUE(waitUntil([&] { return clipboard.readText() == "first"; }));

    EXPECT_EQ(chain.join(viewer), 0u);
    EXPECT_EQ(viewer.seen, (std::vector<std::string>{"first"}));
    // Joining again neither subscribes twice nor skips the immediate notice.
    chain.join(viewer);
    EXPECT_EQ(viewer.seen.size(), 2u);
    chain.join(witness);

    owner = copyWithXclip("second");
    ASSERT_TRUE(owner);
    ASSERT_TRUE(waitUntil([&] { return witness.seen.back() == "second"; }));
    EXPECT_EQ(viewer.seen, (std::vector<std::string>{"first", "first", "second"}));

    chain.leave(viewer, 0);
    owner = copyWithXclip("third");
    ASSERT_TRUE(owner);
    ASSERT_TRUE(waitUntil([&] { return witness.seen.back() == "third"; }));
    EXPECT_EQ(viewer.seen.size(), 3u);
}
