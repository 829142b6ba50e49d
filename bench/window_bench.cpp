// Speed of the main window: capturing into a long list, and showing a loaded document.
// Runs offscreen on the simulated platform, through the same handlers as the real program.

#include "app/tform1.h"
#include "bench_data.h"
#include "cliplist/clip_list_view.h"
#include "cliplist/list_document.h"
#include "platform/sim/sim_platform.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace zub;

// A capture of a new text into a list of 100,000 entries, in automatic mode: the duplicate test,
// the append, the selection display and the view's update and repaint.
void BM_CaptureInto100k(benchmark::State& state) {
    SimPlatform sim;
    TForm1 form(sim.services());
    form.show();
    form.clipList().assign(bench::mixedEntries(100'000));
    form.action(QStringLiteral("Action15"))->trigger();
    QApplication::processEvents();
    std::size_t n = 0;
    for (auto _ : state) {
        sim.copyFromOtherProgram("captured text number " + std::to_string(n++));
        form.clipListView()->viewport()->repaint();
    }
    state.counters["entries"] = static_cast<double>(form.clipList().size());
}
BENCHMARK(BM_CaptureInto100k)->Unit(benchmark::kMillisecond)->Iterations(200);

// Opening a 1,000,000-entry document through the open command, until the list is painted.
void BM_OpenDocument1M(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("big.zub")).toStdString();
    {
        Collator collator;
        ClipList source(collator);
        source.assign(bench::mixedEntries(1'000'000));
        saveListDocument(path, source);
    }
    SimPlatform sim;
    TForm1 form(sim.services());
    form.show();
    QApplication::processEvents();
    for (auto _ : state) {
        sim.dialogs.answerOpenFile(path);
        form.action(QStringLiteral("Action1"))->trigger();
        form.clipListView()->viewport()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenDocument1M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
