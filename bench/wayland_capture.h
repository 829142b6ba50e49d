#pragma once

#include <QString>

#include <vector>

namespace zub::bench {

// Capture on Wayland, measured in a process of its own (one process has one Qt platform): the
// window on a private headless sway, text copied by another client through data-control.
struct WaylandFigures {
    // From the copy until the new row is painted and the loop is idle, one per capture.
    std::vector<double> captureMs;
    // Processor time of the clipboard thread while nothing happened, and for how long.
    double idleCpuMs = 0;
    double idleMs = 0;
    // Why there are no figures.
    QString problem;
};

// Runs this program again with the option below and reads what it printed.
WaylandFigures measureWaylandCaptures(int count);

// The option, and what the child runs for it: prints "capture_ms X" per capture, then
// "idle_cpu_ms X Y".
inline constexpr const char* kWaylandCapturesOption = "--wayland-captures";
int runWaylandCaptures(int argc, char** argv, int count);

} // namespace zub::bench
