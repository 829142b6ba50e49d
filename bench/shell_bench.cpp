// What Go costs the window's thread: the web-search address, deciding what a text names, and
// handing a program to the system (the started program runs on without us).

#include "platform/xdg/shell_target.h"
#include "platform/xdg/xdg_shell.h"
#include "workbench/go_command.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace zub;

// 19 Chinese characters: the longest text that is still searched.
const std::string
    kChinese("\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF\xB0\xCB\xBE\xC5\xCA\xAE"
             "\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF\xB0\xCB\xBE\xC5");

void BM_WebSearchAddress_Chinese(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(webSearchAddress(kChinese));
}
BENCHMARK(BM_WebSearchAddress_Chinese);

// A name found nowhere: every folder of PATH is looked in.
void BM_ClassifyUnknownName(benchmark::State& state) {
    const char* path = std::getenv("PATH");
    const std::filesystem::path current = std::filesystem::current_path();
    for (auto _ : state)
        benchmark::DoNotOptimize(classifyShellTarget("no such program", path ? path : "", current));
}
BENCHMARK(BM_ClassifyUnknownName)->Unit(benchmark::kMicrosecond);

// Opening a text that names nothing: all the window waits for before the search.
void BM_OpenUnknownName(benchmark::State& state) {
    XdgShell shell;
    for (auto _ : state) benchmark::DoNotOptimize(shell.open(kChinese));
}
BENCHMARK(BM_OpenUnknownName)->Unit(benchmark::kMicrosecond);

// Starting a program detached, up to the moment the system has taken it over.
void BM_OpenProgram(benchmark::State& state) {
    XdgShell shell;
    for (auto _ : state) benchmark::DoNotOptimize(shell.open("/bin/true"));
}
BENCHMARK(BM_OpenProgram)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
