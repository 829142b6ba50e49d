#pragma once

#include "platform/clock.h"

namespace zub {

// A clock that shows whatever time the test sets: 1 January 2000, 00:00:00 until then.
class SimClock : public Clock {
public:
    SimClock() {
        m_now.tm_year = 100;
        m_now.tm_mday = 1;
    }
    std::tm localNow() const override { return m_now; }
    void set(int month, int day, int hour, int minute, int second) {
        m_now.tm_mon = month - 1;
        m_now.tm_mday = day;
        m_now.tm_hour = hour;
        m_now.tm_min = minute;
        m_now.tm_sec = second;
    }

private:
    std::tm m_now{};
};

} // namespace zub
