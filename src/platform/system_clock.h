#pragma once

#include "platform/clock.h"

namespace zub {

// The system's clock in the user's time zone.
class SystemClock : public Clock {
public:
    std::tm localNow() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    }
};

} // namespace zub
