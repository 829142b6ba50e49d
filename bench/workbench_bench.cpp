// Speed of the workbench in the window: a typed character (the editor's own work, the caret's
// byte position and the word-prefix search over the clip list), opening a document, Extract.
// Runs offscreen on the simulated platform, through the same handlers as the real program.

#include "app/tform1.h"
#include "bench_data.h"
#include "platform/sim/sim_platform.h"
#include "text/codepage.h"
#include "text/utf8.h"
#include "workbench/workbench_document.h"
#include "workbench/workbench_edit.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

using namespace zub;

// About `bytes` of text in lines of 40 bytes, Chinese and ASCII mixed, CR LF between them.
std::string mixedText(std::size_t bytes, std::size_t lineLength = 40) {
    std::string text;
    for (const std::string& line :
         bench::mixedEntries(bytes / (lineLength + 2) + 1, lineLength, 7)) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

struct Workbench {
    SimPlatform sim;
    TForm1 form{sim.services()};
    WorkbenchEdit* memo = form.memo1();

    explicit Workbench(std::size_t entries) {
        form.show();
        form.clipList().assign(bench::mixedEntries(entries));
        QApplication::processEvents();
    }
    // One key as the keyboard delivers it, then the repaint it causes.
    void key(Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(memo, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(memo, &release);
        QApplication::processEvents();
    }
    void type(const QString& text) { key(Qt::Key_unknown, text); }
    void caretToMiddle() {
        memo->selectBytes(memo->size() / 2, 0);
        type(QStringLiteral(" ")); // a word boundary, so that the word is what follows
    }
};

// One character typed into a 1 MB text with 100,000 entries in the list, at the end of a word
// that `first` starts after a space; Backspace takes it out again between the measurements, so
// the word stays the same. No entry begins with "qq" or "中中", so each key searches every
// entry; every entry begins with its number, so "19" makes the collator compare each entry that
// begins with "1" (one in nine).
void typeIntoMegabyte(benchmark::State& state, const std::string& text, const QString& first,
                      const QString& next, std::vector<std::string> entries = {}) {
    Workbench w(100'000);
    if (!entries.empty()) w.form.clipList().assign(std::move(entries));
    w.memo->setText(text);
    w.caretToMiddle();
    for (const QChar c : first) w.type(c);
    for (auto _ : state) {
        w.type(next);
        state.PauseTiming();
        w.key(Qt::Key_Backspace, {});
        state.ResumeTiming();
    }
    state.counters["text MB"] = static_cast<double>(w.memo->size()) / (1 << 20);
}

void BM_TypeCharacter_1MB_100k_AsciiWordNoEntryBegins(benchmark::State& state) {
    typeIntoMegabyte(state, mixedText(1 << 20), QStringLiteral("q"), QStringLiteral("q"));
}
BENCHMARK(BM_TypeCharacter_1MB_100k_AsciiWordNoEntryBegins)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

void BM_TypeCharacter_1MB_100k_ChineseWordNoEntryBegins(benchmark::State& state) {
    typeIntoMegabyte(state, mixedText(1 << 20), QStringLiteral("中"), QStringLiteral("中"));
}
BENCHMARK(BM_TypeCharacter_1MB_100k_ChineseWordNoEntryBegins)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

void BM_TypeCharacter_1MB_100k_WordOneEntryInNineBegins(benchmark::State& state) {
    typeIntoMegabyte(state, mixedText(1 << 20), QStringLiteral("1"), QStringLiteral("9"));
}
BENCHMARK(BM_TypeCharacter_1MB_100k_WordOneEntryInNineBegins)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

// Web addresses all begin alike: each is compared over the whole word, character by character.
void BM_TypeCharacter_1MB_100kAddresses_WordTheyAllBeginLike(benchmark::State& state) {
    std::vector<std::string> addresses;
    for (const std::string& entry : bench::mixedEntries(100'000))
        addresses.push_back("http://www.example" + entry.substr(0, entry.find(' ')) + ".com/" +
                            entry);
    typeIntoMegabyte(state, mixedText(1 << 20), QStringLiteral("http://www.examplezz"),
                     QStringLiteral("q"), std::move(addresses));
}
BENCHMARK(BM_TypeCharacter_1MB_100kAddresses_WordTheyAllBeginLike)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);

// The word-prefix search alone, without the editor: the part of a key that grows with the list.
void wordPrefixSearch(benchmark::State& state, std::vector<std::string> entries,
                      const std::string& word) {
    Collator collator("zh_CN");
    ClipList list(collator);
    list.assign(std::move(entries));
    const std::string text = " " + word;
    for (auto _ : state) {
        WordPrefixSearch search;
        search.run(StringByteText(text), 1, list, collator); // the space: the word starts
        benchmark::DoNotOptimize(search.run(StringByteText(text), text.size(), list, collator));
    }
}

void BM_WordPrefixSearch_100k_NoEntryBegins(benchmark::State& state) {
    wordPrefixSearch(state, bench::mixedEntries(100'000), "qq");
}
BENCHMARK(BM_WordPrefixSearch_100k_NoEntryBegins)->Unit(benchmark::kMillisecond);

void BM_WordPrefixSearch_100kAddresses_WordTheyAllBeginLike(benchmark::State& state) {
    std::vector<std::string> addresses;
    for (const std::string& entry : bench::mixedEntries(100'000))
        addresses.push_back("http://www.example" + entry.substr(0, entry.find(' ')) + ".com/" +
                            entry);
    wordPrefixSearch(state, std::move(addresses), "http://www.examplezzq");
}
BENCHMARK(BM_WordPrefixSearch_100kAddresses_WordTheyAllBeginLike)->Unit(benchmark::kMillisecond);

// The same 1 MB as one line without a break: the caret's byte position is counted within it.
void BM_TypeCharacter_1MBOneLine_100k(benchmark::State& state) {
    std::string line = mixedText(1 << 20);
    std::erase(line, '\r');
    std::erase(line, '\n');
    typeIntoMegabyte(state, line, QStringLiteral("q"), QStringLiteral("q"));
}
BENCHMARK(BM_TypeCharacter_1MBOneLine_100k)->Unit(benchmark::kMillisecond)->Iterations(100);

// Opening a 10 MB document through the open command, until the editor has painted it: in the
// code page, and in UTF-8 (told from the code page, then converted).
void openDocument(benchmark::State& state, const std::string& file) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("big.txt")).toStdString();
    std::ofstream(path, std::ios::binary) << file;
    Workbench w(100'000);
    for (auto _ : state) {
        state.PauseTiming();
        w.memo->clearQuietly();
        QApplication::processEvents();
        state.ResumeTiming();
        w.sim.dialogs.answerOpenFile(path);
        w.form.action(QStringLiteral("Action12"))->trigger();
        w.memo->viewport()->repaint();
    }
    state.counters["text MB"] = static_cast<double>(w.memo->size()) / (1 << 20);
}
void BM_OpenDocument_10MB(benchmark::State& state) {
    openDocument(state, mixedText(10 << 20));
}
BENCHMARK(BM_OpenDocument_10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
void BM_OpenDocument_10MB_Utf8(benchmark::State& state) {
    openDocument(state, utf8::fromCodePage(mixedText(10 << 20), utf8::StrayBytes::Keep));
}
BENCHMARK(BM_OpenDocument_10MB_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Extract of an entry in the middle of the list at the caret in the middle of a 1 MB text,
// with a prefix and a suffix, including the word-prefix search that follows it.
void BM_Extract_1MB_100k(benchmark::State& state) {
    Workbench w(100'000);
    w.memo->setText(mixedText(1 << 20));
    w.caretToMiddle();
    w.form.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setEditText(QStringLiteral("<"));
    w.form.findChild<QComboBox*>(QStringLiteral("ComboBox3"))->setEditText(QStringLiteral(">"));
    QAction* extract = w.form.action(QStringLiteral("Action11"));
    for (auto _ : state) {
        w.form.clipList().select(50'000);
        extract->trigger();
        QApplication::processEvents();
        // Each Extract into the same line as it was, not into a line that keeps growing.
        state.PauseTiming();
        w.memo->undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Extract_1MB_100k)->Unit(benchmark::kMillisecond)->Iterations(300);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
