// The program itself on a private X server: the real clipboard, the real global hot key, other
// programs played by xclip and xdotool.

#include "../under_sanitizer.h"
#include "app/single_instance.h"
#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "platform/x11/x11_platform.h"
#include "standard_copies.h"
#include "x11_test.h"
#include "x11_tools.h"

#include "cliplist/list_document.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

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
            out.emplace_back(form->clipList().text(i));
        return out;
    }
    void doubleClickRow(int row) {
        ClipListView* view = form->clipListView();
        const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    }
    static long residentBytes() {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return resident * ::sysconf(_SC_PAGESIZE);
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

// The Windows build's end-to-end test makes the same copies and must save the same bytes.
TEST_F(ProgramTest, TheStandardCopiesAreSavedAsTheStandardDocument) {
    form->action(QStringLiteral("Action15"))->trigger();
    std::size_t expected = 0;
    for (const std::string& copy : kStandardCopies) {
        OwnedProcess owner = copyWithXclip(copy);
        ASSERT_TRUE(owner) << copy;
        ++expected;
        ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == expected; })) << copy;
    }
    QTemporaryDir folder;
    const std::filesystem::path saved = folder.filePath(QStringLiteral("saved.zub")).toStdString();
    saveListDocument(saved, form->clipList());
    std::ifstream in(saved, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kStandardCopiesDocument);
}

// `zub --capture` (bound to a key of the desktop) and `zub --show` from another process reach
// the program running in this session, while callers that say nothing or too much hold neither
// the window nor the way in for others.
TEST_F(ProgramTest, ZubCaptureAndShowFromAnotherProcessReachTheRunningProgram) {
    std::vector<InstanceRequest> requests;
    SingleInstance instance([&](InstanceRequest request) {
        requests.push_back(request);
        if (request == InstanceRequest::Capture)
            form->hotKeyPressed(hotkey::kControl, hotkey::kKeyR);
    });
    ASSERT_TRUE(instance.listen());
    SingleInstance second([](InstanceRequest) {});
    EXPECT_FALSE(second.listen()); // one program per session

    const auto caller = [](const std::string& says) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = SingleInstance::socketPath().toStdString();
        std::memcpy(address.sun_path, path.data(), path.size());
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::send(fd, says.data(), says.size(), MSG_NOSIGNAL), ssize_t(says.size()));
        return fd;
    };
    const int silent = caller("");
    const int rambling = caller(std::string(200, 'x'));
    const int unknown = caller("quit\n");

    OwnedProcess copy = copyWithXclip("bound to a key");
    ASSERT_TRUE(copy);
    const ToolResult capture = runTool(QStringLiteral(ZUB_PROGRAM), {QStringLiteral("--capture")});
    EXPECT_TRUE(capture.ok()) << capture.err.toStdString();
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 1; }));
    EXPECT_EQ(entries(), std::vector<std::string>{"bound to a key"});
    const ToolResult show = runTool(QStringLiteral(ZUB_PROGRAM), {QStringLiteral("--show")});
    EXPECT_TRUE(show.ok()) << show.err.toStdString();
    EXPECT_EQ(requests, (std::vector{InstanceRequest::Capture, InstanceRequest::Show}));
    for (const int fd : {silent, rambling, unknown}) ::close(fd);
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

TEST_F(ProgramTest, RecallInAutomaticModeAddsNothingAndReturnWritesOverTheRecalledEntry) {
    OwnedProcess foreign = copyWithXclip("foo");
    ASSERT_TRUE(foreign);
    ASSERT_TRUE(waitUntil([&] { return platform.clipboard.readText() == "foo"; }));
    form->action(QStringLiteral("Action15"))->trigger();
    ASSERT_EQ(entries(), std::vector<std::string>{"foo"});

    QTemporaryDir folder;
    const std::filesystem::path list = folder.filePath(QStringLiteral("list.zub")).toStdString();
    std::ofstream(list, std::ios::binary) << "alpha\r\nbeta\r\nx\x81\r\n";
    loadListDocument(list, form->clipList());
    form->CheckListBox1Click();

    doubleClickRow(0);
    settle();
    EXPECT_EQ(entries(), (std::vector<std::string>{"alpha", "beta", "x\x81"}));
    EXPECT_EQ(form->clipList().selection(), std::optional<std::size_t>(0));

    // The user edits the recalled text and returns it: it lands on the recalled entry.
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    combo->lineEdit()->setFocus();
    combo->lineEdit()->end(false);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("2"));
    form->action(QStringLiteral("Action7"))->trigger();
    EXPECT_EQ(entries(), (std::vector<std::string>{"alpha2", "beta", "x\x81"}));

    // A byte that is no character goes out as U+FFFD but comes back as itself: still no entry.
    doubleClickRow(2);
    settle();
    EXPECT_EQ(entries(), (std::vector<std::string>{"alpha2", "beta", "x\x81"}));
    EXPECT_EQ(readWithXclip(), "x\xEF\xBF\xBD");
}

TEST_F(ProgramTest, ASecretCopyIsCapturedInNeitherMode) {
    OwnedProcess manager = startSelectionOwner({QStringLiteral("--secret")}, "hunter2");
    ASSERT_TRUE(manager);
    ASSERT_TRUE(waitUntil([&] { return platform.clipboard.isSecret(); }));
    ASSERT_TRUE(xdotoolKey("ctrl+r"));
    settle();
    EXPECT_TRUE(entries().empty());

    form->action(QStringLiteral("Action15"))->trigger();
    manager = startSelectionOwner({QStringLiteral("--secret")}, "correct horse");
    ASSERT_TRUE(manager);
    settle();
    EXPECT_TRUE(entries().empty());

    OwnedProcess plain = copyWithXclip("plain");
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 1; }));
    EXPECT_EQ(entries(), std::vector<std::string>{"plain"});
}

TEST_F(ProgramTest, TwoThousandCopiesInARowAllArriveInOrderAndMemoryStaysPut) {
    form->action(QStringLiteral("Action15"))->trigger();
    // The first copies bring in what the program allocates once (fonts, caches).
    OwnedProcess warmUp =
        startSelectionOwner({QStringLiteral("--count"), QStringLiteral("50"),
                             QStringLiteral("--interval-ms"), QStringLiteral("20")},
                            QStringLiteral("warm"));
    ASSERT_TRUE(warmUp);
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 50; }, 30s));
    warmUp.reset();
    const long before = residentBytes();

    OwnedProcess busy = startSelectionOwner({QStringLiteral("--count"), QStringLiteral("2000"),
                                             QStringLiteral("--interval-ms"), QStringLiteral("20")},
                                            QStringLiteral("copy"));
    ASSERT_TRUE(busy);
    ASSERT_TRUE(waitForLine(*busy, "done", 100s));
    waitUntil([&] { return form->clipList().size() >= 2050; }, 10s);
    std::vector<std::string> expected;
    for (int i = 1; i <= 2000; ++i) expected.push_back("copy-" + std::to_string(i));
    const std::vector<std::string> all = entries();
    EXPECT_EQ(
        std::vector<std::string>(all.begin() + std::min<std::size_t>(50, all.size()), all.end()),
        expected);
    if (!test::underAddressSanitizer()) {
        EXPECT_LT(residentBytes() - before, 5L << 20);
    }
}

TEST_F(ProgramTest, AMenuButtonLosesItsHoverFrameWhenItsItemOpensAWindow) {
    auto* help = form->findChild<QToolButton*>(QStringLiteral("MenuButton5"));
    auto moveTo = [](QPoint at) {
        return xdotool(
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    };
    ASSERT_TRUE(moveTo(help->mapToGlobal(help->rect().center())));
    ASSERT_TRUE(waitUntil([&] { return help->underMouse(); }));
    // The menu runs an event loop of its own: the item is clicked from inside it, once shown.
    QTimer clickItem;
    QObject::connect(&clickItem, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) return;
        clickItem.stop();
        moveTo(menu->mapToGlobal(menu->actionGeometry(menu->actions().first()).center()));
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
    });
    clickItem.start(50);
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    ASSERT_TRUE(waitUntil([&] {
        auto* dialog = form->findChild<QDialog*>(QStringLiteral("Form3"));
        return dialog && dialog->isVisible() && !QApplication::activePopupWidget();
    }));
    // The mouse is over the Help dialog: the button shows no hover frame.
    EXPECT_TRUE(waitUntil([&] { return !help->underMouse(); }, 2s));
}

} // namespace
} // namespace zub::e2e
