#pragma once

#include "core/day_record.h"

#include <cstdint>
#include <optional>

namespace core {

// A day holds at most this many connected seconds.
inline constexpr std::int32_t kSecondsPerDay = 86400;

// The charge for time beyond the daily allowance: 40 öre for each booking that adds extra time,
// plus 10 öre per minute counted to the second. The product by 10 is a 32-bit whole number; the
// division by 60 and the start charge are worked out in double precision and the result is
// rounded to single precision. Nothing is rounded to whole öre.
float extraCharge(std::int32_t extraSeconds);

// The day record after booking `seconds` more on it, under the plan's allowance. Returns nullopt
// when the day would pass 24 hours (the record must then stay as it was). The first booking that
// takes the day past its allowance is charged for all of the day's time beyond it and sets
// overAllowance; every later booking of that day is charged for its own length. A booking that
// keeps the day within its allowance leaves the cost and sets the extra seconds to 0.
//
// Pure arithmetic: it reads and writes no file.
std::optional<DayRecord> bookOnDay(const DayRecord& day, std::int32_t seconds,
                                   std::int32_t dailyAllowance, std::int16_t dayNumber);

} // namespace core
