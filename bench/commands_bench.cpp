// Speed of the bulk commands and of one edit-box search keystroke on large lists.

#include "bench_data.h"
#include "cliplist/bulk_commands.h"
#include "cliplist/clip_list.h"
#include "text/collation.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace zub;

// The duplicate pass as the rules state it, every pair compared once: the yardstick for the
// hashed pass.
std::vector<bool> pairwiseRepeats(const ClipList& list) {
    std::vector<bool> repeated(list.size());
    for (std::size_t b = 1; b < list.size(); ++b)
        for (std::size_t a = 0; a < b; ++a)
            if (list.text(a) == list.text(b)) repeated[b] = true;
    return repeated;
}

void BM_Tidy_100k(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    const std::vector<std::string> entries = bench::tidyEntries(100'000);
    for (auto _ : state) {
        state.PauseTiming();
        list.assign(entries);
        state.ResumeTiming();
        tidy(list);
    }
}
BENCHMARK(BM_Tidy_100k)->Unit(benchmark::kMillisecond);

void BM_DuplicatePassPairwise_10k(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::tidyEntries(10'000));
    for (auto _ : state) benchmark::DoNotOptimize(pairwiseRepeats(list));
}
BENCHMARK(BM_DuplicatePassPairwise_10k)->Unit(benchmark::kMillisecond);

void BM_DuplicatePassHashed_10k(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::tidyEntries(10'000));
    for (auto _ : state) benchmark::DoNotOptimize(repeatedEntries(list));
}
BENCHMARK(BM_DuplicatePassHashed_10k)->Unit(benchmark::kMillisecond);

void BM_SortOn_100k(benchmark::State& state) {
    Collator collator("zh_CN");
    ClipList list(collator);
    const std::vector<std::string> entries = bench::mixedEntries(100'000);
    for (auto _ : state) {
        state.PauseTiming();
        list.setSorted(false);
        list.assign(entries);
        state.ResumeTiming();
        list.setSorted(true);
    }
}
BENCHMARK(BM_SortOn_100k)->Unit(benchmark::kMillisecond);

// One keystroke of the edit-box search with a text no entry contains. Each search is the first
// of its text: what the list remembers of earlier keystrokes is forgotten in between.
const std::string kMissing = "\xB2\xBB\xB5\xBD"
                             "qzx"; // 不到qzx
// Every byte and byte pair of it occurs in some entry, but no entry holds all of it.
const std::string kScattered = "\xC5\xC5\xD0\xF2"
                               "zqx\xD5\xFB\xC0\xED"; // 排序zqx整理

void searchKeystroke(benchmark::State& state, const std::string& missing) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::mixedEntries(static_cast<std::size_t>(state.range(0))));
    list.findContaining(missing); // the index, built by the first search
    const std::string first(list.text(0));
    for (auto _ : state) {
        state.PauseTiming();
        list.rewrite(0, first);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.findContaining(missing));
    }
}

void BM_SearchKeystroke_Chinese(benchmark::State& state) {
    searchKeystroke(state, kMissing);
}
BENCHMARK(BM_SearchKeystroke_Chinese)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_SearchKeystroke_Scattered(benchmark::State& state) {
    searchKeystroke(state, kScattered);
}
BENCHMARK(BM_SearchKeystroke_Scattered)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// Three bytes, two pairs: fewer bits to pass entries over by.
void BM_SearchKeystroke_Ascii(benchmark::State& state) {
    searchKeystroke(state, "Zq#");
}
BENCHMARK(BM_SearchKeystroke_Ascii)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// One Chinese character that no entry holds.
void BM_SearchKeystroke_OneCharacter(benchmark::State& state) {
    searchKeystroke(state, "\xD5\xD2");
}
BENCHMARK(BM_SearchKeystroke_OneCharacter)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// The whole word typed character by character, as the edit box searches it: per keystroke.
void BM_SearchTypingWord_1M(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::mixedEntries(1'000'000));
    list.findContaining(kScattered);
    const std::string first(list.text(0));
    for (auto _ : state) {
        state.PauseTiming();
        list.rewrite(0, first);
        state.ResumeTiming();
        for (std::size_t end = 2; end <= kScattered.size(); end += end < 4 || end >= 7 ? 2 : 1)
            benchmark::DoNotOptimize(list.findContaining(kScattered.substr(0, end)));
    }
    state.SetItemsProcessed(state.iterations() * 7);
}
BENCHMARK(BM_SearchTypingWord_1M)->Unit(benchmark::kMillisecond);

// The word-prefix search of a word no entry begins with, the index built.
void wordPrefix(benchmark::State& state, const std::string& word) {
    Collator collator("zh_CN");
    ClipList list(collator);
    list.assign(bench::mixedEntries(static_cast<std::size_t>(state.range(0))));
    list.findBeginning(word);
    for (auto _ : state) benchmark::DoNotOptimize(list.findBeginning(word));
}

void BM_WordPrefix_NoEntryBegins(benchmark::State& state) {
    wordPrefix(state, "qq");
}
BENCHMARK(BM_WordPrefix_NoEntryBegins)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Every entry begins with its number: "19" begins one in nine of them, mostly not the first.
void BM_WordPrefix_ManyBegin(benchmark::State& state) {
    wordPrefix(state, "19");
}
BENCHMARK(BM_WordPrefix_ManyBegin)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// What the first search after opening a list pays for its index.
void buildIndex(benchmark::State& state, bool prefix) {
    Collator collator("zh_CN");
    ClipList list(collator);
    const std::vector<std::string> entries = bench::mixedEntries(1'000'000);
    list.findBeginning("qq");
    for (auto _ : state) {
        state.PauseTiming();
        list.assign(entries);
        state.ResumeTiming();
        benchmark::DoNotOptimize(prefix ? list.findBeginning("qq") : list.findContaining("q#"));
    }
}
void BM_BuildPrefixIndex_1M(benchmark::State& state) {
    buildIndex(state, true);
}
BENCHMARK(BM_BuildPrefixIndex_1M)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_BuildContainsIndex_1M(benchmark::State& state) {
    buildIndex(state, false);
}
BENCHMARK(BM_BuildContainsIndex_1M)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
