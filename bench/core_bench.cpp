// Speed of the clip list core: list documents and the duplicate test of a capture.

#include "bench_data.h"
#include "cliplist/clip_list.h"
#include "cliplist/list_document.h"
#include "text/collation.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace zub;

std::filesystem::path benchFile(const char* name) {
    return std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + name);
}

void BM_ReadListDocument_1M(benchmark::State& state) {
    Collator collator;
    ClipList source(collator);
    source.assign(bench::mixedEntries(1'000'000));
    const auto path = benchFile("-read.zub");
    saveListDocument(path, source);
    ClipList list(collator);
    for (auto _ : state) {
        loadListDocument(path, list);
        benchmark::DoNotOptimize(list.size());
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * 42'000'000);
}
BENCHMARK(BM_ReadListDocument_1M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteListDocument_1M(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    list.assign(bench::mixedEntries(1'000'000));
    const auto path = benchFile("-write.zub");
    for (auto _ : state) saveListDocument(path, list);
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * 42'000'000);
}
BENCHMARK(BM_WriteListDocument_1M)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 2 GiB file that is one hole reads as an empty list; what it costs is what the reader does with
// the size the file claims.
void BM_ReadSparseListDocument_2G(benchmark::State& state) {
    const auto path = benchFile("-sparse.zub");
    std::ofstream(path).close();
    std::filesystem::resize_file(path, std::uintmax_t{2} << 30);
    Collator collator;
    ClipList list(collator);
    for (auto _ : state) {
        loadListDocument(path, list);
        benchmark::DoNotOptimize(list.size());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadSparseListDocument_2G)->Unit(benchmark::kMillisecond)->UseRealTime();

// The capture's duplicate test of a text against every clip text, through the index: a new
// text (no match) and one that is there (a match to confirm byte by byte), at two list sizes.
void BM_DuplicateTest(benchmark::State& state) {
    Collator collator;
    ClipList list(collator);
    auto entries = bench::mixedEntries(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < entries.size(); i += 3) entries[i] += "[Zub]comment";
    const std::string present = entries[entries.size() / 2];
    list.assign(entries);
    const std::string fresh = bench::mixedEntries(1, 40, 7).front() + "new";
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.containsClipText(fresh));
        benchmark::DoNotOptimize(list.containsClipText(present));
    }
}
BENCHMARK(BM_DuplicateTest)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kNanosecond);

} // namespace
