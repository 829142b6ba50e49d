// The Windows program under Wine on an X server of its own: the real Win32 clipboard, viewer
// chain and hot key, which Wine keeps in step with the X11 clipboard, so that xclip and xdotool
// play the other programs as they do for the Linux build. Only the file dialogs are scripted.

#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "gdi_test_files.h"
#include "images/image_pane.h"
#include "images/picture_files.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/system_clock.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_hot_key.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_files.h"
#include "platform/win32/win32_viewer_chain.h"
#include "standard_copies.h"
#include "x11_tools.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>

namespace zub::e2e {
namespace {

namespace fs = std::filesystem;

// The real files service, with the program living in a folder of the test's.
class SandboxFiles : public Win32SystemFiles {
public:
    explicit SandboxFiles(fs::path folder) : m_folder(std::move(folder)) {}
    fs::path executableFolder() const override { return m_folder; }

private:
    fs::path m_folder;
};

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class WindowsProgramTest : public ::testing::Test {
protected:
    QTemporaryDir sandbox;
    fs::path folder{sandbox.path().toStdWString()};
    Win32Clipboard clipboard;
    Win32ViewerChain viewerChain;
    Win32HotKey hotKey;
    SimDialogs dialogs;
    SandboxFiles files{folder};
    Win32Shell shell;
    SystemClock clock;
    Win32Screen screen;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        // What an earlier test left on the clipboard would be captured on joining the chain; the
        // xclip that serves it cannot be stopped from here, but it ends when it loses the
        // clipboard.
        clipboard.empty();
        form = std::make_unique<TForm1>(
            Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen});
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
    void trigger(const char* action) { form->action(QString::fromLatin1(action))->trigger(); }
    void doubleClickRow(int row) {
        ClipListView* view = form->clipListView();
        const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    }
    static void settle() {
        waitUntil([] { return false; }, 1500ms);
    }
    // Wine hears a hot key only while one of its windows has the X focus (it grabs no keys on
    // the X server), so the press is made with the program's window focused.
    static bool pressCtrlR() {
        return xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                        QStringLiteral("Korvel剪贴板"), QStringLiteral("windowfocus")}) &&
               xdotoolKey(QStringLiteral("ctrl+r"));
    }
};

TEST_F(WindowsProgramTest, CtrlRCapturesOnceThenAutomaticModeCapturesEveryNewText) {
    OwnedProcess first = copyWithXclip("手动 manual");
    ASSERT_TRUE(first);
    ASSERT_TRUE(pressCtrlR());
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 1; }));
    EXPECT_EQ(entries(), std::vector<std::string>{"\xCA\xD6\xB6\xAF manual"});

    // Out of the chain: the next copy waits for the next capture.
    OwnedProcess later = copyWithXclip("later");
    ASSERT_TRUE(later);
    settle();
    EXPECT_EQ(form->clipList().size(), 1u);

    // Joining the chain captures what is there at once; then every new text, once.
    trigger("Action15");
    EXPECT_EQ(entries().back(), "later");
    OwnedProcess emoji = copyWithXclip("😀 smile");
    ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == 3; }));
    EXPECT_EQ(entries().back(), "\x94\x39\xFC\x36 smile");
    OwnedProcess again = copyWithXclip("later");
    settle();
    EXPECT_EQ(form->clipList().size(), 3u);
    // Ctrl+R does nothing in automatic mode.
    ASSERT_TRUE(pressCtrlR());
    settle();
    EXPECT_EQ(form->clipList().size(), 3u);
}

TEST_F(WindowsProgramTest, ARecalledEntryIsReadBackByteExact) {
    form->clipList().add("\xD6\xD0\xCE\xC4 text[Zub]a comment");
    form->clipList().add("\x94\x39\xFC\x36");
    form->clipList().add("x\x81");
    trigger("Action15");
    ASSERT_EQ(form->clipList().size(), 3u);

    doubleClickRow(0);
    EXPECT_EQ(readWithXclip(), std::optional<std::string>("中文 text"));
    EXPECT_EQ(clipboard.readText(), "\xD6\xD0\xCE\xC4 text");
    doubleClickRow(1);
    EXPECT_EQ(readWithXclip(), std::optional<std::string>("😀"));
    // A byte that is no character goes out as U+FFFD but comes back as itself.
    doubleClickRow(2);
    EXPECT_EQ(readWithXclip(), std::optional<std::string>("x\xEF\xBF\xBD"));
    EXPECT_EQ(clipboard.readText(), "x\x81");
    // The changes came back through the chain and found their entries there.
    settle();
    EXPECT_EQ(form->clipList().size(), 3u);
}

TEST_F(WindowsProgramTest, TheSavedDocumentIsTheLinuxBuildsByteForByte) {
    trigger("Action15");
    std::size_t expected = 0;
    for (const std::string& copy : kStandardCopies) {
        OwnedProcess owner = copyWithXclip(copy);
        ASSERT_TRUE(owner) << copy;
        ++expected;
        ASSERT_TRUE(waitUntil([&] { return form->clipList().size() == expected; })) << copy;
    }
    const fs::path saved = folder / L"保存.zub";
    dialogs.answerSaveFile(saved);
    trigger("Action2");
    EXPECT_EQ(readBytes(saved), kStandardCopiesDocument);
}

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return image;
}

TEST_F(WindowsProgramTest, APictureCopiedByAnotherProgramIsSavedAsABitmapOfTheSamePixels) {
    trigger("Action15");
    const QImage image = pattern(300, 200);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    OwnedProcess owner = copyWithXclip(png.toStdString(), QStringLiteral("image/png"));
    ASSERT_TRUE(owner);
    ImagePane* pane = form->imagePane();
    ASSERT_TRUE(waitUntil([&] { return pane->picture().width() == 300; }));

    const fs::path saved = folder / L"图位.bmp";
    dialogs.answerSaveFile(saved);
    trigger("Action20");
    // Pictures are written off the window's thread.
    ASSERT_TRUE(waitUntil([&] { return readBytes(saved).size() > 54; }));
    const std::string bytes = readBytes(saved);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(bytes), "BMP")
                  .convertToFormat(QImage::Format_RGB32),
              image);
}

TEST_F(WindowsProgramTest, AnEnhancedMetafileIsOpenedAndDrawnByGdi) {
    const fs::path emf = folder / L"图画.emf";
    std::ofstream(emf, std::ios::binary) << test::gdiMadeEmf(200, 100);
    dialogs.answerOpenFile(emf);
    trigger("Action22");
    // Pictures are read off the window's thread.
    ASSERT_TRUE(
        waitUntil([&] { return form->imagePane()->picture().format() == PictureFormat::Emf; }));
    const Picture& picture = form->imagePane()->picture();
    const QImage image = picture.image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_NEAR(image.width(), 200, 2);
    EXPECT_NEAR(image.height(), 100, 2);
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
    EXPECT_TRUE(dialogs.messages().empty());
}

} // namespace
} // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
