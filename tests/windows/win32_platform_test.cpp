// The Win32 backend against the system itself (Wine here): the clipboard as other programs see
// it, the viewer chain with other programs' viewers in it, hot keys, files, the screen and GDI's
// metafiles. Run once under code page 936 and once under 1252: the results are the same.

#include "capture/copied_picture.h"
#include "gdi_test_files.h"
#include "images/emf_reader.h"
#include "images/wmf_reader.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_hot_key.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_files.h"
#include "platform/win32/win32_viewer_chain.h"
#include "text/codepage.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

using namespace zub;
namespace fs = std::filesystem;

namespace {

std::string cp936(const char16_t* text) {
    return cp::fromUtf16(text);
}

// What another program finds as CF_UNICODETEXT; nullopt when it cannot open the clipboard.
std::optional<std::wstring> unicodeTextSeenByOthers() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Another program copies `text` as Unicode text only, as most Windows programs do.
void copyUnicodeAsAnotherProgram(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::wstring wide(const char16_t* text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text));
}

// Pumps the thread's messages, as the program's event loop does, until `done` or a second.
template <typename Done> bool pumpUntil(Done done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
    return done();
}

void pumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    pumpUntil([&] { return GetTickCount() >= end; });
}

TEST(Win32Clipboard, TextCrossesByteExactAndOthersSeeItsCharacters) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring othersSee;
    };
    const std::vector<Case> cases = {
        {"ascii", "plain text", L"plain text"},
        {"Chinese", cp936(u"剪贴板，中文"), wide(u"剪贴板，中文")},
        {"outside CP936, as GB18030", cp936(u"😀 €"), wide(u"😀 €")},
        {"line breaks", "a\r\nb", L"a\r\nb"},
        {"up to the first NUL", std::string("cut\0here", 8), L"cut"},
        // A byte that starts no character: others see the replacement character, the program
        // reads back its own byte.
        {"a lone lead byte", "x\x81", L"x\xfffd"},
    };
    Win32Clipboard clipboard;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clipboard.setText(c.bytes);
        EXPECT_TRUE(clipboard.offersText());
        EXPECT_FALSE(clipboard.offersBitmap());
        EXPECT_EQ(clipboard.readText(), c.bytes.substr(0, c.bytes.find('\0')));
        EXPECT_EQ(unicodeTextSeenByOthers(), c.othersSee);
    }
}

TEST(Win32Clipboard, AnotherProgramsUnicodeTextIsReadAsCodePageBytes) {
    Win32Clipboard clipboard;
    copyUnicodeAsAnotherProgram(wide(u"别人复制的 😀 text"));
    EXPECT_TRUE(clipboard.offersText());
    EXPECT_EQ(clipboard.readText(), cp936(u"别人复制的 😀 text"));
    clipboard.empty();
    EXPECT_FALSE(clipboard.offersText());
    EXPECT_EQ(clipboard.readText(), "");
}

// Another program holding the clipboard open: a thread of its own, since the system lets the
// thread that holds it open it again.
class ClipboardHolder {
public:
    ClipboardHolder()
        : m_opened(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this] {
              HWND window = CreateWindowExW(0, L"STATIC", L"holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                                            nullptr, nullptr, nullptr);
              m_held = OpenClipboard(window);
              SetEvent(m_opened);
              WaitForSingleObject(m_release, INFINITE);
              if (m_held) CloseClipboard();
              DestroyWindow(window);
          }) {
        WaitForSingleObject(m_opened, INFINITE);
    }
    ~ClipboardHolder() {
        SetEvent(m_release);
        m_thread.join();
        CloseHandle(m_opened);
        CloseHandle(m_release);
    }
    bool held() const { return m_held; }

private:
    HANDLE m_opened;
    HANDLE m_release;
    bool m_held = false;
    std::thread m_thread;
};

TEST(Win32Clipboard, AClipboardHeldByAnotherProgramCannotBeOpened) {
    Win32Clipboard clipboard;
    clipboard.setText("before");
    {
        const ClipboardHolder holder;
        ASSERT_TRUE(holder.held());
        for (const auto& attempt : std::vector<std::function<void()>>{
                 [&] { clipboard.readText(); }, [&] { clipboard.setText("during"); },
                 [&] { clipboard.readBitmap(); }, [&] { clipboard.empty(); }}) {
            try {
                attempt();
                ADD_FAILURE() << "the clipboard was opened";
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "Cannot open clipboard");
            }
        }
        // Asking what it offers never opens it.
        EXPECT_TRUE(clipboard.offersText());
    }
    EXPECT_EQ(clipboard.readText(), "before");
}

TEST(Win32Clipboard, BitmapsGoOutAndComeBackAsDeviceIndependentBitmaps) {
    Win32Clipboard clipboard;
    QImage image(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 6, y * 12, 200));
    clipboard.setBitmap(image);
    EXPECT_TRUE(clipboard.offersBitmap());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << "the system makes CF_BITMAP of CF_DIB";
    EXPECT_EQ(clipboard.readBitmap().convertToFormat(QImage::Format_RGB32), image);
    // The window decodes them on its worker, from the bytes read here: the same pixels.
    const QImage decoded = decodeCopiedPicture(clipboard.readEncodedBitmap());
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);

    // A DIB whose header makes no sense, as another program might put there: nothing to decode.
    const char nonsense[16] = {7, 0, 0, 0};
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof nonsense);
    std::memcpy(GlobalLock(memory), nonsense, sizeof nonsense);
    GlobalUnlock(memory);
    SetClipboardData(CF_DIB, memory);
    CloseClipboard();
    EXPECT_TRUE(clipboard.readEncodedBitmap().isEmpty());
    EXPECT_TRUE(clipboard.readBitmap().isNull());
}

// A well-behaved viewer of another program: counts its notices and keeps the chain.
struct OtherViewer {
    HWND window = nullptr;
    HWND next = nullptr;
    int changes = 0;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<OtherViewer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_DRAWCLIPBOARD) {
            ++self->changes;
            if (self->next) SendMessageW(self->next, message, wParam, lParam);
            return 0;
        }
        if (self && message == WM_CHANGECBCHAIN) {
            if (reinterpret_cast<HWND>(wParam) == self->next)
                self->next = reinterpret_cast<HWND>(lParam);
            else if (self->next)
                SendMessageW(self->next, message, wParam, lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    OtherViewer() {
        static const ATOM registered = [] {
            WNDCLASSW c{};
            c.lpfnWndProc = &OtherViewer::procedure;
            c.hInstance = GetModuleHandleW(nullptr);
            c.lpszClassName = L"OtherViewer";
            return RegisterClassW(&c);
        }();
        (void)registered;
        window = CreateWindowExW(0, L"OtherViewer", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~OtherViewer() { DestroyWindow(window); }
    void join() {
        changes = 0;
        next = SetClipboardViewer(window);
    }
    void leave() { ChangeClipboardChain(window, next); }
};

// The program's side, as TForm1 does it: passes every notice on to the next it was given.
struct ProgramViewer : ClipboardViewer {
    ViewerChain& chain;
    ViewerHandle next = 0;
    int changes = 0;
    explicit ProgramViewer(ViewerChain& c) : chain(c) {}
    void clipboardChanged() override {
        ++changes;
        chain.forwardChange(next);
    }
};

TEST(Win32ViewerChain, NoticesReachEveryViewerWhileOthersJoinAndLeave) {
    Win32Clipboard clipboard;
    Win32ViewerChain chain;
    ProgramViewer program(chain);
    OtherViewer before;
    before.join();

    // The first notice comes while joining, before join returns.
    program.next = chain.join(program);
    EXPECT_EQ(program.changes, 1);
    EXPECT_EQ(program.next,
              static_cast<ViewerHandle>(reinterpret_cast<std::uintptr_t>(before.window)));

    clipboard.setText("one");
    EXPECT_TRUE(pumpUntil([&] { return program.changes == 2 && before.changes == 2; }))
        << program.changes << " " << before.changes;

    OtherViewer after;
    after.join();
    EXPECT_EQ(after.next, chain.windowOf(program));
    const int beforeCount = before.changes;
    clipboard.setText("two");
    EXPECT_TRUE(pumpUntil([&] { return after.changes == 2 && before.changes == beforeCount + 1; }));
    EXPECT_EQ(program.changes, 3);

    // The viewer behind the program's leaves: the chain mends the program's next, and the
    // program's notices no longer go to a window that left.
    before.leave();
    clipboard.setText("three");
    EXPECT_TRUE(pumpUntil([&] { return program.changes == 4; }));
    EXPECT_EQ(before.changes, beforeCount + 1);

    // The program leaves as TForm1 does: the viewer before it then passes notices past it.
    chain.leave(program, program.next);
    chain.sendChainChanged(program.next, program, program.next);
    EXPECT_EQ(after.next, nullptr);
    clipboard.setText("four");
    EXPECT_TRUE(pumpUntil([&] { return after.changes == 4; }));
    EXPECT_EQ(program.changes, 4);
    after.leave();
}

TEST(Win32HotKey, ACombinationAnotherWindowHoldsFailsSilently) {
    Win32HotKey hotKey;
    const std::uint16_t atom = hotKey.addAtom("hotkey");
    EXPECT_EQ(hotKey.addAtom("HOTKEY"), atom) << "the global atom table ignores case";
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'Q'));
    EXPECT_FALSE(
        hotKey.registerHotKey(atom, MOD_CONTROL | MOD_ALT, 'Q', [](unsigned, unsigned) {}));
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
    EXPECT_TRUE(hotKey.registerHotKey(atom, MOD_CONTROL | MOD_ALT, 'Q', [](unsigned, unsigned) {}));
    hotKey.unregisterHotKey(atom);
}

class Win32FilesTest : public ::testing::Test {
protected:
    QTemporaryDir temporary;
    fs::path dir;
    void SetUp() override { dir = fs::path(temporary.path().toStdWString()); }
};

TEST_F(Win32FilesTest, FilesWithChineseNamesAreWrittenReadAndReported) {
    const fs::path file = dir / L"剪贴板 😀.zub";
    files::writeWholeFile(file, std::string("a\r\nb\0c", 6));
    EXPECT_EQ(files::readWholeFile(file), std::string("a\r\nb\0c", 6));
    EXPECT_EQ(files::readTextBeforeNul(file), "a\r\nb");
    files::writeWholeFile(file, "shorter");
    EXPECT_EQ(files::readWholeFile(file), "shorter");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left behind";

    const std::string shown = files::displayPath(dir / L"没有.zub");
    try {
        files::readWholeFile(dir / L"没有.zub");
        ADD_FAILURE() << "a missing file was read";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("Cannot open file \"" + shown + "\". ", 0), 0u) << message;
        EXPECT_GT(message.size(), shown.size() + 20) << "the system's text follows";
    }
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(files::writeWholeFile(file, "over"), Error);
    EXPECT_EQ(files::readWholeFile(file), "shorter");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_THROW(files::readWholeFile(dir), Error);
}

TEST_F(Win32FilesTest, FoldersAndTheHiddenAttribute) {
    Win32SystemFiles files;
    const fs::path folder = dir / L"~temp";
    EXPECT_FALSE(files.isFolder(folder));
    EXPECT_TRUE(files.createFolder(folder));
    EXPECT_TRUE(files.isFolder(folder));
    EXPECT_FALSE(files.isHidden(folder));
    EXPECT_TRUE(files.setHidden(folder));
    EXPECT_TRUE(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(files.isHidden(folder));
    EXPECT_FALSE(files.setHidden(dir / L"missing"));

    files.setCurrentFolder(folder);
    EXPECT_EQ(fs::equivalent(files.currentFolder(), folder), true);
    try {
        files.setCurrentFolder(dir / L"missing");
        ADD_FAILURE() << "changed into a missing folder";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_TRUE(files.canWriteTo(dir));
    EXPECT_FALSE(files.canWriteTo(dir / L"missing"));
    EXPECT_TRUE(fs::exists(files.executableFolder() / "win32_platform_tests.exe"));
    EXPECT_FALSE(files.userDataFolder().empty());
}

TEST(Win32Shell, ResultsAboveThirtyTwoMeanOpened) {
    Win32Shell shell;
    EXPECT_LE(shell.open(cp936(u"C:\\没有这个文件.exe")), 32);
    EXPECT_GT(shell.open("C:\\windows\\system32\\hostname.exe"), 32);
}

TEST(Win32Screen, TheGrabIsTheScreenPixelForPixelWithoutTheWindowsHiddenBeforeIt) {
    Win32Screen screen;
    const QSize size = screen.primarySize();
    EXPECT_EQ(size, QSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    // A window of one colour where it can be found again. What a window draws reaches the
    // screen when the system composes it, some time after the drawing.
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 30, 120,
                                  80, nullptr, nullptr, nullptr, nullptr);
    const RECT all{0, 0, 120, 80};
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    bool shown = false;
    for (int i = 0; i < 20 && !shown; ++i) {
        HDC dc = GetDC(window);
        FillRect(dc, &all, brush);
        ReleaseDC(window, dc);
        pumpFor(100);
        const QImage grab = screen.grab();
        ASSERT_EQ(grab.size(), size);
        shown = grab.pixel(100, 70) == qRgb(10, 200, 30);
    }
    EXPECT_TRUE(shown) << "the grab never showed the window's colour";
    ShowWindow(window, SW_HIDE);
    EXPECT_NE(screen.grab().pixel(100, 70), qRgb(10, 200, 30));
    DeleteObject(brush);
    DestroyWindow(window);
}

TEST(GdiMetafiles, AreDrawnAtTheirSizeOnATransparentBackground) {
    const Picture emf = readEmf(test::gdiMadeEmf(200, 100));
    const Picture wmf = readWmf(test::gdiMadeWmf(200, 100));
    for (const Picture* p : {&emf, &wmf}) {
        SCOPED_TRACE(p == &emf ? "EMF" : "WMF");
        EXPECT_NEAR(p->width(), 200, 1);
        EXPECT_NEAR(p->height(), 100, 1);
        EXPECT_TRUE(p->isTransparent());
        const QImage image = p->image().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.pixel(100, 50), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(60, 30), qRgb(255, 0, 0));
        EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
        EXPECT_EQ(qAlpha(image.pixel(190, 90)), 0);
    }
    EXPECT_THROW(readEmf(std::string(200, 'x')), Error);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
