#pragma once

// The model of the month chart: one bar per day of a month, split into the prepaid portion and the
// extra portion, the daily allowance, the day chosen in the main window, the height of the hour
// axis and the texts of the title and the legend. Pure functions of the day records and the
// plan; they read no file and know nothing of pixels, colours or widgets (the painter in forms/
// decides those).

#include "core/day_record.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace core {

// One day's bar. Seconds are already cleaned: 0 to 86400 connected seconds in all.
struct ChartBar {
    int day = 0;                     // 1 to 31
    std::int32_t prepaidSeconds = 0; // min(connected, allowance)
    std::int32_t extraSeconds = 0;   // max(0, connected - allowance)

    std::int32_t connectedSeconds() const { return prepaidSeconds + extraSeconds; }
    bool operator==(const ChartBar&) const = default;
};

struct MonthChart {
    int year = 0;
    int month = 0;
    std::vector<ChartBar> bars;      // day 1 at index 0; as many as the month has days
    std::int32_t dailyAllowance = 0; // prepaid seconds a day; 0 when no plan is known
    int highlightedDay = 0;          // the day chosen in the main window; 0 for none
    int axisTopHours = 1;            // the hour axis runs from 0 to this; a multiple of tickStep
    int tickStepHours = 1;           // an hour label every this many hours
    std::string title;               // "Ansluten tid per dag, december 2026"
    std::string legendPrepaid;       // "Förbetald tid"
    std::string legendExtra;         // "Extra tid"
    std::string legendAllowance;     // "Förbetald tid per dag (2 h)"; empty without a plan

    bool operator==(const MonthChart&) const = default;
};

// The longest day, in seconds; connected time above it is taken as this.
inline constexpr std::int32_t kSecondsPerDay = 86400;

// The chart of a month from its records (record n is day n; days past the end of `records` have
// no time, records past the month's last day are left out). Connected seconds below 0 count as
// 0, above 86400 as 86400; the extra seconds and costs stored in a record are not used, the
// split comes from the allowance. An allowance below 0 counts as 0 (no plan), above 86400 as
// 86400. A highlighted day outside the month counts as none.
//
// The axis: the highest of the allowance and every bar, rounded up to a whole hour, at least
// 1 h. Its tick step is 1 h up to 6 h, 2 h up to 12 h and 4 h above that, and the top is then
// rounded up to a whole number of steps (7 h becomes 8 h, 13 h becomes 16 h).
//
// A month outside 1..12 gives no bars.
MonthChart monthChart(int year, int month, std::span<const DayRecord> records,
                      std::int32_t dailyAllowance, int highlightedDay);

} // namespace core
