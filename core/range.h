#pragma once

#include "core/date.h"
#include "core/day_record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// The arithmetic of the range window: which month files a FRÅN-TILL range reads and which days of
// each, whether a range may be summed at all, the sums of its days and the texts of its four
// result labels. Pure functions of the dates and the records; they read no file, know no widget
// and show no message.

// The first and last dates the date lists offer: 1 January 2001 and 31 December 2099.
inline constexpr Date kFirstListDate{2001, 1, 1};
inline constexpr Date kLastListDate{2099, 12, 31};

// The longest range that is summed, in days from FRÅN to TILL.
inline constexpr std::int64_t kLongestRangeDays = 365;

enum class RangeCheck {
    Accepted,   // FRÅN is not later than TILL and at most 365 days lie between them
    WrongOrder, // FRÅN is later than TILL
    TooLong,    // 366 days or more
};

RangeCheck checkRange(const Date& from, const Date& to);

// The default range when the window opens: TILL is today, FRÅN is today minus three calendar
// months (the day clamped to the end of a shorter month) plus one day. Both are kept within the
// dates the lists offer: a date before 1 January 2001 becomes 1 January 2001, one after
// 31 December 2099 becomes 31 December 2099.
struct DateRange {
    Date from;
    Date to;
};
DateRange defaultRange(const Date& today);

// One month of a range: its year and month and the days read from its file, both included. The
// first day is the FRÅN day in the FRÅN month and 1 in later months; the last day is the TILL day
// in the TILL month and 31 in earlier months, so days 29 to 31 of a shorter month are read too.
struct RangeMonth {
    int year = 0;
    int month = 0;
    int firstDay = 1;
    int lastDay = 31;

    bool operator==(const RangeMonth&) const = default;
};

// The months from FRÅN to TILL, both included, in calendar order: at most 13. Empty when a date
// is not a real date or lies outside the dates the lists offer, or when checkRange does not
// accept the range, so nothing is ever read for such a range.
std::vector<RangeMonth> rangeWalk(const Date& from, const Date& to);

// The month boundaries from FRÅN to TILL, (TILL year × 12 + TILL month) − (FRÅN year × 12 + FRÅN
// month); the days play no part. 31 January to 1 February gives 1.
int monthBoundaries(const Date& from, const Date& to);

// Running sums of a range. The cost is summed in single precision in the order the days are
// read, like every cost of the program; the seconds in 64 bits, so that no file can overflow them.
struct RangeSums {
    float costOre = 0.0f;
    std::int64_t connectedSeconds = 0;
    std::int64_t extraSeconds = 0;
};

// Adds a day to the sums: a day whose connected seconds are 0 adds nothing, whatever its other
// fields hold.
void addDay(RangeSums& sums, const DayRecord& day);

// What a range comes to: its sums, its month boundaries and the plan's monthly fee (0 kr when no
// plan matches the allowance).
struct RangeTotals {
    RangeSums sums;
    int monthBoundaries = 0;
    int feeKronor = 0;
    // The fees the total adds: one at every month boundary, the fee of the month the boundary
    // enters (each month's own plan); monthBoundaries × feeKronor where one plan holds.
    int feesKronor = 0;
    // Month files of the range that are there but could not be read: their days are not in the
    // sums.
    std::vector<std::string> unreadableFiles;
    // The connected seconds of every day added to the sums (addDay), in the order they were
    // added, as the file holds them. The plan comparison works day by day from these.
    std::vector<std::int32_t> dayConnectedSeconds;
};

// The total cost in kronor, in single precision: the extra cost (öre ÷ 100) plus one fee for
// every month boundary (feesKronor).
float rangeTotalCost(const RangeTotals& totals);

// The texts of the four result labels.
struct RangeTexts {
    std::string connected; // lblTid: "Ansluten tid: 1 h 2 m 5 s "
    std::string extra;     // lblExtrtid: "Extra tid: 31 m "
    std::string cost;      // lblKost: "Extra kostnad: 3,90 kr"
    std::string total;     // lblTotalkost: "Total kosttnad: 248,90 kr" and a second line
};
RangeTexts rangeTexts(const RangeTotals& totals);

} // namespace core
