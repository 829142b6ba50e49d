// Speed of Find and Replace on the workbench: the search core over code-page bytes, and the
// commands in the window (offscreen, simulated platform) until the editor has painted.

#include "app/tform1.h"
#include "bench_data.h"
#include "platform/sim/sim_platform.h"
#include "text/codepage.h"
#include "workbench/replace_all.h"
#include "workbench/search_dialog.h"
#include "workbench/text_search.h"
#include "workbench/workbench_edit.h"
#include "workbench/workbench_search.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

using namespace zub;

double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// About `bytes` of text in lines of 40 bytes, Chinese and ASCII mixed, CR LF between them.
std::string mixedText(std::size_t bytes) {
    std::string text;
    for (const std::string& line : bench::mixedEntries(bytes / 42 + 1, 40, 7)) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

// A megabyte holding `matches` tildes among mixed text, spread evenly.
std::string textWithTildes(std::size_t matches) {
    const std::string filler = mixedText(1 << 20);
    const std::size_t gap = filler.size() / matches;
    std::string text;
    text.reserve(filler.size() + matches);
    std::size_t at = 0;
    for (std::size_t i = 0; i < matches; ++i) {
        // Whole characters only: a tilde never splits one.
        std::size_t next = at;
        while (next < filler.size() && next - at < gap) next += cp::charLength(filler, next);
        text.append(filler, at, next - at);
        text += '~';
        at = next;
    }
    text.append(filler, at);
    return text;
}

// Find Next over 10 MB that finds nothing: every 'q' of the text is a candidate to look at.
void BM_FindDown_10MB_NoMatch(benchmark::State& state) {
    const std::string text = mixedText(10 << 20);
    const TextSearch search("qqqqqq", {false, state.range(0) != 0});
    for (auto _ : state) benchmark::DoNotOptimize(search.findDown(text, 0));
    state.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
}
BENCHMARK(BM_FindDown_10MB_NoMatch)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("wholeWord")
    ->Unit(benchmark::kMillisecond);

void BM_FindUp_10MB_NoMatch(benchmark::State& state) {
    const std::string text = mixedText(10 << 20);
    const TextSearch search("qqqqqq", {});
    for (auto _ : state) benchmark::DoNotOptimize(search.findUp(text, text.size()));
}
BENCHMARK(BM_FindUp_10MB_NoMatch)->Unit(benchmark::kMillisecond);

// Replace All of a one-byte text by a two-byte one, 100,000 matches in 1 MB: the one pass.
void BM_ReplaceAllCore_1MB_100kMatches(benchmark::State& state) {
    const std::string text = textWithTildes(100'000);
    const TextSearch search("~", {});
    const std::string by = cp::fromUtf16(u"中");
    for (auto _ : state) {
        const ReplaceAllResult result = replaceAll(text, 0, 0, search, by);
        benchmark::DoNotOptimize(result.changed.data());
    }
}
BENCHMARK(BM_ReplaceAllCore_1MB_100kMatches)->Unit(benchmark::kMillisecond);

struct Window {
    SimPlatform sim;
    TForm1 form{sim.services()};
    WorkbenchEdit* memo = form.memo1();

    explicit Window(std::size_t entries) {
        form.show();
        form.clipList().assign(bench::mixedEntries(entries));
        QApplication::processEvents();
    }
    SearchDialog* open(const char* command) {
        memo->setFocus();
        form.activateWindow();
        QApplication::processEvents();
        QAction* action = form.action(QString::fromLatin1(command));
        action->setEnabled(true); // offscreen, the focus may not have arrived
        action->trigger();
        QApplication::processEvents();
        return command[6] == 'F' ? form.workbenchSearch()->findDialog()
                                 : form.workbenchSearch()->replaceDialog();
    }
};

// Find Next in the window over a 10 MB workbench that holds no match: reading the text after
// the caret out of the editor, the search, and the message.
void BM_FindNextCommand_10MB_NoMatch(benchmark::State& state) {
    Window w(1'000);
    w.memo->setText(mixedText(10 << 20));
    SearchDialog* d = w.open("SearchFind1");
    d->findField()->setText(QStringLiteral("qqqqqq"));
    w.memo->selectBytes(0, 0);
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    for (auto _ : state) {
        w.form.workbenchSearch()->findNext(*d);
        QApplication::processEvents();
    }
    state.counters["messages"] = static_cast<double>(w.sim.dialogs.messages().size());
}
BENCHMARK(BM_FindNextCommand_10MB_NoMatch)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// The first Find Next after an edit in a 10 MB workbench: a character typed in the middle, then
// Find Next to a word 4 MB further on. The typed character's own cost, with the kept bytes to
// mend, is the counter keystroke_cpu_ms (the window thread's processor time).
void BM_FindNextCommand_10MB_AfterAnEdit(benchmark::State& state) {
    Window w(1'000);
    std::string text = mixedText(10 << 20);
    const std::size_t middle = text.find("\r\n", 5 << 20) + 2;
    text.insert(text.find("\r\n", 9 << 20) + 2, "needle ");
    w.memo->setText(text);
    SearchDialog* d = w.open("SearchFind1");
    d->findField()->setText(QStringLiteral("needle"));
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    double keystroke = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.memo->selectBytes(middle, 0);
        const double typed = threadCpuMilliseconds();
        w.memo->insertPlainText(QStringLiteral("a"));
        QApplication::processEvents();
        keystroke += threadCpuMilliseconds() - typed;
        state.ResumeTiming();
        w.form.workbenchSearch()->findNext(*d);
        QApplication::processEvents();
    }
    if (w.memo->selectionLength() != 6) state.SkipWithError("the word was not found");
    state.counters["keystroke_cpu_ms"] = keystroke / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindNextCommand_10MB_AfterAnEdit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// Replace All in the window: 100,000 tildes in a 1 MB workbench become "中", with a clip list
// of the given size for the word-prefix search after each replacement, until the editor has
// painted.
void BM_ReplaceAllCommand_1MB_100kMatches(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    const std::string text = textWithTildes(100'000);
    SearchDialog* r = nullptr;
    for (auto _ : state) {
        state.PauseTiming();
        w.memo->setText(text);
        if (!r) {
            r = w.open("SearchReplace1");
            r->findField()->setText(QStringLiteral("~"));
            r->replaceField()->setText(QStringLiteral("中"));
        }
        QApplication::processEvents();
        state.ResumeTiming();
        w.form.workbenchSearch()->replaceAll(*r);
        w.memo->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["MB"] = static_cast<double>(w.memo->size()) / (1 << 20);
}
BENCHMARK(BM_ReplaceAllCommand_1MB_100kMatches)
    ->Arg(0)
    ->Arg(100)
    ->Arg(1'000)
    ->Arg(100'000)
    ->ArgName("entries")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
