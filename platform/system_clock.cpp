#include "platform/clock.h"

#include <ctime>

namespace platform {

core::Date SystemClock::today() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return core::Date{2001, 1, 1};
    }
    return core::Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace platform
