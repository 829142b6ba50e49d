#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zub {

// What may be spent on a helper program: processor time (what its work costs, however busy the
// machine), time on the clock (for one that waits instead of working), address space, output.
struct ChildLimits {
    std::chrono::seconds processorTime{0}; // 0: no limit
    std::chrono::milliseconds time{5000};
    // 0: no limit. The limit is put on the child before it is given any input.
    std::size_t addressSpaceBytes = 0;
    std::size_t outputBytes = std::size_t{1} << 20;
};

struct ChildResult {
    enum class Outcome {
        Exited,     // it ended by itself; see exitCode
        Killed,     // a signal ended it (a crash, or the address space ran out)
        TimedOut,   // still running when the time was up, and killed
        TooMuch,    // wrote more than the output limit, and killed
        Cancelled,  // called off through `cancel`, and killed
        NotStarted, // see startError
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = -1;
    int startError = 0; // errno
    std::string output;

    bool succeeded() const { return outcome == Outcome::Exited && exitCode == 0; }
};

// The flag that calls off the job running on this thread, for jobs run under one (see
// CancelScope); runChild() watches it when it is given no flag of its own.
const std::atomic<bool>* currentCancelFlag();
class CancelScope {
public:
    explicit CancelScope(const std::atomic<bool>* flag);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    const std::atomic<bool>* m_previous;
};

// Runs `program` with `arguments`, writes `input` to its standard input and collects its standard
// output; its error stream goes nowhere, and it leaves no core file. Returns when it has ended,
// or kills it as soon as it breaks a limit or `cancel` (checked a few times a second) turns true,
// so that a program stuck in a loop costs at most the time limit. Thread-safe; never throws,
// never leaves a zombie.
ChildResult runChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, std::string_view input,
                     const ChildLimits& limits, const std::atomic<bool>* cancel = nullptr);

// The folder that holds the running program's executable.
std::filesystem::path runningProgramFolder();

} // namespace zub
