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

// Mixed entries where about 30 % repeat an earlier one and one in a hundred has blanks, tabs or
// line breaks around it for the trim to take off.
std::vector<std::string> tidyEntries(std::size_t count) {
    std::vector<std::string> entries = bench::mixedEntries(count);
    std::mt19937 random(7);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (random() % 10 < 3)
            entries[i] = entries[random() % i];
        else if (random() % 100 == 0)
            entries[i] = " \t" + entries[i] + "\r\n";
    }
    return entries;
}

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
    const std::vector<std::string> entries = tidyEntries(100'000);
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
    list.assign(tidyEntries(10'000));
    for (auto _ : state) benchmark::DoNotOptimize(pairwiseRepeats(list));
}
BENCHMARK(BM_DuplicatePassPairwise_10k)->Unit(benchmark::kMillisecond);

void BM_DuplicatePassHashed_10k(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    list.assign(tidyEntries(10'000));
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

// One keystroke of the edit-box search with a text no entry contains, so every entry is read.
const std::string kMissing = "\xD5\xD2\xB2\xBB\xB5\xBD"
                             "qzx"; // 找不到qzx

void searchKeystroke(benchmark::State& state, const std::string& missing) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::mixedEntries(100'000));
    for (auto _ : state) benchmark::DoNotOptimize(list.findContaining(missing));
}

// No entry matches, so every entry is searched; the case folding happens during the search.
void BM_SearchKeystroke_100k_Chinese(benchmark::State& state) {
    searchKeystroke(state, kMissing);
}
BENCHMARK(BM_SearchKeystroke_100k_Chinese)->Unit(benchmark::kMillisecond);

// An ASCII letter has two cases to look for, and letters are frequent in these entries.
void BM_SearchKeystroke_100k_Ascii(benchmark::State& state) {
    searchKeystroke(state, "Zq#");
}
BENCHMARK(BM_SearchKeystroke_100k_Ascii)->Unit(benchmark::kMillisecond);

} // namespace
