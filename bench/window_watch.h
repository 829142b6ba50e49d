#pragma once

#include <QWidget>

#include <chrono>
#include <functional>

namespace zub::bench {

using Clock = std::chrono::steady_clock;

// Runs the event loop until `ready` holds, `painted` has been painted since, and the loop is
// about to wait for the next event; returns that moment.
Clock::time_point paintedAndIdle(QWidget* painted, const std::function<bool()>& ready);

inline double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace zub::bench
