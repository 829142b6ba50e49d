// The program itself on a private X server: the real clipboard, the real global hot key, other
// programs played by xclip and xdotool.

#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "platform/x11/x11_platform.h"
#include "x11_test.h"
#include "x11_tools.h"

#include <QAction>
#include <QTest>

namespace zub::e2e {
namespace {

class ProgramTest : public X11Test {
protected:
    X11Platform platform;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        form = std::make_unique<TForm1>(platform.services());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < form->clipList().size(); ++i)
            out.push_back(form->clipList().text(i));
        return out;
    }
    // Lets other programs and the event loop run a while, for checking that nothing happens.
    static void settle() {
        waitUntil([] { return false; }, 700ms);
    }
};

TEST_F(ProgramTest, CtrlRFromAnotherProgramCapturesOnceAndLeavesTheChain) {
    OwnedProcess owner = copyWithXclip("from outside");
    ASSERT_TRUE(owner);
    ASSERT_TRUE(xdotoolKey("ctrl+r"));
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 1; }));
    EXPECT_EQ(entries(), std::vector<std::string>{"from outside"});

    // Out of the chain: the next copy is not captured until the next Ctrl+R.
    OwnedProcess later = copyWithXclip("later");
    ASSERT_TRUE(later);
    settle();
    EXPECT_EQ(form->clipList().size(), 1u);
    ASSERT_TRUE(xdotoolKey("ctrl+r"));
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 2; }));
    EXPECT_EQ(entries().back(), "later");
}

TEST_F(ProgramTest, AutomaticModeCapturesEveryNewTextExactlyOnce) {
    form->action(QStringLiteral("Action15"))->trigger();
    OwnedProcess chinese = copyWithXclip("中文");
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 1; }));
    OwnedProcess emoji = copyWithXclip("😀 smile");
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 2; }));
    EXPECT_EQ(entries(), (std::vector<std::string>{"\xD6\xD0\xCE\xC4", "\x94\x39\xFC\x36 smile"}));

    OwnedProcess again = copyWithXclip("中文");
    settle();
    EXPECT_EQ(form->clipList().size(), 2u);

    // Ctrl+R does nothing in automatic mode; the window stays subscribed.
    ASSERT_TRUE(xdotoolKey("ctrl+r"));
    OwnedProcess third = copyWithXclip("third");
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 3; }));
    EXPECT_EQ(entries().back(), "third");
}

TEST_F(ProgramTest, DoubleClickPutsTheClipTextOnTheRealClipboard) {
    form->clipList().add("\xD6\xD0\xCE\xC4 text[Zub]a comment");
    form->clipList().add("second");
    form->action(QStringLiteral("Action15"))->trigger();
    ClipListView* view = form->clipListView();
    const QPoint first = view->visualRect(view->model()->index(0, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(readWithXclip(), std::optional<std::string>("中文 text"));
    // The change comes back in automatic mode and finds the entry already there.
    settle();
    EXPECT_EQ(form->clipList().size(), 2u);
    EXPECT_EQ(form->clipList().selection(), std::optional<std::size_t>(0));
}

} // namespace
} // namespace zub::e2e
