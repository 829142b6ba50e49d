// Helper programs run with limits: whatever one does, the caller waits at most its time and the
// helper gets no more than its memory.

#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <thread>

using namespace zub;
using namespace std::chrono_literals;
using Outcome = ChildResult::Outcome;

namespace {

ChildResult shell(const std::string& script, ChildLimits limits, std::string_view input = {},
                  const std::atomic<bool>* cancel = nullptr) {
    return runChild("/bin/sh", {"-c", script}, input, limits, cancel);
}

} // namespace

TEST(RunChild, EachLimitEndsTheHelperAndSaysWhich) {
    ChildLimits limits;
    limits.time = 20s;

    // Its input in, its output back, its exit code.
    ChildResult r = shell("tr a-z A-Z; exit 3", limits, std::string(300000, 'q'));
    EXPECT_EQ(r.outcome, Outcome::Exited);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.output, std::string(300000, 'Q'));
    // One that reads nothing and answers at once.
    r = shell("echo done", limits, std::string(1 << 20, 'x'));
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.output, "done\n");

    // The address space it is given, and no core file: in force by the time it has its input
    // (they are put on it from outside, after it has started).
    limits.addressSpaceBytes = std::size_t{256} << 20;
    r = shell("read -r line; ulimit -v; ulimit -c", limits, "go\n");
    EXPECT_EQ(r.output, "262144\n0\n");
    limits.addressSpaceBytes = 0;

    // Processor time: a loop is ended by the system, however long the clock allows.
    limits.processorTime = 1s;
    r = shell("while :; do :; done", limits);
    EXPECT_EQ(r.outcome, Outcome::Killed);
    limits.processorTime = 0s;

    // Time on the clock: one that waits for ever.
    limits.time = 300ms;
    r = shell("sleep 60", limits);
    EXPECT_EQ(r.outcome, Outcome::TimedOut);
    // One that closes its output and goes on all the same.
    r = shell("exec >&-; sleep 60", limits);
    EXPECT_EQ(r.outcome, Outcome::TimedOut);
    limits.time = 20s;

    // Output without end.
    limits.outputBytes = 1 << 20;
    r = shell("yes", limits);
    EXPECT_EQ(r.outcome, Outcome::TooMuch);
    EXPECT_TRUE(r.output.empty());

    r = runChild("/nonexistent/helper", {}, {}, limits);
    EXPECT_EQ(r.outcome, Outcome::NotStarted);
    EXPECT_NE(r.startError, 0);
}

TEST(RunChild, ACancelledJobEndsItsHelperFromAnotherThread) {
    ChildLimits limits;
    limits.time = 60s;
    std::atomic<bool> cancelled{false};
    ChildResult result;
    std::thread job([&] {
        // The flag of the job's thread, as the picture worker sets it.
        const CancelScope scope(&cancelled);
        result = runChild("/bin/sh", {"-c", "sleep 60"}, {}, limits);
    });
    std::this_thread::sleep_for(200ms);
    cancelled = true;
    job.join();
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_EQ(currentCancelFlag(), nullptr);
}
