#pragma once

// The real window on a private X server, for benchmarks of what the user waits for: the program
// as main() builds it (with dialogs that answer from a script), and the moment the event loop
// has painted what changed and is about to wait again.

#include "app/tform1.h"
#include "bench_data.h"
#include "capture_timing.h"
#include "cliplist/list_document.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/system_clock.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_hot_key.h"
#include "platform/x11/x11_screen.h"
#include "platform/x11/x11_viewer_chain.h"
#include "platform/xdg/posix_system_files.h"
#include "platform/xdg/xdg_shell.h"
#include "text/collation.h"
#include "window_watch.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zub::bench {

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

inline void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

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
    void open(const std::string& path) {
        dialogs.answerOpenFile(path);
        form->action(QStringLiteral("Action1"))->trigger();
    }
};

inline long statusKiB(const char* field, const std::string& statusFile = "/proc/self/status") {
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

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A measure and its floor or peer, taken in turns in the same run: their medians and the ratio.
struct Paired {
    std::vector<double> measured, floor;
    void report(benchmark::State& state, const char* floorName) const {
        const double m = median(measured), f = median(floor);
        state.counters["median_ms"] = m;
        state.counters[std::string(floorName) + "_ms"] = f;
        state.counters["ratio"] = f > 0 ? m / f : 0;
    }
};

// List documents of a million entries: mixed, and mixed for Tidy (see bench_data.h). Written by
// a child process, so that making the test data leaves nothing in this process's memory figures:
// the executable's main() must call writeDocumentIfAsked() first.
inline void writeMillionEntryDocument(const std::string& path, bool forTidy) {
    Collator collator;
    ClipList source(collator);
    source.assign(forTidy ? tidyEntries(1'000'000) : mixedEntries(1'000'000));
    saveListDocument(path, source);
}

inline bool writeDocumentIfAsked(int argc, char** argv) {
    if (argc != 3) return false;
    const std::string option = argv[1];
    if (option != "--write-million" && option != "--write-tidy") return false;
    writeMillionEntryDocument(argv[2], option == "--write-tidy");
    return true;
}

inline std::string writtenDocument(const char* option, const char* name) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromLatin1(name));
    QProcess::execute(QCoreApplication::applicationFilePath(), {QString::fromLatin1(option), path});
    return path.toStdString();
}

inline const std::string& millionEntryDocument() {
    static const std::string path = writtenDocument("--write-million", "million.zub");
    return path;
}

inline const std::string& tidyDocument() {
    static const std::string path = writtenDocument("--write-tidy", "tidy.zub");
    return path;
}

} // namespace zub::bench
