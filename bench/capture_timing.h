#pragma once

// What the capture benchmarks of both systems share (window_latency on X11,
// windows_capture_latency under Wine): the window thread's processor time and the pictures
// other programs copy.

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <chrono>
#include <ctime>
#include <string>

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

} // namespace zub::bench
