#pragma once

// What the capture benchmarks of both systems share (window_latency on X11,
// windows_capture_latency under Wine): how a capture is timed, the window thread's processor
// time, and the pictures other programs copy.

#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "images/image_pane.h"
#include "images/picture_control.h"
#include "window_watch.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <chrono>
#include <ctime>
#include <functional>
#include <string>

#include <benchmark/benchmark.h>

namespace zub::bench {

// Processor time of the window's thread: what the program itself spent, whatever else the
// machine was doing meanwhile.
inline double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A 1920 × 1080 screenshot as a program copies it: PNG, with gradients, panels and text that
// compress as a desktop does. `variant` makes each one a picture of its own.
inline std::string screenshotPng(int variant) {
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

// One capture per iteration into `form` as it stands, from the moment `copyText` has another
// program copy a new text until its row is painted and the loop is idle.
inline void timeTextCaptures(benchmark::State& state, TForm1& form,
                             const std::function<void(const std::string&)>& copyText) {
    static int serial = 0;
    QWidget* rows = form.clipListView()->viewport();
    double cpu = 0;
    for (auto _ : state) {
        const std::size_t before = form.clipList().size();
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        copyText("captured text " + std::to_string(++serial));
        const auto end = paintedAndIdle(rows, [&] { return form.clipList().size() > before; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

// The same for pictures: from the moment `copyPng` has another program copy a 1080p screenshot
// until it is painted in the image pane and the loop is idle; with automatic saving on, the
// bitmap file has been written by then as well.
inline void timePictureCopies(benchmark::State& state, TForm1& form,
                              const std::function<void(const std::string&)>& copyPng) {
    const std::string pictures[2] = {screenshotPng(0), screenshotPng(1)};
    ImagePane* pane = form.imagePane();
    int next = 0;
    double cpu = 0;
    for (auto _ : state) {
        const qint64 before = pane->picture().image().cacheKey();
        const double cpuStart = threadCpuMilliseconds();
        const auto start = Clock::now();
        copyPng(pictures[next++ % 2]);
        const auto end = paintedAndIdle(
            pane->image1(), [&] { return pane->picture().image().cacheKey() != before; });
        cpu += threadCpuMilliseconds() - cpuStart;
        state.SetIterationTime(milliseconds(end - start) / 1000.0);
    }
    state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
    state.counters["png_KiB"] = static_cast<double>(pictures[0].size()) / 1024.0;
}

} // namespace zub::bench
