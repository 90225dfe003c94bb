#include "core/booking.h"

namespace core {

float extraCharge(std::int32_t extraSeconds) {
    const std::int32_t tenfold = extraSeconds * 10;
    const double ore = static_cast<double>(tenfold) / 60.0 + 40.0;
    return static_cast<float>(ore);
}

std::optional<DayRecord> bookOnDay(const DayRecord& day, std::int32_t seconds,
                                   std::int32_t dailyAllowance, std::int16_t dayNumber) {
    // Worked out in 64 bits so that a damaged record cannot overflow the sum.
    const std::int64_t newTotal = static_cast<std::int64_t>(day.connectedSeconds) + seconds;
    if (newTotal > kSecondsPerDay) {
        return std::nullopt;
    }

    DayRecord result = day;
    float charge = 0.0f;
    std::int64_t newExtra = 0;
    if (newTotal > dailyAllowance && day.overAllowance == kFalse) {
        newExtra = newTotal - dailyAllowance;
        charge = extraCharge(static_cast<std::int32_t>(newExtra));
        result.overAllowance = kTrue;
    } else if (newTotal > dailyAllowance) {
        charge = extraCharge(seconds);
        newExtra = static_cast<std::int64_t>(day.extraSeconds) + seconds;
    }

    result.extraCost = day.extraCost + charge;
    result.connectedSeconds = static_cast<std::int32_t>(newTotal);
    result.extraSeconds = static_cast<std::int32_t>(newExtra);
    result.dayNumber = dayNumber;
    return result;
}

} // namespace core
