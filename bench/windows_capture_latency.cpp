// The capture benchmarks of window_latency, repeated on the Windows build (under Wine here):
// from the moment another program closes the clipboard on its copy until the new entry, or the
// copied picture, is painted and the event loop is idle again. The other program is a thread
// with a window of its own that copies as Windows programs do: Unicode text, or a PNG.

#include "app/tform1.h"
#include "bench_data.h"
#include "capture_timing.h"
#include "cliplist/clip_list.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/list_document.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/system_clock.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_hot_key.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system_files.h"
#include "platform/win32/win32_viewer_chain.h"
#include "text/collation.h"
#include "window_watch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <windows.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using namespace zub;
using namespace zub::bench;
using Clock = std::chrono::steady_clock;

class ScratchFiles : public Win32SystemFiles {
public:
    std::filesystem::path executableFolder() const override {
        return m_folder.path().toStdWString();
    }

private:
    QTemporaryDir m_folder;
};

struct Program {
    Win32Clipboard clipboard;
    Win32ViewerChain viewerChain;
    Win32HotKey hotKey;
    SimDialogs dialogs;
    ScratchFiles files;
    Win32Shell shell;
    SystemClock clock;
    Win32Screen screen;
    std::unique_ptr<TForm1> form;

    Program() {
        form = std::make_unique<TForm1>(
            Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen});
        form->show();
        settle(300);
    }
    static void settle(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

// Another program copying: a thread with a window of its own. copy() hands the copy over and
// returns at once; the window's thread must be free to hear of the change while the other
// program closes the clipboard.
class WindowsCopier {
public:
    WindowsCopier() : m_thread([this] { serve(); }) {}
    ~WindowsCopier() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void copyText(const std::string& utf8) { hand(utf8, false); }
    void copyPng(const std::string& png) { hand(png, true); }

private:
    void hand(const std::string& bytes, bool png) {
        {
            const std::lock_guard lock(m_mutex);
            m_bytes = bytes;
            m_png = png;
            m_pending = true;
        }
        m_wake.notify_one();
    }
    void serve() {
        HWND window = CreateWindowExW(0, L"STATIC", L"copier", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, nullptr, nullptr);
        const UINT pngFormat = RegisterClipboardFormatW(L"PNG");
        for (;;) {
            std::string bytes;
            bool png = false;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_pending || m_stop; });
                if (m_stop) break;
                bytes = m_bytes;
                png = m_png;
                m_pending = false;
            }
            std::wstring text;
            if (!png) {
                text.resize(bytes.size());
                text.resize(static_cast<std::size_t>(
                    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                        text.data(), static_cast<int>(text.size()))));
            }
            const void* data = png ? static_cast<const void*>(bytes.data()) : text.c_str();
            const std::size_t size = png ? bytes.size() : (text.size() + 1) * sizeof(wchar_t);
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
            std::memcpy(GlobalLock(memory), data, size);
            GlobalUnlock(memory);
            while (!OpenClipboard(window)) Sleep(1);
            EmptyClipboard();
            SetClipboardData(png ? pngFormat : CF_UNICODETEXT, memory);
            CloseClipboard();
        }
        DestroyWindow(window);
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_bytes;
    bool m_png = false;
    bool m_pending = false;
    bool m_stop = false;
    std::thread m_thread;
};

void writeMillionEntryDocument(const std::string& path) {
    Collator collator;
    ClipList source(collator);
    source.assign(bench::mixedEntries(1'000'000));
    saveListDocument(path, source);
}

const std::string& millionEntryDocument() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const std::string p = folder.filePath(QStringLiteral("million.zub")).toStdString();
        writeMillionEntryDocument(p);
        return p;
    }();
    return path;
}

void timeCaptures(benchmark::State& state, Program& program, WindowsCopier& copier) {
    timeTextCaptures(state, *program.form, [&](const std::string& text) { copier.copyText(text); });
}

void BM_CaptureIntoEmptyList(benchmark::State& state) {
    Program program;
    WindowsCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureIntoEmptyList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_CaptureInto1MList(benchmark::State& state) {
    Program program;
    WindowsCopier copier;
    program.dialogs.answerOpenFile(millionEntryDocument());
    program.form->action(QStringLiteral("Action1"))->trigger();
    program.form->action(QStringLiteral("Action15"))->trigger();
    Program::settle(300);
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureInto1MList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void timePictureCaptures(benchmark::State& state, bool saving) {
    Program program;
    program.form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    program.form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(saving);
    WindowsCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    Program::settle(200);
    timePictureCopies(state, *program.form, [&](const std::string& png) { copier.copyPng(png); });
}

void BM_PictureCapture1080p(benchmark::State& state) {
    timePictureCaptures(state, false);
}
BENCHMARK(BM_PictureCapture1080p)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PictureCaptureAndSave1080p(benchmark::State& state) {
    timePictureCaptures(state, true);
}
BENCHMARK(BM_PictureCaptureAndSave1080p)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
