// What the user waits for, in the real window on a private X server with the real clipboard:
// from the moment another program takes the clipboard until the new entry is painted and the
// event loop is idle again (and the same on a private headless sway with the Wayland backend); from
// the open command until a million entries are painted and idle, with the memory that costs; and
// from launching the program until its window is mapped, against a bare Qt window of the same size.

#include "app/tform1.h"
#include "bench_data.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/list_document.h"
#include "foreign_copier.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "platform/memory.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/system_clock.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_hot_key.h"
#include "platform/x11/x11_screen.h"
#include "platform/x11/x11_viewer_chain.h"
#include "platform/xdg/posix_system_files.h"
#include "platform/xdg/xdg_shell.h"
#include "text/collation.h"
#include "wayland_capture.h"
#include "window_watch.h"
#include "xvfb_session.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace zub;
using bench::Clock;
using bench::milliseconds;
using bench::paintedAndIdle;

// The program's own folder is a scratch folder, so that saved pictures do not pile up in the build
// tree.
class ScratchFiles : public PosixSystemFiles {
public:
    std::filesystem::path executableFolder() const override {
        return m_folder.path().toStdString();
    }

private:
    QTemporaryDir m_folder;
};

// The program as main() builds it, but with dialogs that answer from a script.
struct Program {
    X11Clipboard clipboard;
    X11ViewerChain viewerChain{clipboard};
    X11HotKey hotKey;
    SimDialogs dialogs;
    ScratchFiles files;
    XdgShell shell;
    SystemClock clock;
    X11Screen screen;
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

// Processor time of the window's thread: what the program itself spent, whatever else the
// machine was doing meanwhile.
double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long statusKiB(const char* field, const std::string& statusFile = "/proc/self/status") {
    std::ifstream in(statusFile);
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == field) {
            in >> value;
            return value;
        }
        in.ignore(1 << 16, '\n');
    }
    return 0;
}

void writeMillionEntryDocument(const std::string& path) {
    Collator collator;
    ClipList source(collator);
    source.assign(bench::mixedEntries(1'000'000));
    saveListDocument(path, source);
}

// Written by a child process, so that making the test data leaves nothing in this process's
// memory figures.
const std::string& millionEntryDocument() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const QString p = folder.filePath(QStringLiteral("million.zub"));
        QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--write-million"), p});
        return p.toStdString();
    }();
    return path;
}

void open(Program& program, const std::string& path) {
    program.dialogs.answerOpenFile(path);
    program.form->action(QStringLiteral("Action1"))->trigger();
}

// One capture per iteration into the window as it stands, timed from the change of owner.
void timeCaptures(benchmark::State& state, Program& program, bench::ForeignCopier& copier) {
    static int serial = 0;
    QWidget* rows = program.form->clipListView()->viewport();
    double cpu = 0;
    for (auto _ : state) {
        const std::size_t before = program.form->clipList().size();
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        copier.copy("captured text " + std::to_string(++serial));
        const auto end =
            paintedAndIdle(rows, [&] { return program.form->clipList().size() > before; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

void BM_CaptureIntoEmptyList(benchmark::State& state) {
    Program program;
    bench::ForeignCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureIntoEmptyList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// The same capture on Wayland (a headless sway, data-control), measured by a child process; and
// what the clipboard thread costs while nothing is copied.
void BM_CaptureIntoEmptyListWayland(benchmark::State& state) {
    const bench::WaylandFigures figures =
        bench::measureWaylandCaptures(static_cast<int>(state.max_iterations));
    if (figures.captureMs.size() != static_cast<std::size_t>(state.max_iterations)) {
        state.SkipWithError(figures.problem.toStdString().c_str());
        for (auto _ : state) {
        }
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) state.SetIterationTime(figures.captureMs[i++] / 1000.0);
    state.counters["idle_thread_cpu_ms_per_s"] = figures.idleCpuMs * 1000.0 / figures.idleMs;
}
BENCHMARK(BM_CaptureIntoEmptyListWayland)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

void BM_CaptureInto1MList(benchmark::State& state) {
    Program program;
    bench::ForeignCopier copier;
    open(program, millionEntryDocument());
    program.form->action(QStringLiteral("Action15"))->trigger();
    Program::settle(300);
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureInto1MList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// A 1920 × 1080 screenshot as a program copies it: PNG, with gradients, panels and text that
// compress as a desktop does. `variant` makes each one a picture of its own.
std::string screenshotPng(int variant) {
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 1920, 1080);
    sky.setColorAt(0, QColor(30 + variant * 40, 60, 120));
    sky.setColorAt(1, QColor(200, 120, 40 + variant * 40));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 12; ++i) {
        const QRect panel(60 + i * 150, 80 + (i % 4) * 220, 420, 260);
        painter.fillRect(panel, QColor::fromHsv((i * 30 + variant * 15) % 360, 60, 240));
        painter.setPen(Qt::black);
        for (int line = 0; line < 10; ++line)
            painter.drawText(
                panel.adjusted(8, 8 + line * 22, -8, 0), Qt::AlignLeft | Qt::AlignTop,
                QStringLiteral("窗口 %1 第 %2 行 text line %3").arg(i).arg(line).arg(variant));
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// From the change of owner until the copied picture is painted in the image pane and the loop is
// idle; with automatic saving on, the bitmap file has been written by then as well.
void timePictureCaptures(benchmark::State& state, bool saving) {
    Program program;
    program.form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    program.form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(saving);
    bench::ForeignCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    Program::settle(200);
    const std::string pictures[2] = {screenshotPng(0), screenshotPng(1)};
    ImagePane* pane = program.form->imagePane();
    int next = 0;
    double cpu = 0;
    for (auto _ : state) {
        const qint64 before = pane->picture().image().cacheKey();
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        copier.copy(pictures[next++ % 2], "image/png");
        const auto end = paintedAndIdle(
            pane->image1(), [&] { return pane->picture().image().cacheKey() != before; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["png_KiB"] = static_cast<double>(pictures[0].size()) / 1024.0;
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

// The first capture after opening: whatever the open left for later is paid here.
void BM_FirstCaptureAfterOpening1M(benchmark::State& state) {
    Program program;
    bench::ForeignCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    QWidget* rows = program.form->clipListView()->viewport();
    int serial = 0;
    double cpu = 0;
    for (auto _ : state) {
        open(program, millionEntryDocument());
        Program::settle(200);
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        copier.copy("first after opening " + std::to_string(++serial));
        const auto end =
            paintedAndIdle(rows, [&] { return program.form->clipList().size() > 1'000'000; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FirstCaptureAfterOpening1M)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// From the open command (the dialog already answered) until the list is painted and idle, into
// a window that held nothing; with the resident memory at the peak and once settled.
void BM_Open1MList(benchmark::State& state) {
    const std::string& path = millionEntryDocument();
    long settledKiB = 0, peakKiB = 0, beforeKiB = 0, firstBeforeKiB = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>();
        beforeKiB = statusKiB("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak from here
        QWidget* rows = program->form->clipListView()->viewport();
        state.ResumeTiming();
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        open(*program, path);
        const auto end =
            paintedAndIdle(rows, [&] { return program->form->clipList().size() == 1'000'000; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
        state.PauseTiming();
        Program::settle(500);
        // The first round counts: later ones start with what malloc kept of the one before.
        if (settledKiB == 0) {
            settledKiB = statusKiB("VmRSS:");
            peakKiB = statusKiB("VmHWM:");
            firstBeforeKiB = beforeKiB;
        }
        program.reset();
        state.ResumeTiming();
    }
    state.counters["rss_before_MiB"] = firstBeforeKiB / 1024.0;
    state.counters["rss_settled_MiB"] = settledKiB / 1024.0;
    state.counters["rss_peak_MiB"] = peakKiB / 1024.0;
    state.counters["list_settled_MiB"] = (settledKiB - firstBeforeKiB) / 1024.0;
    state.counters["list_peak_MiB"] = (peakKiB - firstBeforeKiB) / 1024.0;
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Open1MList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Launch to the first top-level window mapped, seen from another X client; then the program's
// resident memory once it has settled.
void startUp(benchmark::State& state, const QString& program, const QStringList& arguments) {
    xcb_connection_t* observer = xcb_connect(nullptr, nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(observer)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(observer, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(observer);
    long rssKiB = 0;
    for (auto _ : state) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto start = Clock::now();
        process.start(program, arguments);
        Clock::time_point mapped{};
        while (mapped == Clock::time_point{}) {
            xcb_generic_event_t* event = xcb_wait_for_event(observer);
            if (!event) break;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) mapped = Clock::now();
            std::free(event);
        }
        state.SetIterationTime(milliseconds(mapped - start) / 1000.0);
        state.PauseTiming();
        Program::settle(700);
        rssKiB = statusKiB("VmRSS:", "/proc/" + std::to_string(process.processId()) + "/status");
        process.terminate();
        process.waitForFinished(5000);
        state.ResumeTiming();
    }
    state.counters["rss_MiB"] = rssKiB / 1024.0;
    xcb_disconnect(observer);
}

void BM_StartUpProgram(benchmark::State& state) {
    startUp(state, QStringLiteral(ZUB_PROGRAM), {});
}
BENCHMARK(BM_StartUpProgram)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_StartUpBareWindow(benchmark::State& state) {
    startUp(state, QStringLiteral(ZUB_BARE_WINDOW), {});
}
BENCHMARK(BM_StartUpBareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-million") {
        writeMillionEntryDocument(argv[2]);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == bench::kWaylandCapturesOption)
        return bench::runWaylandCaptures(1, argv, std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    zub::settleMemoryPolicy(); // as main() does
    zub::e2e::XvfbSession display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "window_latency: no virtual display: %s\n", display.problem().c_str());
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
