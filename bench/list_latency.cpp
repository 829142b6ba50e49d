// What the user waits for when the list is long, in the real window on a private X server: from
// the key or the command until the window has painted and is idle again. Each figure is taken in
// turns with its floor or peer in the same run, and reported as a ratio to it:
//  - a key typed into the workbench (1 MB of text) and into the edit box, with a long list and
//    with an empty one;
//  - Sort of a million entries, and ICU sorting the same texts already decoded;
//  - Tidy of a million entries.

#include "cliplist/clip_list_view.h"
#include "cliplist/edit_box.h"
#include "platform/qt/qt_text.h"
#include "text/codepage.h"
#include "window_harness.h"
#include "workbench/workbench_edit.h"
#include "xvfb_session.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace {

using namespace zub;
using namespace zub::bench;
using bench::Clock; // not the program's clock service

// About `bytes` of text in lines of 40 bytes, Chinese and ASCII mixed, CR LF between them.
std::string mixedText(std::size_t bytes) {
    std::string text;
    for (const std::string& line : mixedEntries(bytes / 42 + 1, 40, 7)) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

// One key as the keyboard delivers it to `receiver`, timed until `painted` has been painted and
// the loop is idle again.
double timedKey(QWidget* receiver, QWidget* painted, Qt::Key key, const QString& text,
                const std::function<bool()>& ready) {
    const auto start = Clock::now();
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    return milliseconds(paintedAndIdle(painted, ready) - start);
}

// A workbench holding a megabyte of text with the caret in its middle, after a space.
struct Workbench {
    Program program;
    WorkbenchEdit* memo = program.form->memo1();

    Workbench() {
        memo->setText(mixedText(1 << 20));
        memo->selectBytes(memo->size() / 2, 0);
        type(QStringLiteral(" "));
    }
    double type(const QString& character) {
        const std::uint64_t before = memo->size();
        return timedKey(memo, memo->viewport(), Qt::Key_unknown, character,
                        [&] { return memo->size() != before; });
    }
    double backspace() {
        const std::uint64_t before = memo->size();
        return timedKey(memo, memo->viewport(), Qt::Key_Backspace, {},
                        [&] { return memo->size() != before; });
    }
};

// Typing "q" after "q" in the workbench: no entry begins with "qq", so each key searches the
// whole list. Backspace, untimed, takes it out again.
void typeInWorkbench(benchmark::State& state, const std::function<void(Program&)>& fill) {
    Workbench measured, floor;
    fill(measured.program);
    settle(200);
    measured.type(QStringLiteral("q"));
    floor.type(QStringLiteral("q"));
    Paired paired;
    for (auto _ : state) {
        paired.measured.push_back(measured.type(QStringLiteral("q")));
        paired.floor.push_back(floor.type(QStringLiteral("q")));
        state.SetIterationTime(paired.measured.back() / 1000.0);
        measured.backspace();
        floor.backspace();
    }
    paired.report(state, "empty_list");
}

void BM_WorkbenchKey_1MB_100kEntries(benchmark::State& state) {
    typeInWorkbench(state, [](Program& p) { p.form->clipList().assign(mixedEntries(100'000)); });
}
BENCHMARK(BM_WorkbenchKey_1MB_100kEntries)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);

void BM_WorkbenchKey_1MB_1MEntries(benchmark::State& state) {
    typeInWorkbench(state, [](Program& p) { p.open(millionEntryDocument()); });
}
BENCHMARK(BM_WorkbenchKey_1MB_1MEntries)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);

// The edit box, and a text typed into it character by character.
struct EditField {
    Program program;
    QComboBox* combo = program.form->findChild<QComboBox*>(QStringLiteral("ComboBox1"));

    double type(const QString& character) {
        const QString before = combo->lineEdit()->text();
        return timedKey(combo, combo->lineEdit(), Qt::Key_unknown, character,
                        [&] { return combo->lineEdit()->text() != before; });
    }
    void forgetSearches() {
        // Any change of the list ends what its searches remember of earlier keys.
        ClipList& list = program.form->clipList();
        if (!list.empty()) list.rewrite(0, std::string(list.text(0)));
    }
};

// 排序zqx整理: every character of it stands in some entry, but no entry holds it all.
const QString kScattered = QStringLiteral("排序zqx整理");

// The last key of the text, each time the first search of that text; and the whole text typed
// key by key, per key.
void BM_EditBoxKey_1MEntries_NoMatch(benchmark::State& state) {
    EditField measured, floor;
    measured.program.open(millionEntryDocument());
    settle(200);
    const QString head = kScattered.left(kScattered.size() - 1), last = kScattered.right(1);
    Paired lastKey, everyKey;
    for (auto _ : state) {
        for (EditField* field : {&measured, &floor}) {
            field->program.form->editBox()->setTextByProgram(fromQString(head));
            field->forgetSearches();
        }
        lastKey.measured.push_back(measured.type(last));
        lastKey.floor.push_back(floor.type(last));
        state.SetIterationTime(lastKey.measured.back() / 1000.0);
        for (EditField* field : {&measured, &floor}) {
            field->program.form->editBox()->setTextByProgram({});
            field->forgetSearches();
        }
        for (const QChar c : kScattered) {
            everyKey.measured.push_back(measured.type(c));
            everyKey.floor.push_back(floor.type(c));
        }
    }
    lastKey.report(state, "empty_list");
    state.counters["typing_median_ms"] = median(everyKey.measured);
    state.counters["typing_max_ms"] =
        *std::max_element(everyKey.measured.begin(), everyKey.measured.end());
    state.counters["typing_ratio"] = median(everyKey.measured) / median(everyKey.floor);
}
BENCHMARK(BM_EditBoxKey_1MEntries_NoMatch)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

// What a program that holds the texts already decoded pays for sorting them with ICU's collator,
// at the window's strength and order.
double icuSort(const std::vector<std::u16string>& texts) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("zh_CN", &status);
    ucol_setStrength(collator, UCOL_SECONDARY);
    ucol_setReorderCodes(collator, nullptr, 0, &status);
    std::vector<const std::u16string*> order;
    for (const std::u16string& t : texts) order.push_back(&t);
    const auto start = Clock::now();
    std::stable_sort(order.begin(), order.end(), [collator](const auto* a, const auto* b) {
        return ucol_strcoll(collator, reinterpret_cast<const UChar*>(a->data()),
                            static_cast<int32_t>(a->size()),
                            reinterpret_cast<const UChar*>(b->data()),
                            static_cast<int32_t>(b->size())) == UCOL_LESS;
    });
    const double ms = milliseconds(Clock::now() - start);
    ucol_close(collator);
    return ms;
}

// Sort switched on for a million entries, until painted and idle; against ICU's sort.
void BM_Sort_1MEntries(benchmark::State& state) {
    Program program;
    std::vector<std::u16string> decoded;
    for (const std::string& entry : mixedEntries(1'000'000)) decoded.push_back(cp::toUtf16(entry));
    QAction* sort = program.form->action(QStringLiteral("Action4"));
    QWidget* rows = program.form->clipListView()->viewport();
    Paired paired;
    for (auto _ : state) {
        program.open(millionEntryDocument());
        settle(300);
        const auto start = Clock::now();
        sort->trigger();
        paired.measured.push_back(milliseconds(
            paintedAndIdle(rows, [&] { return program.form->clipList().isSorted(); }) - start));
        state.SetIterationTime(paired.measured.back() / 1000.0);
        sort->trigger(); // off again: the next open keeps the document's order
        paired.floor.push_back(icuSort(decoded));
    }
    paired.report(state, "icu_sort");
}
BENCHMARK(BM_Sort_1MEntries)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Tidy of a million entries of which about 30 % repeat an earlier one and one in a hundred has
// blanks around it, until painted and idle.
void BM_Tidy_1MEntries(benchmark::State& state) {
    Program program;
    QAction* tidy = program.form->action(QStringLiteral("Action5"));
    QWidget* rows = program.form->clipListView()->viewport();
    std::vector<double> times;
    for (auto _ : state) {
        program.open(tidyDocument());
        settle(300);
        const auto start = Clock::now();
        tidy->trigger(); // at once: the paint that follows shows its check marks
        times.push_back(milliseconds(paintedAndIdle(rows, [] { return true; }) - start));
        state.SetIterationTime(times.back() / 1000.0);
    }
    state.counters["median_ms"] = median(times);
}
BENCHMARK(BM_Tidy_1MEntries)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (writeDocumentIfAsked(argc, argv)) return 0;
    benchmark::Initialize(&argc, argv);
    zub::e2e::XvfbSession display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "list_latency: no virtual display: %s\n", display.problem().c_str());
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // The window sorts in its user's locale, and its users' is Chinese; the peer's collator is
    // opened for the same, so both put the same texts in the same order.
    UErrorCode status = U_ZERO_ERROR;
    uloc_setDefault("zh_CN", &status);
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
