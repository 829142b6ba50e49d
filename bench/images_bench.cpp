// Speed and memory of the image page: opening a large bitmap file, one drag step over a huge
// picture with its repaint, and the memory a huge picture takes from file to screen; and
// opening the metafiles real programs make, through the metafile reader program, with what the
// reader costs in processor time and memory.

#include "../tests/unit/picture_test_files.h"
#include "images/bmp_writer.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "images/picture_files.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace {

using namespace zub;

// A 24-bit bitmap file of the given size in `folder`, written once per run.
std::string bitmapFile(const QTemporaryDir& folder, int width, int height) {
    const std::string path =
        folder.filePath(QStringLiteral("%1x%2.bmp").arg(width).arg(height)).toStdString();
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb(x & 0xff, y & 0xff, (x ^ y) & 0xff);
    }
    const std::string bytes = encodeBmp(image, 24);
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// Opening a 4000 × 3000 24-bit bitmap file: reading, checking and decoding it.
void BM_OpenBitmap4000x3000(benchmark::State& state) {
    const std::string path = bitmapFile(folder(), 4000, 3000);
    for (auto _ : state) {
        const Picture picture = loadPictureFile(path);
        benchmark::DoNotOptimize(picture.image().constBits());
    }
}
BENCHMARK(BM_OpenBitmap4000x3000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening a metafile as the window does it: the reader program draws it. Counters: the reader's
// processor time per opening and its peak memory (of all readers so far, so the larger case runs
// last).
void openMetafile(benchmark::State& state, const char* name, const std::string& bytes) {
    const std::string path = folder().filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    auto childSeconds = [] {
        rusage usage{};
        ::getrusage(RUSAGE_CHILDREN, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double before = childSeconds();
    for (auto _ : state) {
        const Picture picture = loadPictureFile(path);
        benchmark::DoNotOptimize(picture.image().constBits());
    }
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["reader_cpu_ms"] =
        (childSeconds() - before) * 1000 / static_cast<double>(state.iterations());
    state.counters["reader_peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    state.counters["file_KiB"] = static_cast<double>(bytes.size()) / 1024;
}
// A drawing of 10,000 records, as an office program writes one.
void BM_OpenWmfDrawing10000Records(benchmark::State& state) {
    openMetafile(state, "drawing.wmf", test::wmfDrawing(10000));
}
BENCHMARK(BM_OpenWmfDrawing10000Records)->Unit(benchmark::kMillisecond)->UseRealTime();
// A chart on a full 4K screen with a screenshot behind it.
void BM_OpenEmfFullScreen4k(benchmark::State& state) {
    openMetafile(state, "screen.emf", test::emfFullScreen4k());
}
BENCHMARK(BM_OpenEmfFullScreen4k)->Unit(benchmark::kMillisecond)->UseRealTime();

// A pane the size of the initial window's, showing `picture`.
struct ShownPane {
    ImagePane pane;
    explicit ShownPane(Picture picture) {
        pane.resize(580, 259);
        pane.setPicture(std::move(picture));
        pane.FormResize();
        pane.show();
        QApplication::processEvents();
    }
    void mouse(QEvent::Type type, QPoint inViewport) {
        PictureControl* image = pane.image1();
        const QPoint local = inViewport - image->pos();
        QMouseEvent event(type, local, image->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(image, &event);
    }
};

// One step of a drag over an 8000 × 8000 picture: the mouse moves, the bars and the picture
// follow, and the viewport is repainted at once.
void dragStep(benchmark::State& state, Picture picture) {
    ShownPane shown(std::move(picture));
    shown.pane.scrollBar1()->setValue(4000);
    shown.pane.scrollBar2()->setValue(4000);
    shown.mouse(QEvent::MouseButtonPress, {300, 120});
    int step = 0;
    for (auto _ : state) {
        const int offset = (step++ % 2) ? 3 : -3;
        shown.mouse(QEvent::MouseMove, {300 + offset, 120 + offset});
        shown.pane.panel1()->repaint();
    }
    shown.mouse(QEvent::MouseButtonRelease, {300, 120});
}

void BM_DragStep8000Bitmap(benchmark::State& state) {
    QImage image(8000, 8000, QImage::Format_RGB32);
    image.fill(qRgb(40, 80, 120));
    dragStep(state, Picture::fromBitmap(image, 24));
}
BENCHMARK(BM_DragStep8000Bitmap)->Unit(benchmark::kMicrosecond);

void BM_DragStep8000PaletteBitmap(benchmark::State& state) {
    QImage image(8000, 8000, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    image.fill(1);
    dragStep(state, Picture::fromBitmap(image, 8));
}
BENCHMARK(BM_DragStep8000PaletteBitmap)->Unit(benchmark::kMicrosecond);

// The process's resident memory, current and highest, in bytes.
std::pair<double, double> residentMemory() {
    std::ifstream status("/proc/self/status");
    double now = 0;
    double peak = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) now = std::stod(line.substr(6)) * 1024;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stod(line.substr(6)) * 1024;
    }
    return {now, peak};
}

// The memory an 8000 × 8000 24-bit bitmap takes from its file to the screen, against the size
// of the decoded picture (4 bytes a pixel as Qt holds it).
void BM_PeakMemoryOpening8000(benchmark::State& state) {
    const std::string path = bitmapFile(folder(), 8000, 8000);
    for (auto _ : state) {
        // Start the high-water mark afresh from what the process holds now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const double before = residentMemory().first;
        {
            ShownPane shown(loadPictureFile(path));
            shown.pane.panel1()->repaint();
            const double decoded = static_cast<double>(shown.pane.picture().image().sizeInBytes());
            const double peak = residentMemory().second - before;
            state.counters["decoded_MB"] = decoded / (1 << 20);
            state.counters["peak_MB"] = peak / (1 << 20);
            state.counters["peak_per_decoded"] = peak / decoded;
        }
    }
}
BENCHMARK(BM_PeakMemoryOpening8000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
