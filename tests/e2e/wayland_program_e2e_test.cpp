// The program itself on a private headless sway, on Qt's Wayland platform with the Wayland
// backend: the clipboard through data-control, the screen through screencopy. Other programs are
// played by wl-copy, wl-paste, wtype, grim and data_control_owner.

#include "../under_sanitizer.h"
#include "app/single_instance.h"
#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "grab/tform5.h"
#include "images/image_pane.h"
#include "platform/wayland/wayland_platform.h"
#include "sandbox_files.h"
#include "wayland_test.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

// A window of horizontal stripes, one colour every few rows, to tell rows of the screen apart.
class Stripes : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int y = 0; y < height(); y += 7)
            painter.fillRect(0, y, width(), 7, QColor::fromHsv((y * 5) % 360, 200, 220));
    }
};

class WaylandProgramTest : public WaylandTest {
protected:
    QTemporaryDir sandbox;
    fs::path program;
    std::unique_ptr<WaylandPlatform> platform;
    std::unique_ptr<SandboxFiles> files;
    std::unique_ptr<TForm1> form;
    fs::path savedFolder = fs::current_path();

    void SetUp() override {
        WaylandTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(sandbox.isValid());
        program = fs::path(sandbox.path().toStdString()) / "program";
        fs::create_directory(program);
        platform = std::make_unique<WaylandPlatform>();
        ASSERT_TRUE(platform->clipboard.isActive());
        files = std::make_unique<SandboxFiles>(program);
        const Services s = platform->services();
        form = std::make_unique<TForm1>(Services{s.clipboard, s.viewerChain, s.hotKey, s.dialogs,
                                                 *files, s.shell, s.clock, s.screen});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        files.reset();
        platform.reset();
        std::error_code ignored;
        fs::current_path(savedFolder, ignored);
    }

    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < form->clipList().size(); ++i)
            out.emplace_back(form->clipList().text(i));
        return out;
    }
    void automaticMode() { form->action(QStringLiteral("Action15"))->trigger(); }
    bool isAutomatic() const { return form->action(QStringLiteral("Action15"))->isChecked(); }
    // Lets other programs and the event loop run a while, for checking that nothing happens.
    static void settle() {
        waitUntil([] { return false; }, 700ms);
    }
    bool waitForEntries(std::size_t count, std::chrono::milliseconds timeout = 10s) {
        return waitUntil([&] { return form->clipList().size() == count; }, timeout);
    }
};

TEST_F(WaylandProgramTest, CtrlRCapturesOnceAndAutomaticModeSeesEveryCopyWithoutTheFocus) {
    OwnedProcess first = copyWithWlCopy("from outside");
    ASSERT_TRUE(first);
    ASSERT_TRUE(wtype({QStringLiteral("-M"), QStringLiteral("ctrl"), QStringLiteral("-k"),
                       QStringLiteral("r"), QStringLiteral("-m"), QStringLiteral("ctrl")}));
    ASSERT_TRUE(waitForEntries(1));
    OwnedProcess later = copyWithWlCopy("not yet");
    settle();
    EXPECT_EQ(entries(), std::vector<std::string>{"from outside"});

    // Under sway 1.7 Qt misses the first run that uses Alt+B (found by trial); a menu opened by
    // it would close at its end.
    ASSERT_TRUE(wtype({QStringLiteral("-M"), QStringLiteral("alt"), QStringLiteral("-k"),
                       QStringLiteral("b"), QStringLiteral("-m"), QStringLiteral("alt")}));
    // Automatic capture through the menu "捕获设置(&B)", walked in one run of keys that lasts
    // until the command has run: the end of a run takes the focus away and closes the menu.
    // Slowed down by the sanitizers, the window now and then misses a key of the walk: while the
    // mode has not changed, the walk is tried again from a closed menu.
    for (int attempt = 0; attempt < 3 && !isAutomatic(); ++attempt) {
        if (attempt > 0) {
            ASSERT_TRUE(wtype({QStringLiteral("-k"), QStringLiteral("Escape"), QStringLiteral("-k"),
                               QStringLiteral("Escape")}));
        }
        ASSERT_TRUE(wtype({QStringLiteral("-M"), QStringLiteral("alt"), QStringLiteral("-k"),
                           QStringLiteral("b"), QStringLiteral("-m"), QStringLiteral("alt"),
                           QStringLiteral("-s"), QStringLiteral("800"), QStringLiteral("-k"),
                           QStringLiteral("Down"), QStringLiteral("-s"), QStringLiteral("200"),
                           QStringLiteral("-k"), QStringLiteral("Return"), QStringLiteral("-s"),
                           QStringLiteral("1000")}));
        waitUntil([&] { return isAutomatic(); }, 5s);
    }
    ASSERT_TRUE(isAutomatic());
    ASSERT_TRUE(waitForEntries(2));

    // The window on a workspace that is not shown, without the focus: every copy still arrives.
    // (Each owner quits once its copy is in: an owner that quits before anybody has read its
    // copy takes it along on Wayland.)
    ASSERT_TRUE(sway().message({QStringLiteral("workspace"), QStringLiteral("2")}));
    std::size_t expected = 2;
    for (const char* text : {"一", "二", "😀 三"}) {
        OwnedProcess copy = copyWithWlCopy(text);
        ASSERT_TRUE(copy) << text;
        ASSERT_TRUE(waitForEntries(++expected)) << text;
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"from outside", "not yet", "\xD2\xBB",
                                                   "\xB6\xFE", "\x94\x39\xFC\x36 \xC8\xFD"}));
}

TEST_F(WaylandProgramTest, RecallWithoutTheFocusPutsExactlyTheEntrysTextOnTheClipboard) {
    automaticMode();
    // GBK, a character only GB18030 holds, and a byte that is no character.
    for (const char* entry :
         {"\xD6\xD0\xCE\xC4 GBK[Zub]comment", "\x94\x39\xFC\x36 smile", "x\x81"})
        form->clipList().add(entry);
    ASSERT_TRUE(sway().message({QStringLiteral("workspace"), QStringLiteral("2")}));
    const struct {
        std::size_t row;
        QByteArray pasted;
        std::string kept;
    } cases[] = {
        {0, "中文 GBK", "\xD6\xD0\xCE\xC4 GBK"},
        {1, "😀 smile", "\x94\x39\xFC\x36 smile"},
        {2, "x\xEF\xBF\xBD", "x\x81"},
    };
    for (const auto& c : cases) {
        form->clipList().select(c.row);
        form->CheckListBox1DblClick();
        EXPECT_TRUE(waitUntil([&] { return pasteWithWlPaste() == c.pasted; })) << c.row;
        EXPECT_EQ(platform->clipboard.readText(), c.kept);
        EXPECT_EQ(pasteWithWlPaste(QStringLiteral("UTF8_STRING")), c.pasted);
    }
    // The changes came back in automatic mode and found the entries there.
    settle();
    EXPECT_EQ(form->clipList().size(), 3u);
}

TEST_F(WaylandProgramTest, APictureCopyIsShownAndSavedWithTheSamePixels) {
    QImage image(640, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 256));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
    automaticMode();
    ASSERT_TRUE(sway().message({QStringLiteral("workspace"), QStringLiteral("2")}));

    OwnedProcess owner = copyWithWlCopy(png, QStringLiteral("image/png"));
    ASSERT_TRUE(owner);
    ImagePane* pane = form->imagePane();
    ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == 640; }));
    EXPECT_EQ(pane->picture().image().convertToFormat(QImage::Format_RGB32), image);
    std::vector<fs::path> saved;
    ASSERT_TRUE(waitUntil([&] {
        saved.clear();
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(program / "Zub图像", error))
            if (entry.path().extension() == ".bmp") saved.push_back(entry.path());
        return saved.size() == 1;
    }));
    EXPECT_EQ(QImage(QString::fromStdString(saved.front().string()))
                  .convertToFormat(QImage::Format_RGB32),
              image);
}

TEST_F(WaylandProgramTest, SecretAndSilentOwnersNeitherGetInNorFreezeTheWindow) {
    OwnedProcess manager =
        startDataControlOwner({QStringLiteral("--secret"), QStringLiteral("hunter2")});
    ASSERT_TRUE(manager);
    ASSERT_TRUE(waitUntil([&] { return platform->clipboard.isSecret(); }));
    form->action(QStringLiteral("Action16"))->trigger();
    automaticMode();
    manager = startDataControlOwner({QStringLiteral("--secret"), QStringLiteral("correct horse")});
    ASSERT_TRUE(manager);
    settle();
    EXPECT_TRUE(entries().empty());

    // An owner that takes the request and never answers, then one that does: the window goes
    // on as before, the silent copy is given up, the next one arrives. (The watch starts once
    // the test has started both owners: starting a process holds up the test's own thread.)
    OwnedProcess silent =
        startDataControlOwner({QStringLiteral("--silent"), QStringLiteral("never")});
    ASSERT_TRUE(silent);
    ASSERT_TRUE(waitUntil([&] { return !platform->clipboard.isSettled(); }));
    OwnedProcess next = startDataControlOwner({QStringLiteral("after the silent one")});
    ASSERT_TRUE(next);
    // For most of the two seconds the silent owner is given, the window must go on; the next
    // copy waits behind the silent one, as copies are taken in order.
    std::optional<FreezeWatch> watch(std::in_place);
    waitUntil([] { return false; }, 1500ms);
    const long frozen = watch->longestMs();
    watch.reset();
    EXPECT_TRUE(entries().empty());
    ASSERT_TRUE(waitForEntries(1, 5s));
    std::printf("the window's longest stand-still meanwhile: %ld ms\n", frozen);
    EXPECT_EQ(entries(), std::vector<std::string>{"after the silent one"});
    // A window that waited on the silent owner would stand still for the whole 2 s it is given.
    // Under the sanitizers every allocation is unwound in full here, which slows all down.
    const long allowed = test::underAddressSanitizer() ? 1000 : 100;
    EXPECT_LT(frozen, allowed) << "the window stood still for " << frozen << " ms";
}

TEST_F(WaylandProgramTest, TheCopyStaysOnTheClipboardWhenItsOwnerQuits) {
    automaticMode();
    OwnedProcess owner = startDataControlOwner({QStringLiteral("中文 kept")});
    ASSERT_TRUE(owner);
    ASSERT_TRUE(waitForEntries(1));
    owner.reset();
    EXPECT_TRUE(waitUntil([] { return pasteWithWlPaste() == QByteArray("中文 kept"); }));
    settle();
    EXPECT_EQ(entries(), std::vector<std::string>{"\xD6\xD0\xCE\xC4 kept"});
}

TEST_F(WaylandProgramTest, ZubCaptureFromASecondProcessCapturesInTheRunningProgram) {
    SingleInstance instance([this](InstanceRequest request) {
        if (request == InstanceRequest::Capture)
            form->hotKeyPressed(hotkey::kControl, hotkey::kKeyR);
    });
    ASSERT_TRUE(instance.listen());
    ASSERT_TRUE(sway().message({QStringLiteral("workspace"), QStringLiteral("2")}));
    OwnedProcess copy = copyWithWlCopy("bound to a key");
    ASSERT_TRUE(copy);
    const ToolResult second = runTool(QStringLiteral(ZUB_PROGRAM), {QStringLiteral("--capture")});
    EXPECT_TRUE(second.ok()) << second.err.toStdString();
    ASSERT_TRUE(waitForEntries(1));
    EXPECT_EQ(entries(), std::vector<std::string>{"bound to a key"});
}

TEST_F(WaylandProgramTest, TheScreenGrabFreezesExactlyWhatTheScreenShows) {
    // Something to see besides the background: a window of stripes beside the main window.
    Stripes stripes;
    stripes.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stripes));
    form->action(QStringLiteral("Action21"))->trigger();
    // While the delay runs, the screen as another program sees it, the window hidden.
    settle();
    const QString shot = sandbox.filePath(QStringLiteral("grim.png"));
    ASSERT_TRUE(runTool(QStringLiteral("grim"), {shot}).ok());
    const QImage screen = QImage(shot).convertToFormat(QImage::Format_RGB32);
    auto shownSelector = [&]() -> TForm5* {
        for (TForm5* s : form->findChildren<TForm5*>())
            if (s->isVisible()) return s;
        return nullptr;
    };
    ASSERT_TRUE(waitUntil([&] { return shownSelector() != nullptr; }));
    TForm5* selector = shownSelector();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(selector));
    QWidget* picture = selector->findChild<QWidget*>(QStringLiteral("Image1"));
    ASSERT_TRUE(picture);
    // A drag from bottom right to top left: that part of the frozen screen goes to the clipboard.
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(410, 260));
    QTest::mouseMove(picture, QPoint(200, 150));
    QTest::mouseMove(picture, QPoint(10, 20));
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(10, 20));
    ASSERT_TRUE(waitUntil([&] { return form->isVisible() && !shownSelector(); }));
    std::optional<QByteArray> pasted;
    ASSERT_TRUE(waitUntil(
        [&] { return (pasted = pasteWithWlPaste(QStringLiteral("image/png"))).has_value(); }));
    const QImage grabbed = QImage::fromData(*pasted, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(grabbed.size(), QSize(400, 240));
    EXPECT_EQ(grabbed, screen.copy(10, 20, 400, 240));
    EXPECT_NE(grabbed.pixel(0, 0), grabbed.pixel(0, 10)) << "the stripes should be in the picture";
    if (HasFailure()) {
        grabbed.save(QStringLiteral("/tmp/zub-wayland-grabbed.png"));
        screen.save(QStringLiteral("/tmp/zub-wayland-screen.png"));
    }
}

} // namespace
} // namespace zub::e2e
