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
    // 0 unless set: nothing that depends on it (clearing old answers) happens.
    std::int64_t nanosecondsSince1970() const override { return m_nanoseconds; }
    void setNanosecondsSince1970(std::int64_t nanoseconds) { m_nanoseconds = nanoseconds; }
    void set(core::Date today, std::int32_t secondsSinceMidnight = 0) {
        m_now = {today, secondsSinceMidnight};
    }

private:
    platform::ClockReading m_now;
    std::int64_t m_nanoseconds = 0;
};

} // namespace platform::fakes
