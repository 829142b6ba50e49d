#include "wayland_capture.h"

#include "app/tform1.h"
#include "cliplist/clip_list_view.h"
#include "platform/wayland/wayland_platform.h"
#include "sway_session.h"
#include "wayland_copier.h"
#include "window_watch.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace zub::bench {
namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Processor time, in milliseconds, of this process's thread of that name.
double threadCpuMs(const QString& name) {
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream comm(tasks.filePath(tid + QStringLiteral("/comm")).toStdString());
        std::string threadName;
        std::getline(comm, threadName);
        if (QString::fromStdString(threadName) != name) continue;
        std::ifstream stat(tasks.filePath(tid + QStringLiteral("/stat")).toStdString());
        std::string line;
        std::getline(stat, line);
        // Fields after the name in parentheses; user and system time are the 12th and 13th.
        const QStringList fields =
            QString::fromStdString(line.substr(line.rfind(')') + 2)).split(QLatin1Char(' '));
        if (fields.size() < 13) return 0;
        const double ticks = fields[11].toDouble() + fields[12].toDouble();
        return ticks * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    }
    return 0;
}

class ScratchFiles : public PosixSystemFiles {
public:
    std::filesystem::path executableFolder() const override {
        return m_folder.path().toStdString();
    }

private:
    QTemporaryDir m_folder;
};

} // namespace

int runWaylandCaptures(int argc, char** argv, int count) {
    e2e::SwaySession sway;
    if (!sway.isRunning()) {
        std::printf("problem %s\n", sway.problem().c_str());
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    auto platform = std::make_unique<WaylandPlatform>();
    ScratchFiles files;
    const Services s = platform->services();
    TForm1 form(Services{s.clipboard, s.viewerChain, s.hotKey, s.dialogs, files, s.shell, s.clock,
                         s.screen});
    form.show();
    settle(300);
    form.action(QStringLiteral("Action15"))->trigger();
    WaylandCopier copier;
    QWidget* rows = form.clipListView()->viewport();
    for (int i = 0; i < count; ++i) {
        const std::size_t before = form.clipList().size();
        const auto start = Clock::now();
        copier.copy("captured text " + std::to_string(i));
        const auto end = paintedAndIdle(rows, [&] { return form.clipList().size() > before; });
        std::printf("capture_ms %.3f\n", milliseconds(end - start));
    }
    const QString thread = QStringLiteral("zub-clipboard");
    const double cpuBefore = threadCpuMs(thread);
    const auto idleStart = Clock::now();
    settle(5000);
    std::printf("idle_cpu_ms %.3f %.3f\n", threadCpuMs(thread) - cpuBefore,
                milliseconds(Clock::now() - idleStart));
    std::fflush(stdout);
    return 0;
}

WaylandFigures measureWaylandCaptures(int count) {
    WaylandFigures figures;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kWaylandCapturesOption), QString::number(count)});
    if (!child.waitForFinished(120'000)) {
        figures.problem = QStringLiteral("the Wayland run did not finish");
        return figures;
    }
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2 && words[0] == "capture_ms")
            figures.captureMs.push_back(words[1].toDouble());
        if (words.size() == 3 && words[0] == "idle_cpu_ms") {
            figures.idleCpuMs = words[1].toDouble();
            figures.idleMs = words[2].toDouble();
        }
        if (words.size() >= 2 && words[0] == "problem")
            figures.problem = QString::fromUtf8(line.mid(8));
    }
    if (figures.captureMs.empty() && figures.problem.isEmpty())
        figures.problem = QString::fromUtf8(child.readAllStandardError().right(500));
    return figures;
}

} // namespace zub::bench
