#pragma once

#include "core/date.h"

#include <cstdint>

namespace platform {

// The date and time of day of one reading of the clock.
struct ClockReading {
    core::Date date;
    std::int32_t secondsSinceMidnight = 0; // 0 to 86399
};

// Gives today's date, and the time of day for what needs it (a connection that has just ended
// is booked on the days it spanned). It keeps no time zone of its own and does not wait.
class Clock {
public:
    virtual ~Clock() = default;
    virtual core::Date today() const = 0;
    virtual ClockReading now() const = 0;
    // The time as nanoseconds since 1970-01-01 00:00 UTC, as the names of waiting bookings give
    // it; 0 when it cannot be told.
    virtual std::int64_t nanosecondsSince1970() const = 0;
};

// The date and time from the system clock, in the local time zone.
class SystemClock final : public Clock {
public:
    core::Date today() const override;
    ClockReading now() const override;
    std::int64_t nanosecondsSince1970() const override;
};

} // namespace platform
