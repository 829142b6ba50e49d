#pragma once

#include <ctime>

namespace zub {

// The local date and time, from the system or, in tests, from a script.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::tm localNow() const = 0;
};

} // namespace zub
