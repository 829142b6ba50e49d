// What the user waits for, in the real window on a private X server with the real clipboard:
// from the moment another program takes the clipboard until the new entry is painted and the
// event loop is idle again (and the same on a private headless sway with the Wayland backend); from
// the open command until a million entries are painted and idle, with the memory that costs; and
// from launching the program until its window is mapped, against a bare Qt window of the same size.

#include "cliplist/clip_list_view.h"
#include "foreign_copier.h"
#include "images/bmp_writer.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "platform/memory.h"
#include "wayland_capture.h"
#include "window_harness.h"
#include "xvfb_session.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QTabWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace zub;
using namespace zub::bench;
using bench::Clock; // not the program's clock service

// One capture per iteration into the window as it stands, timed from the change of owner.
void timeCaptures(benchmark::State& state, Program& program, ForeignCopier& copier) {
    timeTextCaptures(state, *program.form, [&](const std::string& text) { copier.copy(text); });
}

void BM_CaptureIntoEmptyList(benchmark::State& state) {
    Program program;
    ForeignCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureIntoEmptyList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// The same capture on Wayland (a headless sway, data-control), measured by a child process; and
// what the clipboard thread costs while nothing is copied.
void BM_CaptureIntoEmptyListWayland(benchmark::State& state) {
    const WaylandFigures figures = measureWaylandCaptures(static_cast<int>(state.max_iterations));
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
    ForeignCopier copier;
    program.open(millionEntryDocument());
    program.form->action(QStringLiteral("Action15"))->trigger();
    settle(300);
    timeCaptures(state, program, copier);
}
BENCHMARK(BM_CaptureInto1MList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// From the change of owner until the copied picture is painted in the image pane and the loop is
// idle; with automatic saving on, the bitmap file has been written by then as well.
void timePictureCaptures(benchmark::State& state, bool saving) {
    Program program;
    program.form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    program.form->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(saving);
    ForeignCopier copier;
    program.form->action(QStringLiteral("Action15"))->trigger();
    settle(200);
    timePictureCopies(state, *program.form,
                      [&](const std::string& png) { copier.copy(png, "image/png"); });
}

// From the open-picture command, the dialog answered, until a 4000 × 3000 24-bit bitmap is painted
// in the image pane and the loop is idle: what the user waits for after Return in the dialog.
void BM_OpenBitmap4000x3000InTheWindow(benchmark::State& state) {
    Program program;
    program.form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    settle(200);
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("4000x3000.bmp")).toStdString();
    {
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(x & 0xff, y & 0xff, (x ^ y) & 0xff);
        }
        const std::string bytes = encodeBmp(image, 24);
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ImagePane* pane = program.form->imagePane();
    double cpu = 0;
    for (auto _ : state) {
        const qint64 before = pane->picture().image().cacheKey();
        program.dialogs.answerOpenFile(path);
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        program.form->action(QStringLiteral("Action22"))->trigger();
        const auto end = paintedAndIdle(
            pane->image1(), [&] { return pane->picture().image().cacheKey() != before; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OpenBitmap4000x3000InTheWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

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

// The first capture after opening a million entries, against a capture into an empty list: in
// turns, each in a window of its own, from the change of owner until painted and idle. Whatever
// the open left for later is paid here.
// `cpu` gains the window thread's processor time meanwhile.
double firstCapture(ForeignCopier& copier, bool afterOpening, double& cpu) {
    static int serial = 0;
    Program program;
    if (afterOpening) program.open(millionEntryDocument());
    program.form->action(QStringLiteral("Action15"))->trigger();
    settle(200);
    const std::size_t before = program.form->clipList().size();
    const double cpuStart = threadCpuMilliseconds();
    const auto start = Clock::now();
    copier.copy("first capture " + std::to_string(++serial));
    const auto end = paintedAndIdle(program.form->clipListView()->viewport(),
                                    [&] { return program.form->clipList().size() > before; });
    cpu += threadCpuMilliseconds() - cpuStart;
    return milliseconds(end - start);
}

void BM_FirstCaptureAfterOpening1M(benchmark::State& state) {
    ForeignCopier copier;
    Paired paired;
    double emptyCpu = 0, cpu = 0;
    for (auto _ : state) {
        paired.floor.push_back(firstCapture(copier, false, emptyCpu));
        paired.measured.push_back(firstCapture(copier, true, cpu));
        state.SetIterationTime(paired.measured.back() / 1000.0);
    }
    paired.report(state, "empty_list");
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["window_cpu_ms"] = cpu / rounds;
    state.counters["empty_list_window_cpu_ms"] = emptyCpu / rounds;
}
BENCHMARK(BM_FirstCaptureAfterOpening1M)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

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
        program->open(path);
        const auto end =
            paintedAndIdle(rows, [&] { return program->form->clipList().size() == 1'000'000; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
        state.PauseTiming();
        settle(500);
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
// resident memory once it has settled. Returns both.
struct Launch {
    double ms = 0;
    double rssMiB = 0;
};

Launch launch(xcb_connection_t* observer, const QString& program) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto start = Clock::now();
    process.start(program, {});
    Clock::time_point mapped{};
    while (mapped == Clock::time_point{}) {
        xcb_generic_event_t* event = xcb_wait_for_event(observer);
        if (!event) break;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) mapped = Clock::now();
        std::free(event);
    }
    Launch result;
    result.ms = milliseconds(mapped - start);
    settle(700);
    result.rssMiB =
        statusKiB("VmRSS:", "/proc/" + std::to_string(process.processId()) + "/status") / 1024.0;
    process.terminate();
    process.waitForFinished(5000);
    return result;
}

// The program against a bare Qt window of the same size and font, launched in turns.
void BM_StartUp(benchmark::State& state) {
    xcb_connection_t* observer = xcb_connect(nullptr, nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(observer)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(observer, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(observer);
    Paired time, memory;
    for (auto _ : state) {
        const Launch bare = launch(observer, QStringLiteral(ZUB_BARE_WINDOW));
        const Launch zub = launch(observer, QStringLiteral(ZUB_PROGRAM));
        time.floor.push_back(bare.ms);
        time.measured.push_back(zub.ms);
        memory.floor.push_back(bare.rssMiB);
        memory.measured.push_back(zub.rssMiB);
        state.SetIterationTime(zub.ms / 1000.0);
    }
    time.report(state, "bare_window");
    state.counters["rss_MiB"] = median(memory.measured);
    state.counters["bare_rss_MiB"] = median(memory.floor);
    state.counters["rss_ratio"] = median(memory.measured) / median(memory.floor);
    xcb_disconnect(observer);
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv) {
    if (zub::bench::writeDocumentIfAsked(argc, argv)) return 0;
    if (argc == 3 && std::string(argv[1]) == zub::bench::kWaylandCapturesOption)
        return zub::bench::runWaylandCaptures(1, argv, std::atoi(argv[2]));
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
