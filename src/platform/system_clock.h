#pragma once

#include "platform/clock.h"

namespace zub {

// The system's clock in the user's time zone.
class SystemClock : public Clock {
public:
    std::tm localNow() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return local;
    }
};

} // namespace zub
