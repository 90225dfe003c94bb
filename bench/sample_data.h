#pragma once

#include "core/date.h"
#include "platform/file_system.h"

#include <cstdint>
#include <string>

namespace bench {

// The data a benchmark works on: the files of a user who has booked time on every day for a year.
// It writes through the program's own file layer and encoders, so the files are exactly what the
// program would have written; it times nothing and checks nothing.

// The plan the sample data is booked under: one prepaid hour a day.
inline constexpr const char* kPlanText = "1 h / dygn";
inline constexpr std::int16_t kAllowance = 3600;

// Seconds booked on a day of the sample data: between half an hour and two and a half hours, so
// that some days pass the allowance and carry an extra charge.
std::int32_t sampleSeconds(int year, int month, int day);

// The name of a month's file, "0112.tid" for December 2001.
std::string monthFile(int year, int month);

// Writes the settings file with the plan stored, and the month files of the twelve months before
// today's month (every day booked) and of today's month (booked up to today).
bool writeYearOfData(platform::FileSystem& files, const core::Date& today);

// The same with `monthsBack` months before today's month (0: today's month alone).
bool writeMonthsOfData(platform::FileSystem& files, const core::Date& today, int monthsBack);

// For the benchmarks of scale: the settings file and all 1188 month files of 2001 to 2099, every
// day booked.
bool writeEveryYearOfData(platform::FileSystem& files);

// The settings file and one whole month, every day booked.
bool writeOneMonthOfData(platform::FileSystem& files, int year, int month);

// The same month's days as Timewarrior's data file ("data/2001-11.data") holds them: one interval
// a day, from 08:00 UTC, as long as the day's booked time.
std::string timewarriorMonth(int year, int month);

} // namespace bench
