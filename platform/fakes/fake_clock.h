#pragma once

#include "platform/clock.h"

namespace platform::fakes {

// A clock that gives the date and time of day the test sets; midnight unless told otherwise.
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(core::Date today, std::int32_t secondsSinceMidnight = 0)
        : m_now{today, secondsSinceMidnight} {}
    core::Date today() const override { return m_now.date; }
    platform::ClockReading now() const override { return m_now; }
    void set(core::Date today, std::int32_t secondsSinceMidnight = 0) {
        m_now = {today, secondsSinceMidnight};
    }

private:
    platform::ClockReading m_now;
};

} // namespace platform::fakes
