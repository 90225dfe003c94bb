#pragma once

#include "core/date.h"

namespace platform {

// Gives today's date. It does not give the time of day; the program never needs it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual core::Date today() const = 0;
};

// Today's date from the system clock, in the local time zone.
class SystemClock final : public Clock {
public:
    core::Date today() const override;
};

} // namespace platform
