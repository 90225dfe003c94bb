#include "platform/clock.h"

#include <ctime>

namespace platform {

ClockReading SystemClock::now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return ClockReading{core::Date{2001, 1, 1}, 0};
    }
    // A leap second (tm_sec 60) counts as the last second of its minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return ClockReading{core::Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                        local.tm_hour * 3600 + local.tm_min * 60 + second};
}

std::int64_t SystemClock::nanosecondsSince1970() const {
    timespec now{};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

core::Date SystemClock::today() const {
    return now().date;
}

} // namespace platform
